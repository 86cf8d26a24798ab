#pragma once
// The lookup window: the request's rows in a table with the request's fields as columns, a
// search box that narrows the rows as the user types, Enter or a double click picks the row,
// Escape cancels; as a read-only browser it only closes. QtLookupPresenter shows it for the kit's code and account boxes.

#include <QAbstractTableModel>
#include <QDialog>
#include <optional>
#include <vector>

#include "kit/WindowSystem.h"

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace gui {

// The rows of a recordset's view as a table (values read when drawn, nothing copied).
class LookupRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    LookupRowsModel(std::shared_ptr<db::Recordset> rs, const kit::LookupFields& fields, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    int widthTwips(int column) const;

private:
    struct Column {
        std::size_t field;
        QString caption;
        int width;
    };
    std::shared_ptr<db::Recordset> rs_;
    std::vector<Column> columns_;
};

class LookupDialog : public QDialog {
    Q_OBJECT
public:
    // How the window ends: with a row to hand back (Enter chooses it), or as a read-only
    // browser that only closes.
    enum class Use { Choose, Browse };
    explicit LookupDialog(const kit::LookupRequest& request, QWidget* parent = nullptr, Use use = Use::Choose);

    // The chosen row of the request's recordset view, once accepted.
    std::optional<long> chosen() const { return chosen_; }
    QLineEdit* searchBox() const { return search_; }
    QTableView* table() const { return table_; }
    // Rows shown after the search narrowed them.
    int shownRows() const;
    // The line above the search box that tells the keys.
    QString hint() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pick();
    void selectFirstShown();
    LookupRowsModel* rows_;
    QSortFilterProxyModel* proxy_;
    QLineEdit* search_;
    QTableView* table_;
    QLabel* hint_;
    Use use_;
    std::optional<long> chosen_;
};

class QtLookupPresenter : public kit::LookupPresenter {
public:
    explicit QtLookupPresenter(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    std::optional<long> pick(const kit::LookupRequest& request) override;

private:
    QWidget* parent_;
};

}  // namespace gui
