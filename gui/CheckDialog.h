#pragma once
// "Verifica correlazioni": what the completeness and consistency check found in the editor's
// list, as a tree of groups (title and count) with their rows. A double click or Enter on a
// row goes to that row of the editor's grid, the way a click on the grid does; the dialog
// stays open beside the editor so the user can work through the list. The information group
// (Dare and Avere on different accounts, which is legitimate) is marked as such.

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "mapping/Scope.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace gui {

struct CheckRow {
    mapping::Key key;
    QString account;       // through the chart's mask
    QString description;
    QString target;
    QString detail;
};

struct CheckGroup {
    QString title;
    bool information = false;
    std::vector<CheckRow> rows;
};

class CheckDialog : public QDialog {
    Q_OBJECT
public:
    // `run` checks (again) and gives the groups, throwing with a text for the user when it
    // cannot; `goTo` moves the editor to a row and says whether it got there.
    using Run = std::function<std::vector<CheckGroup>()>;
    using GoTo = std::function<bool(const mapping::Key&)>;
    CheckDialog(const QString& scopeText, Run run, GoTo goTo, QWidget* parent = nullptr);

    // Checks again; false (with the reason shown in the dialog) when the check failed.
    bool refresh();
    // Goes to the row of a row item; false for a group item or when the editor refused.
    bool activate(QTreeWidgetItem* item);

    const std::vector<CheckGroup>& groups() const { return groups_; }
    QTreeWidget* tree() const { return tree_; }
    QLabel* summaryLabel() const { return summary_; }
    // The item of row `row` of group `group` (nullptr out of range).
    QTreeWidgetItem* rowItem(int group, int row) const;

private:
    Run run_;
    GoTo goTo_;
    std::vector<CheckGroup> groups_;
    QLabel* summary_;
    QTreeWidget* tree_;
    QLabel* notice_;
};

}  // namespace gui
