#include "gui/LookupDialog.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include "gui/Support.h"

namespace gui {

LookupRowsModel::LookupRowsModel(std::shared_ptr<db::Recordset> rs, const kit::LookupFields& fields, QObject* parent)
    : QAbstractTableModel(parent), rs_(std::move(rs)) {
    auto& f = rs_->fields();
    if (fields.empty()) {
        for (long i = 0; i < f.Count(); ++i)
            columns_.push_back({static_cast<std::size_t>(i), qs(f.Item(i).Name()), 0});
        return;
    }
    for (const auto& lf : fields) {
        // A field the statement did not return is left out rather than shown empty.
        if (auto at = f.indexOf(lf.column))
            columns_.push_back({*at, qs(lf.caption.empty() ? lf.column : lf.caption), lf.width});
    }
}

int LookupRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rs_->viewSize());
}
int LookupRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant LookupRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    if (index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const auto& row = rs_->viewRow(index.row());
    std::size_t f = columns_[index.column()].field;
    return f < row.size() ? qs(row[f].toText()) : QString();
}

QVariant LookupRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= columnCount()) return {};
    return columns_[section].caption;
}

int LookupRowsModel::widthTwips(int column) const {
    return column >= 0 && column < columnCount() ? columns_[column].width : 0;
}

LookupDialog::LookupDialog(const kit::LookupRequest& request, QWidget* parent, Use use)
    : QDialog(parent), use_(use) {
    setObjectName("LookupDialog");
    setWindowTitle(qs(request.caption.empty() ? std::string("Ricerca") : request.caption));
    auto* layout = new QVBoxLayout(this);
    hint_ = new QLabel(use == Use::Choose ? QStringLiteral("Cerca (Invio sceglie, Esc annulla):")
                                          : QStringLiteral("Cerca (sola consultazione, Esc chiude):"),
                       this);
    hint_->setObjectName("hint");
    search_ = new QLineEdit(this);
    search_->setObjectName("search");
    search_->setClearButtonEnabled(true);
    table_ = new QTableView(this);
    table_->setObjectName("rows");
    layout->addWidget(hint_);
    layout->addWidget(search_);
    layout->addWidget(table_, 1);

    rows_ = new LookupRowsModel(request.recordset, request.fields, this);
    proxy_ = new QSortFilterProxyModel(this);
    proxy_->setSourceModel(rows_);
    proxy_->setFilterKeyColumn(-1);   // any column may match
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    table_->setModel(proxy_);
    setUpRowTable(table_);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    int width = 0;
    for (int c = 0; c < rows_->columnCount(); ++c) {
        int w = rows_->widthTwips(c) > 0 ? twipsToPixels(rows_->widthTwips(c)) : 140;
        table_->setColumnWidth(c, w);
        width += w;
    }
    resize(std::clamp(width + 40, 360, 760), 420);

    connect(search_, &QLineEdit::textChanged, this, [this](const QString& t) {
        proxy_->setFilterFixedString(t);
        selectFirstShown();
    });
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex&) { pick(); });
    search_->installEventFilter(this);
    table_->installEventFilter(this);

    // Start on the row the box holds, when it is among the candidates.
    int start = -1;
    if (!request.currentText.empty() && rows_->columnCount() > 0) {
        for (int r = 0; r < rows_->rowCount() && start < 0; ++r) {
            const auto& row = request.recordset->viewRow(r);
            if (!row.empty() && row[0].toText() == request.currentText) start = r;
        }
    }
    if (start >= 0)
        table_->selectRow(proxy_->mapFromSource(rows_->index(start, 0)).row());
    else
        selectFirstShown();
    search_->setFocus();
}

int LookupDialog::shownRows() const { return proxy_->rowCount(); }

QString LookupDialog::hint() const { return hint_->text(); }

void LookupDialog::selectFirstShown() {
    if (proxy_->rowCount() > 0)
        table_->selectRow(0);
    else
        table_->clearSelection();
}

void LookupDialog::pick() {
    if (use_ == Use::Browse) return;   // nothing goes back: Enter does not close the browser
    QModelIndex current = table_->currentIndex();
    if (!current.isValid() || !table_->selectionModel()->isRowSelected(current.row(), {})) {
        if (proxy_->rowCount() == 0) return;   // nothing to pick: Enter does nothing
        current = proxy_->index(0, 0);
    }
    chosen_ = proxy_->mapToSource(current).row();
    accept();
}

bool LookupDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        switch (k->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            pick();
            return true;
        case Qt::Key_Escape:
            reject();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (watched == search_) {
                // The arrows move through the rows while the cursor stays in the search box.
                QApplication::sendEvent(table_, event);
                return true;
            }
            break;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<long> QtLookupPresenter::pick(const kit::LookupRequest& request) {
    if (!request.recordset || request.recordset->State() != db::ado::adStateOpen) return std::nullopt;
    LookupDialog dialog(request, parent_ ? parent_ : QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.chosen();
}

}  // namespace gui
