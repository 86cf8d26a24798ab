#include "gui/PlanPreview.h"

#include <QBrush>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include "gui/Progress.h"
#include "gui/Support.h"

namespace gui {

namespace {

using mapping::RowStatus;

// The status boxes: the counts and the filter at once. The Alt letters avoid "Applica".
constexpr const char* kStatusCaptions[mapping::kRowStatusCount] = {"A&ggiunte", "&Modificate", "&Eliminate",
                                                                  "&Invariate", "&Rifiutate"};

QString number(long n) { return QLocale(QLocale::Italian).toString(static_cast<qlonglong>(n)); }

QColor statusColour(RowStatus s) {
    switch (s) {
    case RowStatus::Added: return QColor(0x1b, 0x6e, 0x20);
    case RowStatus::Changed: return QColor(0x1a, 0x4f, 0x9c);
    case RowStatus::Removed: return QColor(0x8a, 0x4b, 0x08);
    case RowStatus::Refused: return QColor(0xb0, 0x1c, 0x1c);
    case RowStatus::Unchanged: break;
    }
    return QColor(0x60, 0x60, 0x60);
}

}  // namespace

// ---------------- PlanRowsModel ----------------

PlanRowsModel::PlanRowsModel(QObject* parent) : QAbstractTableModel(parent) {}

void PlanRowsModel::setPlan(const mapping::Plan* plan) {
    plan_ = plan;
    refilter();
}

void PlanRowsModel::setShown(const std::array<bool, mapping::kRowStatusCount>& shown) {
    shown_ = shown;
    refilter();
}

void PlanRowsModel::refilter() {
    beginResetModel();
    rows_.clear();
    if (plan_)
        for (std::size_t i = 0; i < plan_->rows.size(); ++i)
            if (shown_[static_cast<int>(plan_->rows[i].status)]) rows_.push_back(static_cast<int>(i));
    endResetModel();
}

int PlanRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PlanRowsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

const mapping::PlanRow* PlanRowsModel::row(int tableRow) const {
    if (!plan_ || tableRow < 0 || tableRow >= static_cast<int>(rows_.size())) return nullptr;
    return &plan_->rows[static_cast<std::size_t>(rows_[static_cast<std::size_t>(tableRow)])];
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
    : QDialog(parent), plan_(std::move(plan)), replan_(std::move(replan)) {
    setObjectName(QStringLiteral("planPreview"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);

    auto* source = new QLabel(what + QStringLiteral("\n") + qs(mapping::describeScope(plan_.scope)), this);
    source->setObjectName(QStringLiteral("source"));
    source->setWordWrap(true);
    layout->addWidget(source);

    problemsLabel_ = new QLabel(this);
    problemsLabel_->setObjectName(QStringLiteral("problems"));
    problemsLabel_->setWordWrap(true);
    problemsLabel_->setStyleSheet(QStringLiteral("color: #b01c1c"));
    problemsLabel_->setVisible(false);
    layout->addWidget(problemsLabel_);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("Mostra:"), this));
    for (int s = 0; s < mapping::kRowStatusCount; ++s) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("status%1").arg(s));
        box->setChecked(static_cast<RowStatus>(s) != RowStatus::Unchanged);
        connect(box, &QCheckBox::toggled, this, &PlanPreview::updateFilter);
        filters->addWidget(box);
        statusBoxes_[static_cast<std::size_t>(s)] = box;
    }
    filters->addStretch(1);
    layout->addLayout(filters);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("rows"));
    model_ = new PlanRowsModel(this);
    table_->setModel(model_);
    setUpRowTable(table_);
    static const int widths[PlanRowsModel::ColumnCount] = {80, 120, 220, 60, 110, 110, 90, 200};
    for (int c = 0; c < PlanRowsModel::ColumnCount; ++c) table_->setColumnWidth(c, widths[c]);
    layout->addWidget(table_, 1);

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    layout->addWidget(summary_);

    if (replan_ && plan_.scope.kind == mapping::CorrelationKind::COIN) {
        otherType_ = new QCheckBox(QStringLiteral("Accetta conti di &tipo diverso dal conto analitico"), this);
        otherType_->setObjectName(QStringLiteral("acceptOtherType"));
        otherType_->setToolTip(QStringLiteral("Scrivendo il conto a mano viene chiesta conferma; qui le righe "
                                              "di tipo diverso sono rifiutate se non si accettano tutte"));
        connect(otherType_, &QCheckBox::toggled, this, &PlanPreview::acceptOtherType);
        layout->addWidget(otherType_);
    }

    auto* buttons = new QDialogButtonBox(this);
    apply_ = buttons->addButton(QStringLiteral("&Applica"), QDialogButtonBox::AcceptRole);
    apply_->setObjectName(QStringLiteral("apply"));
    cancel_ = buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    cancel_->setObjectName(QStringLiteral("cancel"));
    // Enter must never write: only a deliberate press of "Applica" does.
    apply_->setAutoDefault(false);
    apply_->setDefault(false);
    cancel_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    resize(1040, 560);
    showPlan();
}

void PlanPreview::setProblems(const QStringList& problems) {
    problems_ = problems;
    problemsLabel_->setText(QStringLiteral("Il file non può essere importato:\n") + problems.join('\n'));
    problemsLabel_->setVisible(!problems.isEmpty());
    showPlan();
}

QString PlanPreview::summary() const { return summary_->text(); }

void PlanPreview::showPlan() {
    for (int s = 0; s < mapping::kRowStatusCount; ++s) {
        const QString caption = QString::fromUtf8(kStatusCaptions[s]);
        statusBoxes_[static_cast<std::size_t>(s)]->setText(
            QStringLiteral("%1: %2").arg(caption, number(plan_.count(static_cast<RowStatus>(s)))));
    }
    model_->setPlan(&plan_);
    updateFilter();
    const bool applicable = problems_.isEmpty() && plan_.writes() > 0;
    apply_->setEnabled(applicable);
    apply_->setToolTip(applicable ? QStringLiteral("Scrive %1 correlazioni in un'unica transazione").arg(number(plan_.writes()))
                                  : QStringLiteral("Nessuna correlazione da scrivere"));
    summary_->setText(qs(plan_.summary()));
}

void PlanPreview::updateFilter() {
    std::array<bool, mapping::kRowStatusCount> shown{};
    for (int s = 0; s < mapping::kRowStatusCount; ++s) shown[static_cast<std::size_t>(s)] = statusBoxes_[static_cast<std::size_t>(s)]->isChecked();
    model_->setShown(shown);
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
    showPlan();
}

}  // namespace gui
