#pragma once
// The frame of every preview shown before a write (a correlation import, a bulk fill, a trial
// balance import): where the rows come from, what stops the whole source, one box per status
// with its count that also filters the rows, the rows, a summary, notes the user should read,
// and "Applica", which only the user presses: it is never the default button and is off when
// nothing would be written. What a row shows is the subclass's model.

#include <QAbstractTableModel>
#include <QColor>
#include <QDialog>
#include <QStringList>
#include <array>
#include <vector>

#include "mapping/Plan.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;
class QVBoxLayout;

namespace gui {

using StatusFilter = std::array<bool, mapping::kRowStatusCount>;

// The colour a row's status is written in.
QColor statusColour(mapping::RowStatus status);

// Rows of a preview, only those of the statuses shown. A subclass gives its source rows'
// count and statuses, calls refilter() when its source changes, and finds the source row of
// a table row with sourceRow().
class StatusRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setShown(const StatusFilter& shown);
    int rowCount(const QModelIndex& parent = {}) const override;

protected:
    void refilter();
    // The source row shown at `tableRow`; -1 when none.
    int sourceRow(int tableRow) const;
    virtual int sourceRowCount() const = 0;
    virtual mapping::RowStatus sourceStatus(int sourceRow) const = 0;

private:
    StatusFilter shown_{};
    std::vector<int> rows_;
};

class RowsPreview : public QDialog {
    Q_OBJECT
public:
    // Problems that stop the whole source (a file that cannot be read): shown above the rows,
    // and nothing can be applied.
    void setProblems(const QStringList& problems);

    QPushButton* applyButton() const { return apply_; }
    QPushButton* cancelButton() const { return cancel_; }
    QCheckBox* statusBox(mapping::RowStatus status) const { return statusBoxes_[static_cast<int>(status)]; }
    QTableView* table() const { return table_; }
    // The line of counts ("3 aggiunte, 1 modificata, …").
    QString summary() const;
    // The notes under the rows ("" when none).
    QString notes() const;

protected:
    // `model` is owned by the dialog; `widths` per column.
    RowsPreview(const QString& title, const QString& what, StatusRowsModel* model, const std::vector<int>& widths,
                QWidget* parent);
    // Where a subclass adds options, above the buttons.
    QVBoxLayout* mainLayout() const { return layout_; }
    bool hasProblems() const { return !problems_.isEmpty(); }
    // Shows the counts and the summary; "Applica" is on when `writes` > 0, no problem stops
    // the source and the subclass has no reason of its own (`refusal`). Its tooltip is
    // `applyTip` when on, `idleTip` when there is nothing to write.
    void showCounts(const std::array<long, mapping::kRowStatusCount>& counts, long writes, const QString& summary,
                    const QString& applyTip, const QString& idleTip, const QString& refusal = {});
    void setNotes(const QStringList& notes);
    // Shows the rows again after the problems changed.
    virtual void refresh() = 0;

private:
    void updateFilter();

    QVBoxLayout* layout_;
    StatusRowsModel* rowsModel_;
    QStringList problems_;
    QLabel* problemsLabel_;
    QLabel* summary_;
    QLabel* notes_;
    std::array<QCheckBox*, mapping::kRowStatusCount> statusBoxes_{};
    QTableView* table_;
    QPushButton* apply_;
    QPushButton* cancel_;
};

}  // namespace gui
