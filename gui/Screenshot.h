#pragma once
// The desktop program's pictures without a user: opens a correlation kind, types its header as
// a user would, optionally goes to an account and opens the intermediaries or CEE window, and
// saves the window's image to a PNG file (the --screenshot option; the README's pictures).

#include <QSize>
#include <QString>
#include <filesystem>
#include <string>

namespace gui {

class DesktopShell;

struct ScreenshotRequest {
    enum class Window { Editor, Intermediaries, Cee, Statement };
    int kind = 0;
    std::filesystem::path file;
    std::string chartCode;       // the company chart (the intercompany structure in CONS)
    std::string reclChartCode;   // the reclassification chart
    std::string account;         // typed into the search box before the picture ("": none)
    QSize size;                  // the editor's size (empty: as drawn)
    Window window = Window::Editor;
};

// False with the reason in `error` when the kind does not open, the window asked for does not
// come up or the file cannot be written.
bool takeScreenshot(DesktopShell& shell, const ScreenshotRequest& request, QString* error = nullptr);

// "editor", "intermedi", "cee" or "anteprima" (the editor with its reclassified-statement panel).
bool parseScreenshotWindow(const std::string& name, ScreenshotRequest::Window& window);

}  // namespace gui
