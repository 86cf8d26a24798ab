#pragma once
// Where the stand-alone host's correlation reports go: a PDF file when one is named (the
// automation driver names it), otherwise the program's own output (the desktop's print
// preview; nothing in a program without one).

#include <filesystem>

namespace standalone {

struct ReportDestination {
    std::filesystem::path pdfFile;
};

}  // namespace standalone
