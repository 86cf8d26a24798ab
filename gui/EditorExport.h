#pragma once
// "Esporta in Excel…" of a correlation editor's window, as a host offers it: the command
// raises the navigator's BeforeExportToOffice, asks where to save what the program put into
// the export object, writes the workbook and offers to open it. It is enabled while the
// editor's list is loaded (its grid is enabled once the header is confirmed).

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "standalone/OfficeExport.h"

class QAction;
class QWidget;

namespace kit {
class Control;
}

namespace gui {

class FormWindow;

// The questions the command asks: Qt dialogs by default, replaced in tests.
struct ExportPrompts {
    // The file to write, proposing `suggested` (a full path); "" when the user cancelled.
    std::function<QString(QWidget* parent, const QString& suggested)> chooseFile;
    // Whether to open the file written; `text` says what was written.
    std::function<bool(QWidget* parent, const QString& text)> offerOpen;
    // Opens the file with the desktop's program for it; false when none could.
    std::function<bool(const QString& file)> openFile;
};
ExportPrompts qtExportPrompts();

// "Correlazioni COGE 10-101.xlsx": the kind and the codes of the master section.
QString suggestedExportName(const QString& kindKey, const standalone::OfficeExport& exported);

class EditorExport : public QObject {
    Q_OBJECT
public:
    // The host's export command: a new export object after the navigator's event, nullptr
    // when a handler cancelled.
    using Collect = std::function<std::shared_ptr<standalone::OfficeExport>()>;

    // Adds the command to `window`'s "File" menu and toolbar (shortcut Ctrl+E); lives as long
    // as the window.
    EditorExport(FormWindow& window, Collect collect, QString kindKey, ExportPrompts prompts);
    ~EditorExport() override;

    QAction* action() const { return action_; }
    // What the command does: the file written, or "" when nothing was.
    QString run();

private:
    void followGrid();
    void stopFollowing();
    void updateEnabled();
    void warn(const QString& text) const;

    QPointer<FormWindow> window_;
    Collect collect_;
    QString kindKey_;
    ExportPrompts prompts_;
    QAction* action_;
    std::weak_ptr<kit::Control> grid_;
    int gridSubscription_ = 0;
};

}  // namespace gui
