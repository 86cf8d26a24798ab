#pragma once
// The stand-alone export object: records the title and the sections the module adds and
// writes them as an .xlsx workbook (XlsxWorkbook.h).

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/ExportToOffice.h"

namespace standalone {

class HostEventLog;

struct ExportSection {
    enum class Kind { Master, Detail };
    Kind kind = Kind::Master;
    std::string caption;
    std::vector<std::string> captions;
    std::vector<db::Variant> values;                 // master
    std::vector<std::vector<db::Variant>> rows;      // detail
};

// A workbook that could not be written; what() is the Italian text shown to the user.
class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class OfficeExport : public host::ExportToOffice {
public:
    explicit OfficeExport(std::shared_ptr<HostEventLog> log = nullptr) : log_(std::move(log)) {}

    void setTitoloMaster(const std::string& title) override;
    std::string titoloMaster() const override { return title_; }
    void addMasterDetail(const std::vector<std::string>& captions, const std::vector<db::Variant>& values,
                         const std::string& sectionCaption) override;
    void addMasterDetail(const std::vector<std::string>& captions, std::vector<std::vector<db::Variant>> rows,
                         const std::string& sectionCaption) override;

    const std::vector<ExportSection>& sections() const { return sections_; }
    // The rows of every detail section together.
    std::size_t detailRowCount() const;
    void clear();

    // Writes the workbook; ExportError when the file cannot be written.
    void writeXlsx(const std::filesystem::path& file) const;

private:
    std::shared_ptr<HostEventLog> log_;
    std::string title_;
    std::vector<ExportSection> sections_;
};

}  // namespace standalone
