#include "gui/BalancePreview.h"

#include <QBrush>
#include <QDir>
#include <QLocale>
#include <QTableView>

#include "balances/Amounts.h"
#include "gui/Support.h"

namespace gui {

namespace {

using balances::RowStatus;

QString amount(long long cents) { return cents == 0 ? QString() : qs(balances::formatAmount(cents)); }

}  // namespace

BalanceRowsModel::BalanceRowsModel(QObject* parent) : StatusRowsModel(parent) {}

void BalanceRowsModel::setPreview(const balances::BalancePreview* preview) {
    preview_ = preview;
    refilter();
}

int BalanceRowsModel::sourceRowCount() const { return preview_ ? static_cast<int>(preview_->rows.size()) : 0; }

mapping::RowStatus BalanceRowsModel::sourceStatus(int sourceRow) const {
    return preview_->rows[static_cast<std::size_t>(sourceRow)].status;
}

int BalanceRowsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

const balances::BalanceRow* BalanceRowsModel::row(int tableRow) const {
    const int source = sourceRow(tableRow);
    return preview_ && source >= 0 ? &preview_->rows[static_cast<std::size_t>(source)] : nullptr;
}

QVariant BalanceRowsModel::data(const QModelIndex& index, int role) const {
    const balances::BalanceRow* r = row(index.row());
    if (!r) return {};
    if (role == Qt::ForegroundRole && index.column() == Status) return QBrush(statusColour(r->status));
    if (role == Qt::TextAlignmentRole && index.column() >= DebitBefore && index.column() <= Credit)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && index.column() == Reason && !r->reason.empty()) return qs(r->reason);
    if (role != Qt::DisplayRole) return {};
    const bool refused = r->status == RowStatus::Refused;
    switch (index.column()) {
    case Line: return r->line > 0 ? QVariant(r->line) : QVariant();
    case Account: return qs(r->account);
    case Description: return qs(r->description);
    case DebitBefore: return amount(r->before.debit);
    case CreditBefore: return amount(r->before.credit);
    case Debit: return r->status == RowStatus::Removed || refused ? QString() : amount(r->after.debit);
    case Credit: return r->status == RowStatus::Removed || refused ? QString() : amount(r->after.credit);
    case Status: return QString::fromUtf8(mapping::statusName(r->status));
    case Reason: return qs(r->reason);
    default: return {};
    }
}

QVariant BalanceRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const captions[ColumnCount] = {"Riga del file", "Conto", "Descrizione", "Dare prima", "Avere prima",
                                                      "Dare",          "Avere", "Stato",       "Motivo"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(captions[section]) : QVariant();
}

BalancePreviewDialog::BalancePreviewDialog(const QString& title, balances::BalancePreview preview, QWidget* parent)
    : RowsPreview(title,
                  QStringLiteral("File: %1\n%2").arg(QDir::toNativeSeparators(qs(preview.file.string())),
                                                      qs(balances::describeTarget(preview.target))),
                  new BalanceRowsModel, {80, 110, 200, 100, 100, 100, 100, 90, 240}, parent),
      preview_(std::move(preview)) {
    setObjectName(QStringLiteral("balancePreview"));
    model_ = static_cast<BalanceRowsModel*>(table()->model());
    QStringList problems;
    for (const auto& p : preview_.fileProblems) problems << qs(p);
    if (!problems.isEmpty()) setProblems(problems);   // shows the rows too
    else refresh();
}

void BalancePreviewDialog::refresh() {
    model_->setPreview(&preview_);
    const QString totals = QStringLiteral("Totale Dare %1, totale Avere %2")
                               .arg(qs(balances::formatAmount(preview_.totalDebit)), qs(balances::formatAmount(preview_.totalCredit)));
    const long refused = preview_.count(RowStatus::Refused);
    showCounts(preview_.counts, preview_.writes(), qs(preview_.summary()) + QStringLiteral(". ") + totals,
               QStringLiteral("Scrive %1 righe del bilancio in un'unica transazione")
                   .arg(QLocale(QLocale::Italian).toString(static_cast<qlonglong>(preview_.writes()))),
               QStringLiteral("Il bilancio è già quello del file: nulla da scrivere"),
               refused > 0 ? QStringLiteral("Ci sono righe rifiutate: correggere il file, nulla può essere scritto") : QString());
    QStringList notes;
    for (const auto& n : preview_.notes) notes << qs(n);
    setNotes(notes);
}

}  // namespace gui
