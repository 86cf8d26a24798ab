#include "mapping/SheetFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "mapping/CsvSheet.h"
#include "mapping/XlsxSheetReader.h"

namespace mapping::detail {

namespace {

std::string quoted(const std::filesystem::path& p) { return "\"" + p.string() + "\""; }

std::string readReason(int error) {
    switch (error) {
        case ENOENT: return "il file non esiste";
        case EACCES:
        case EPERM: return "non si hanno i permessi di lettura";
        case EISDIR: return "è una cartella, non un file";
        default: return "errore di sistema " + std::to_string(error);
    }
}

// The whole file, or false with `problem` set.
bool readBytes(const std::filesystem::path& file, std::uintmax_t size, std::string& bytes, std::string& problem) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        problem = "Impossibile leggere il file " + quoted(file) + ": " + readReason(errno) + ".";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            problem = "Impossibile leggere il file " + quoted(file) + ": " + readReason(errno) + ".";
            ::close(fd);
            return false;
        }
        if (got == 0) break;   // shorter than it was a moment ago
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(done);
    return true;
}

}  // namespace

TableContent readSheetFile(const std::filesystem::path& file, const SheetLayout& layout, const ReadLimits& limits) {
    TableContent refused;
    const auto format = formatOfPath(file);
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (!format) {
        refused.fileProblems.push_back("Il file " + quoted(file) + " non è un file .csv o .xlsx.");
    } else if (!std::filesystem::exists(status)) {
        refused.fileProblems.push_back("Il file " + quoted(file) + " non esiste.");
    } else if (!std::filesystem::is_regular_file(status)) {
        refused.fileProblems.push_back(quoted(file) + " non è un file (è una cartella?).");
    } else if (const auto size = std::filesystem::file_size(file, ec); ec) {
        refused.fileProblems.push_back("Impossibile leggere il file " + quoted(file) + ": " + readReason(ec.value()) + ".");
    } else if (size > limits.maxFileBytes) {
        constexpr std::uintmax_t mb = 1024 * 1024;
        refused.fileProblems.push_back("Il file è troppo grande (" + std::to_string((size + mb - 1) / mb) + " MB; al massimo " +
                                       std::to_string(limits.maxFileBytes / mb) + " MB).");
    } else if (size == 0) {
        refused.fileProblems.push_back("Il file è vuoto.");
    } else if (*format == FileFormat::Csv) {
        std::string bytes, problem;
        if (!readBytes(file, size, bytes, problem)) {
            refused.fileProblems.push_back(problem);
            return refused;
        }
        SheetTable table(layout, true);
        readCsv(bytes, table);
        return table.finish();
    } else {
        SheetTable table(layout, false);
        readXlsx(file, limits.maxXlsxPartBytes, table);
        return table.finish();
    }
    return refused;
}

}  // namespace mapping::detail
