#pragma once
// The preview every mapping write shows first (an import, a bulk fill): the rows with what
// they held before and will hold after (or why they are refused). In kind COIN the user may
// accept accounts of another type, which plans again.

#include <functional>
#include <vector>

#include "gui/RowsPreview.h"
#include "mapping/Plan.h"

class QCheckBox;

namespace gui {

// The plan's rows as a table, only those of the statuses shown.
class PlanRowsModel : public StatusRowsModel {
    Q_OBJECT
public:
    enum Column { Line, Account, Description, Sign, Before, After, Status, Reason, ColumnCount };
    explicit PlanRowsModel(QObject* parent = nullptr);
    void setPlan(const mapping::Plan* plan);
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The plan row of a table row.
    const mapping::PlanRow* row(int tableRow) const;

private:
    int sourceRowCount() const override;
    mapping::RowStatus sourceStatus(int sourceRow) const override;
    const mapping::Plan* plan_ = nullptr;
};

class PlanPreview : public RowsPreview {
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
    QCheckBox* otherTypeBox() const { return otherType_; }
    PlanRowsModel* model() const { return model_; }

private:
    void refresh() override;
    void acceptOtherType(bool accept);

    mapping::Plan plan_;
    mapping::RuleOptions options_;
    Replan replan_;
    PlanRowsModel* model_;
    QCheckBox* otherType_ = nullptr;
};

}  // namespace gui
