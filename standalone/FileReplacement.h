#pragma once
// Writing a file so that a failure never damages the one it replaces: the new content goes
// to a temporary name in the target's folder and is renamed over the target only when
// complete; the temporary file is removed when the write does not get that far.

#include <filesystem>
#include <string>

namespace standalone {

// Throws ExportError "Impossibile scrivere il file "FILE": REASON."
[[noreturn]] void failToWrite(const std::filesystem::path& file, const std::string& reason);

// The Italian reason of a system error `error` (errno) met writing into `folder`.
std::string writeFailureReason(int error, const std::filesystem::path& folder);

class FileReplacement {
public:
    // Creates the (empty) temporary file; ExportError when the folder cannot take it or
    // `file` names a folder.
    explicit FileReplacement(std::filesystem::path file);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    const std::filesystem::path& temp() const { return temp_; }
    const std::filesystem::path& file() const { return file_; }
    const std::filesystem::path& folder() const { return folder_; }

    // Renames the temporary file over the target; ExportError when that fails.
    void commit();

private:
    std::filesystem::path file_, folder_, temp_;
    bool committed_ = false;
};

}  // namespace standalone
