#pragma once
// The preview of a trial balance import: each account of the file with the Dare and Avere it
// has now and will have (or why it is refused), the accounts the import removes, the totals,
// and the notes (an import replaces the balance of its date; a balance that does not balance).
// "Applica" stays off while any row is refused.

#include "balances/BalanceImport.h"
#include "gui/RowsPreview.h"

namespace gui {

class BalanceRowsModel : public StatusRowsModel {
    Q_OBJECT
public:
    enum Column { Line, Account, Description, DebitBefore, CreditBefore, Debit, Credit, Status, Reason, ColumnCount };
    explicit BalanceRowsModel(QObject* parent = nullptr);
    void setPreview(const balances::BalancePreview* preview);
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    const balances::BalanceRow* row(int tableRow) const;

private:
    int sourceRowCount() const override;
    mapping::RowStatus sourceStatus(int sourceRow) const override;
    const balances::BalancePreview* preview_ = nullptr;
};

class BalancePreviewDialog : public RowsPreview {
    Q_OBJECT
public:
    BalancePreviewDialog(const QString& title, balances::BalancePreview preview, QWidget* parent = nullptr);
    const balances::BalancePreview& preview() const { return preview_; }
    BalanceRowsModel* model() const { return model_; }

private:
    void refresh() override;

    balances::BalancePreview preview_;
    BalanceRowsModel* model_;
};

}  // namespace gui
