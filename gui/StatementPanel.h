#pragma once
// "Anteprima bilancio riclassificato" beside the grid of a COGE, HYPE or CONS editor: the
// reclassified chart with the amounts the list's correlations give to the trial balance of
// the chosen date, the "Non correlato" line and the sign-coverage warnings.
//
// It follows the grid's model: a changed row (a save, a delete, a fill) moves that row's
// balance at once; a new list (header confirmed again, a plan applied, a filter) reads the
// scope again. While the panel is hidden it only notes that it is out of date. A double click
// on a line lists the ledger accounts behind it; a double click there goes to the row in the
// grid. The panel prints (after showing the warnings, if any) and exports to .xlsx.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mapping/EditorLink.h"
#include "statement/PreviewLoad.h"

class QAction;
class QComboBox;
class QDialog;
class QLabel;
class QModelIndex;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace gui {

class FormWindow;
class GridView;

inline constexpr const char* kStatementPanelTitle = "Anteprima bilancio riclassificato";

// The questions the panel asks: Qt dialogs by default, replaced in tests.
struct StatementPrompts {
    // The warnings before a print; true to print anyway.
    std::function<bool(QWidget* parent, const QString& text)> confirmPrint;
    // Shows the print preview of the page.
    std::function<void(QWidget* parent, const QString& title, const QString& html)> print;
    // The .xlsx file to write, proposing `suggested`; "" when cancelled.
    std::function<QString(QWidget* parent, const QString& suggested)> chooseExportFile;
    // Shows a list the panel opened (drill-down, warnings); it lives until closed.
    std::function<void(QDialog& dialog)> show;
    std::function<void(QWidget* parent, const QString& title, const QString& text)> warn;
};
StatementPrompts qtStatementPrompts();

class StatementPanel : public QWidget {
    Q_OBJECT
public:
    // Adds the panel and its command ("Correlazioni" menu, Ctrl+Shift+B) to `window`.
    StatementPanel(FormWindow& window, mapping::CorrelationKind kind, std::string connectionString,
                   std::string company, StatementPrompts prompts);
    ~StatementPanel() override;

    QAction* toggleAction() const { return toggle_; }
    void setShown(bool shown);
    // Reads the scope's correlations and balances again.
    void reload();

    const statement::LoadedPreview* loaded() const { return loaded_.get(); }
    QTreeWidget* tree() const { return tree_; }
    QComboBox* dateBox() const { return dates_; }
    QPushButton* warningsButton() const { return warningsButton_; }
    // What the panel says instead of amounts ("" when it shows them).
    QString notice() const;
    // The amount shown on the line of a code ("" for "Non correlato"); empty when none.
    QString amountText(const std::string& code) const;

    // The ledger accounts behind a line, in a list whose double click goes to the grid row.
    QDialog* openDrillDown(const std::string& code);
    QDialog* openWarnings();
    // True when the print preview was shown.
    bool print();
    // The file written, "" when none.
    QString exportTo();

private:
    void followGrid();
    void rowsChanged(const QModelIndex& from, const QModelIndex& to);
    void rebuildTree();
    void refreshAmounts();
    void showNotice(const QString& text);
    bool goTo(const mapping::Key& key);
    void updateEnabled();

    QPointer<FormWindow> window_;
    QPointer<GridView> grid_;
    std::unique_ptr<mapping::EditorLink> link_;
    StatementPrompts prompts_;
    std::unique_ptr<statement::LoadedPreview> loaded_;
    bool stale_ = true;
    QAction* toggle_;
    QComboBox* dates_;
    QLabel* notice_;
    QTreeWidget* tree_;
    QPushButton* warningsButton_;
    QPushButton* printButton_;
    QPushButton* exportButton_;
    QTimer* reloadTimer_;
    std::vector<QTreeWidgetItem*> items_;   // by preview line
};

}  // namespace gui
