#include "standalone/FileReplacement.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "standalone/OfficeExport.h"

namespace standalone {

namespace {

std::string quoted(const std::filesystem::path& p) { return "\"" + p.string() + "\""; }

}  // namespace

void failToWrite(const std::filesystem::path& file, const std::string& reason) {
    throw ExportError("Impossibile scrivere il file " + quoted(file) + ": " + reason + ".");
}

std::string writeFailureReason(int error, const std::filesystem::path& folder) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: return "la cartella " + quoted(folder) + " non esiste";
        case EACCES:
        case EPERM: return "non si hanno i permessi di scrittura nella cartella " + quoted(folder);
        case EROFS: return "la cartella " + quoted(folder) + " è in sola lettura";
        case ENOSPC:
        case EDQUOT: return "lo spazio su disco è esaurito";
        case ENAMETOOLONG: return "il nome del file è troppo lungo";
        default: return "errore di sistema " + std::to_string(error) + " (" + std::generic_category().message(error) + ")";
    }
}

FileReplacement::FileReplacement(std::filesystem::path file) : file_(std::move(file)) {
    std::error_code ec;
    if (file_.filename().empty() || std::filesystem::is_directory(file_, ec)) failToWrite(file_, "è una cartella, non un file");
    folder_ = file_.has_parent_path() ? file_.parent_path() : std::filesystem::path(".");
    temp_ = folder_ / ("." + file_.filename().string() + "." + std::to_string(::getpid()) + ".tmp");
    int fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) failToWrite(file_, writeFailureReason(errno, folder_));
    ::close(fd);
}

FileReplacement::~FileReplacement() {
    if (!committed_) {
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
    }
}

void FileReplacement::commit() {
    if (::rename(temp_.c_str(), file_.c_str()) != 0) failToWrite(file_, writeFailureReason(errno, folder_));
    committed_ = true;
}

}  // namespace standalone
