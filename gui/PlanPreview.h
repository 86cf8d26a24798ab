#pragma once
// The preview every mapping write shows first (an import, a bulk fill): how many rows are
// added, changed, removed, unchanged and refused, the rows themselves with what they held
// before and will hold after (or why they are refused), filtered by status, and "Applica",
// which only the user presses: it is never the default button and is off when nothing would
// be written. In kind COIN the user may accept accounts of another type, which plans again.

#include <QAbstractTableModel>
#include <QDialog>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "mapping/Plan.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

namespace gui {

// The plan's rows as a table, only those of the statuses shown.
class PlanRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Line, Account, Description, Sign, Before, After, Status, Reason, ColumnCount };
    explicit PlanRowsModel(QObject* parent = nullptr);
    void setPlan(const mapping::Plan* plan);
    void setShown(const std::array<bool, mapping::kRowStatusCount>& shown);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The plan row of a table row.
    const mapping::PlanRow* row(int tableRow) const;

private:
    void refilter();
    const mapping::Plan* plan_ = nullptr;
    std::array<bool, mapping::kRowStatusCount> shown_{};
    std::vector<int> rows_;
};

class PlanPreview : public QDialog {
    Q_OBJECT
public:
    // Plans again with other rule options (COIN's "Accetta conti di tipo diverso"); the texts
    // of a file's problems come with it. Empty: the option is not offered.
    using Replan = std::function<mapping::Plan(const mapping::RuleOptions&)>;

    // `what` says where the rows come from ("File: …", "Copia Dare → Avere").
    PlanPreview(const QString& title, const QString& what, mapping::Plan plan, QWidget* parent = nullptr,
                Replan replan = {});

    const mapping::Plan& plan() const { return plan_; }
    const mapping::RuleOptions& options() const { return options_; }
    // Problems that stop the whole source (a file that cannot be read): shown above the rows,
    // and nothing can be applied.
    void setProblems(const QStringList& problems);

    QPushButton* applyButton() const { return apply_; }
    QPushButton* cancelButton() const { return cancel_; }
    QCheckBox* statusBox(mapping::RowStatus status) const { return statusBoxes_[static_cast<int>(status)]; }
    QCheckBox* otherTypeBox() const { return otherType_; }
    QTableView* table() const { return table_; }
    PlanRowsModel* model() const { return model_; }
    // The line of counts ("3 aggiunte, 1 modificata, …").
    QString summary() const;

private:
    void showPlan();
    void updateFilter();
    void acceptOtherType(bool accept);

    mapping::Plan plan_;
    mapping::RuleOptions options_;
    Replan replan_;
    QStringList problems_;
    QLabel* problemsLabel_;
    QLabel* summary_;
    std::array<QCheckBox*, mapping::kRowStatusCount> statusBoxes_{};
    QCheckBox* otherType_ = nullptr;
    QTableView* table_;
    PlanRowsModel* model_;
    QPushButton* apply_;
    QPushButton* cancel_;
};

}  // namespace gui
