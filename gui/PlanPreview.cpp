#include "gui/PlanPreview.h"

#include <QBrush>
#include <QCheckBox>
#include <QLocale>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include "gui/Progress.h"
#include "gui/Support.h"

namespace gui {

namespace {

using mapping::RowStatus;

QString number(long n) { return QLocale(QLocale::Italian).toString(static_cast<qlonglong>(n)); }

}  // namespace

// ---------------- PlanRowsModel ----------------

PlanRowsModel::PlanRowsModel(QObject* parent) : StatusRowsModel(parent) {}

void PlanRowsModel::setPlan(const mapping::Plan* plan) {
    plan_ = plan;
    refilter();
}

int PlanRowsModel::sourceRowCount() const { return plan_ ? static_cast<int>(plan_->rows.size()) : 0; }

mapping::RowStatus PlanRowsModel::sourceStatus(int sourceRow) const {
    return plan_->rows[static_cast<std::size_t>(sourceRow)].status;
}

int PlanRowsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

const mapping::PlanRow* PlanRowsModel::row(int tableRow) const {
    const int source = sourceRow(tableRow);
    return plan_ && source >= 0 ? &plan_->rows[static_cast<std::size_t>(source)] : nullptr;
}

QVariant PlanRowsModel::data(const QModelIndex& index, int role) const {
    const mapping::PlanRow* r = row(index.row());
    if (!r) return {};
    if (role == Qt::ForegroundRole && index.column() == Status) return QBrush(statusColour(r->status));
    if (role == Qt::ToolTipRole && index.column() == Reason && !r->reason.empty()) return data(index, Qt::DisplayRole);
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
    case Line: return r->line > 0 ? QVariant(r->line) : QVariant();
    case Account: return qs(r->shownAccount.empty() ? r->key.account : r->shownAccount);
    case Description: return qs(r->accountDescription);
    case Sign: return QString::fromUtf8(mapping::signName(r->key.sign));
    case Before: return qs(r->before);
    case After: return qs(r->after);
    case Status: return QString::fromUtf8(mapping::statusName(r->status));
    case Reason:
        // A refused row says which account was refused.
        if (r->status == RowStatus::Refused && !r->wanted.empty()) return qs(r->wanted + ": " + r->reason);
        return qs(r->reason);
    default: return {};
    }
}

QVariant PlanRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const captions[ColumnCount] = {"Riga del file", "Conto",  "Descrizione", "Segno",
                                                      "Prima",         "Dopo",   "Stato",       "Motivo"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(captions[section]) : QVariant();
}

// ---------------- PlanPreview ----------------

PlanPreview::PlanPreview(const QString& title, const QString& what, mapping::Plan plan, QWidget* parent, Replan replan)
    : RowsPreview(title, what + QStringLiteral("\n") + qs(mapping::describeScope(plan.scope)), new PlanRowsModel,
                  {80, 120, 220, 60, 110, 110, 90, 200}, parent),
      plan_(std::move(plan)),
      replan_(std::move(replan)) {
    setObjectName(QStringLiteral("planPreview"));
    model_ = static_cast<PlanRowsModel*>(table()->model());
    if (replan_ && plan_.scope.kind == mapping::CorrelationKind::COIN) {
        otherType_ = new QCheckBox(QStringLiteral("Accetta conti di &tipo diverso dal conto analitico"), this);
        otherType_->setObjectName(QStringLiteral("acceptOtherType"));
        otherType_->setToolTip(QStringLiteral("Scrivendo il conto a mano viene chiesta conferma; qui le righe "
                                              "di tipo diverso sono rifiutate se non si accettano tutte"));
        connect(otherType_, &QCheckBox::toggled, this, &PlanPreview::acceptOtherType);
        mainLayout()->insertWidget(mainLayout()->count() - 1, otherType_);
    }
    refresh();
}

void PlanPreview::refresh() {
    model_->setPlan(&plan_);
    showCounts(plan_.counts, plan_.writes(), qs(plan_.summary()),
               QStringLiteral("Scrive %1 correlazioni in un'unica transazione").arg(number(plan_.writes())),
               QStringLiteral("Nessuna correlazione da scrivere"));
}

void PlanPreview::acceptOtherType(bool accept) {
    if (!replan_) return;
    mapping::RuleOptions options = options_;
    options.acceptOtherTypeInAnalytic = accept;
    try {
        BusyCursor busy;
        plan_ = replan_(options);
        options_ = options;
    } catch (const std::exception& e) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Impossibile preparare di nuovo l'anteprima: %1").arg(qs(e.what())));
        const QSignalBlocker block(otherType_);
        otherType_->setChecked(options_.acceptOtherTypeInAnalytic);
        return;
    }
    refresh();
}

}  // namespace gui
