#pragma once
// The main window of the stand-alone desktop host: a menu and a toolbar with the four
// correlation kinds. Choosing one loads the module (libbrevanto.so), creates the kind's entry
// class by programmatic name, hands it the stand-alone host's objects and calls ShowForm.

#include <QMainWindow>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "gui/BalanceCommands.h"
#include "gui/EditorExport.h"
#include "gui/MappingCommands.h"
#include "gui/UndoCommands.h"
#include "gui/StatementPanel.h"
#include "gui/Progress.h"
#include "gui/QtDialogs.h"
#include "gui/QtWindowSystem.h"
#include "host/Cinterface.h"
#include "standalone/ModuleLoader.h"
#include "standalone/StandaloneHost.h"

class QLabel;

namespace gui {

class DesktopShell : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        standalone::Settings settings;
        std::filesystem::path settingsFile;   // where the settings dialog saves
        // The module file; empty: the loader's own search, then `fallbackModule`.
        std::filesystem::path module;
        std::filesystem::path fallbackModule;
    };

    explicit DesktopShell(Options options, QWidget* parent = nullptr);
    ~DesktopShell() override;

    // Creates the demo database when the settings use it and it is missing; says so in the
    // status bar. False (with the reason in `error`) when it cannot be created.
    bool prepareDatabase(QString* error = nullptr);
    // What prepareDatabase told the user ("" when it made nothing).
    const QString& databaseNotice() const { return databaseNotice_; }
    // Opens correlation kind 0-3. A modal editor returns once it closed. False with the
    // reason in `error` (module missing, class not offered); the reason is also shown in a
    // message box unless `quiet`.
    bool openKind(int kind, QString* error = nullptr, bool quiet = false);
    // Opens correlation kind 0-3 modeless whatever the settings say and returns its window
    // (nullptr, with the reason in `error`, when it did not open).
    FormWindow* openModeless(int kind, QString* error = nullptr);
    // Lets go of the editors' entry classes once no window is open any more.
    void forgetClosedEditors();

    const standalone::Settings& settings() const { return options_.settings; }
    // New settings for the windows opened from now on (open windows keep theirs).
    void applySettings(const standalone::Settings& settings);
    void showSettingsDialog();

    QtWindowSystem& windowSystem() { return *windows_; }
    standalone::StandaloneHost& host() { return *host_; }
    QtDialogs& dialogs() { return *dialogs_; }
    // The entry classes of the windows opened and not yet closed (modeless ones).
    const std::vector<std::shared_ptr<host::Cinterface>>& entries() const { return entries_; }
    QAction* kindAction(int kind) const { return kindActions_.at(kind); }
    FormWindow* lastWindow() const { return lastWindow_; }
    // The questions of the editors' "Esporta in Excel…" (windows opened from now on).
    void setExportPrompts(ExportPrompts prompts) { exportPrompts_ = std::move(prompts); }
    // The questions of the editors' "Correlazioni" menu (windows opened from now on).
    void setMappingPrompts(MappingPrompts prompts) { mappingPrompts_ = std::move(prompts); }
    void setBalancePrompts(BalancePrompts prompts) { balancePrompts_ = std::move(prompts); }
    // The questions of the editors' "Modifica" menu (windows opened from now on).
    void setUndoPrompts(UndoPrompts prompts) { undoPrompts_ = std::move(prompts); }
    void setStatementPrompts(StatementPrompts prompts) { statementPrompts_ = std::move(prompts); }

protected:
    // Leaving the shell closes the open editors first; one that refuses keeps the shell open.
    void closeEvent(QCloseEvent* event) override;

private:
    bool ensureModule(QString* error);
    void rebuildHost();
    void updateSummary();
    // The first window shown while an entry class's ShowForm runs is its editor: it gets the
    // commands the shell adds to an editor.
    void addEditorCommands(FormWindow* window);

    Options options_;
    std::unique_ptr<standalone::ModuleLoader> module_;
    std::unique_ptr<QtWindowSystem> windows_;
    std::shared_ptr<QtDialogs> dialogs_;
    std::unique_ptr<standalone::StandaloneHost> host_;
    std::vector<std::shared_ptr<host::Cinterface>> entries_;
    std::vector<QAction*> kindActions_;
    QLabel* summary_ = nullptr;
    QString databaseNotice_;
    QPointer<FormWindow> lastWindow_;
    QPointer<FormWindow> activeEditor_;
    struct PendingEditor {
        QString kindKey;
        int kind = 0;
        std::shared_ptr<standalone::RecordingNavigator> navigator;
    };
    std::optional<PendingEditor> pendingEditor_;
    ExportPrompts exportPrompts_ = qtExportPrompts();
    MappingPrompts mappingPrompts_ = qtMappingPrompts();
    BalancePrompts balancePrompts_ = qtBalancePrompts();
    UndoPrompts undoPrompts_ = qtUndoPrompts();
    StatementPrompts statementPrompts_ = qtStatementPrompts();
    int openingKind_ = -1;   // the kind whose editor ShowForm is opening
    DatabaseBusyCursor busyCursor_;
};

}  // namespace gui
