#pragma once
// The correlation report as a PDF file, and the Qt application that painting needs.

#include <filesystem>
#include <stdexcept>

#include "report/ReportContent.h"

namespace report {

// A report that could not be delivered (the file cannot be written); the text is for the user.
class ReportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fonts and PDF painting need a Qt GUI application. When the program has none (the
// command-line tool), one is created for the rest of the process, on the offscreen platform
// unless QT_QPA_PLATFORM names another.
void ensureGuiApplication();

// Writes the report to `file`; returns the page count. An existing file is replaced only by a
// complete new one. ReportError when it cannot be written.
int writePdf(const ReportContent& content, const std::filesystem::path& file);

}  // namespace report
