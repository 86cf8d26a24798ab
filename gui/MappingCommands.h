#pragma once
// The "Correlazioni" menu of a correlation editor's window: the completeness check, the
// export and import of the list's correlations and the bulk fills. Every write shows its
// preview first and is applied only when the user presses "Applica"; it is written in one
// transaction, then the editor's list is rebuilt and the grid goes back to the row it was on.
// While the account box holds an account the user has not stored, the writing commands
// refuse instead of losing it.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "gui/BulkFillDialogs.h"
#include "gui/CheckDialog.h"
#include "gui/PlanPreview.h"
#include "mapping/EditorLink.h"

class QAction;
class QWidget;

namespace gui {

class FormWindow;

// The questions the commands ask: Qt dialogs by default, replaced in tests.
struct MappingPrompts {
    // The file to export to, proposing `suggested`; "" when cancelled.
    std::function<QString(QWidget* parent, const QString& suggested)> chooseExportFile;
    // The file to import; "" when cancelled.
    std::function<QString(QWidget* parent)> chooseImportFile;
    // Shows the preview; true when the user pressed "Applica".
    std::function<bool(PlanPreview& preview)> review;
    // Runs the copy-source question; the choice, or nothing when cancelled.
    std::function<std::optional<CopyChoice>(CopySourceDialog& dialog)> chooseCopySource;
    // Runs the account question; the account, or nothing when cancelled.
    std::function<std::optional<std::string>(AssignAccountDialog& dialog)> chooseAccount;
    // Shows the check's results (the dialog lives until the window or the user closes it).
    std::function<void(CheckDialog& dialog)> showCheck;
    std::function<void(QWidget* parent, const QString& title, const QString& text)> warn;
};
MappingPrompts qtMappingPrompts();

// A double click on a finding: the grid goes to the key's row (a refused account keeps the user
// where he is) and the editor's window comes to the front; true when the grid is on the row.
bool goToRow(mapping::EditorLink& link, FormWindow& window, const mapping::Key& key);

class MappingCommands : public QObject {
    Q_OBJECT
public:
    // Adds the menu and the toolbar buttons to `window`; lives as long as the window.
    MappingCommands(FormWindow& window, mapping::CorrelationKind kind, std::string connectionString,
                    std::string company, MappingPrompts prompts);
    ~MappingCommands() override;

    mapping::EditorLink* link() const { return link_.get(); }
    QAction* checkAction() const { return check_; }
    QAction* exportAction() const { return export_; }
    QAction* importAction() const { return import_; }
    QAction* copyAction(int fromSign) const { return fromSign == 1 ? copyDebit_ : copyCredit_; }
    QAction* copyFromAction() const { return copyFrom_; }
    QAction* assignAction() const { return assign_; }
    CheckDialog* checkDialog() const { return checkDialog_; }

    // What the commands do. The writing ones return the rows written (0 when nothing was).
    bool runCheck();
    QString runExport();
    long runImport();
    long runCopyOtherSign(int fromSign);
    long runCopyFrom();
    long runAssign();

private:
    // The scope of the list, or nothing after telling the user why not (`writing`: the
    // command would write, so an account being typed stops it too).
    std::optional<mapping::Scope> ready(const QString& title, bool writing);
    long review(const QString& title, const QString& what, mapping::Plan plan, PlanPreview::Replan replan,
                const QStringList& problems = {});
    long apply(const QString& title, const mapping::Plan& plan);
    void warn(const QString& title, const QString& text) const;
    void notice(const QString& text) const;
    void updateEnabled();

    QPointer<FormWindow> window_;
    std::unique_ptr<mapping::EditorLink> link_;
    MappingPrompts prompts_;
    QAction* check_;
    QAction* export_;
    QAction* import_;
    QAction* copyDebit_;
    QAction* copyCredit_;
    QAction* copyFrom_;
    QAction* assign_;
    QPointer<CheckDialog> checkDialog_;
};

}  // namespace gui
