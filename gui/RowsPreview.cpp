#include "gui/RowsPreview.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "gui/Support.h"

namespace gui {

namespace {

using mapping::RowStatus;

// The status boxes: the counts and the filter at once. The Alt letters avoid "Applica".
constexpr const char* kStatusCaptions[mapping::kRowStatusCount] = {"A&ggiunte", "&Modificate", "&Eliminate",
                                                                  "&Invariate", "&Rifiutate"};

QString number(long n) { return QLocale(QLocale::Italian).toString(static_cast<qlonglong>(n)); }

}  // namespace

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

void StatusRowsModel::setShown(const StatusFilter& shown) {
    shown_ = shown;
    refilter();
}

void StatusRowsModel::refilter() {
    beginResetModel();
    rows_.clear();
    for (int i = 0, n = sourceRowCount(); i < n; ++i)
        if (shown_[static_cast<std::size_t>(sourceStatus(i))]) rows_.push_back(i);
    endResetModel();
}

int StatusRowsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(rows_.size()); }

int StatusRowsModel::sourceRow(int tableRow) const {
    return tableRow >= 0 && tableRow < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(tableRow)] : -1;
}

RowsPreview::RowsPreview(const QString& title, const QString& what, StatusRowsModel* model, const std::vector<int>& widths,
                         QWidget* parent)
    : QDialog(parent), rowsModel_(model) {
    setWindowTitle(title);
    layout_ = new QVBoxLayout(this);

    auto* source = new QLabel(what, this);
    source->setObjectName(QStringLiteral("source"));
    source->setWordWrap(true);
    layout_->addWidget(source);

    problemsLabel_ = new QLabel(this);
    problemsLabel_->setObjectName(QStringLiteral("problems"));
    problemsLabel_->setWordWrap(true);
    problemsLabel_->setStyleSheet(QStringLiteral("color: #b01c1c"));
    problemsLabel_->setVisible(false);
    layout_->addWidget(problemsLabel_);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("Mostra:"), this));
    for (int s = 0; s < mapping::kRowStatusCount; ++s) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("status%1").arg(s));
        box->setChecked(static_cast<RowStatus>(s) != RowStatus::Unchanged);
        connect(box, &QCheckBox::toggled, this, &RowsPreview::updateFilter);
        filters->addWidget(box);
        statusBoxes_[static_cast<std::size_t>(s)] = box;
    }
    filters->addStretch(1);
    layout_->addLayout(filters);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("rows"));
    rowsModel_->setParent(this);
    table_->setModel(rowsModel_);
    setUpRowTable(table_);
    for (std::size_t c = 0; c < widths.size(); ++c) table_->setColumnWidth(static_cast<int>(c), widths[c]);
    layout_->addWidget(table_, 1);

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    layout_->addWidget(summary_);
    notes_ = new QLabel(this);
    notes_->setObjectName(QStringLiteral("notes"));
    notes_->setWordWrap(true);
    notes_->setVisible(false);
    layout_->addWidget(notes_);

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
    // Options a subclass adds go between the rows and the buttons.
    layout_->addWidget(buttons);

    resize(1040, 560);
}

void RowsPreview::setProblems(const QStringList& problems) {
    problems_ = problems;
    problemsLabel_->setText(QStringLiteral("Il file non può essere importato:\n") + problems.join('\n'));
    problemsLabel_->setVisible(!problems.isEmpty());
    refresh();
}

QString RowsPreview::summary() const { return summary_->text(); }
QString RowsPreview::notes() const { return notes_->text(); }

void RowsPreview::showCounts(const std::array<long, mapping::kRowStatusCount>& counts, long writes, const QString& summary,
                             const QString& applyTip, const QString& idleTip, const QString& refusal) {
    for (int s = 0; s < mapping::kRowStatusCount; ++s)
        statusBoxes_[static_cast<std::size_t>(s)]->setText(
            QStringLiteral("%1: %2").arg(QString::fromUtf8(kStatusCaptions[s]), number(counts[static_cast<std::size_t>(s)])));
    updateFilter();
    const bool applicable = problems_.isEmpty() && refusal.isEmpty() && writes > 0;
    apply_->setEnabled(applicable);
    apply_->setToolTip(applicable ? applyTip : !refusal.isEmpty() ? refusal : idleTip);
    summary_->setText(summary);
}

void RowsPreview::setNotes(const QStringList& notes) {
    notes_->setText(notes.join('\n'));
    notes_->setVisible(!notes.isEmpty());
}

void RowsPreview::updateFilter() {
    StatusFilter shown{};
    for (int s = 0; s < mapping::kRowStatusCount; ++s)
        shown[static_cast<std::size_t>(s)] = statusBoxes_[static_cast<std::size_t>(s)]->isChecked();
    rowsModel_->setShown(shown);
}

}  // namespace gui
