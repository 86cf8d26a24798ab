#pragma once
// The parts of an .xlsx workbook (a zip archive of XML files) read as a stream of XML
// events. Hostile archives are refused: a part larger than the limit once inflated (counted
// on the bytes actually inflated, not on what the archive declares), a document type
// declaration (entity expansion), XML that is not well formed.

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

struct zip;

namespace mapping::detail {

// Why the workbook cannot be read (Italian, without the leading "Il file non è…").
class XlsxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Receives the events of one part. Element and attribute names are local (namespace
// prefixes removed). Setting `failure` stops the parse with that reason; `done` stops it
// successfully.
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual void start(std::string_view name, const char** attributes) = 0;
    virtual void end(std::string_view name) = 0;
    virtual void text(std::string_view) {}

    std::string failure;
    bool done = false;
};

// The value of the attribute with local name `name`, nullptr when absent.
const char* attribute(const char** attributes, std::string_view name);

class XlsxArchive {
public:
    // XlsxError when the file is not a zip archive that can be read.
    XlsxArchive(const std::filesystem::path& file, std::uint64_t maxPartBytes);
    ~XlsxArchive();
    XlsxArchive(const XlsxArchive&) = delete;
    XlsxArchive& operator=(const XlsxArchive&) = delete;

    bool has(const std::string& part) const;
    // Streams `part` through `handler`; XlsxError when the part is missing, too large,
    // damaged or not acceptable XML, or the handler failed.
    void parse(const std::string& part, XmlHandler& handler);

private:
    zip* archive_ = nullptr;
    std::uint64_t maxPartBytes_;
};

}  // namespace mapping::detail
