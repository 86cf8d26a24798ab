#pragma once
// The commands of a correlation editor's window for the rows still without a reclassified
// account: "Solo non correlati" (the grid shows only those rows; the module's recordset and
// what it writes stay as they are) and "Prossimo / Precedente non correlato", which move to
// such a row through the same row change a click on the grid makes, so the record frame's
// leave logic applies as for a click (a refused account keeps the row).
//
// While the filter is on, a row that gets its account stays in view until the filter is
// switched again or the list is reloaded; a row the cursor moves to is shown too.

#include <QObject>
#include <QPointer>

class QAction;

namespace gui {

class FormWindow;
class GridView;

class UnmappedRows : public QObject {
    Q_OBJECT
public:
    // Adds a "Righe" menu and the toolbar buttons to `window`; lives as long as the window.
    explicit UnmappedRows(FormWindow& window);

    QAction* filterAction() const { return filter_; }
    QAction* nextAction() const { return next_; }
    QAction* previousAction() const { return previous_; }

    // Shows only the unmapped rows (on) or every row again.
    void setFilter(bool on);
    // Moves to the next (+1) or previous (-1) unmapped row; false when there is none or the
    // move was refused.
    bool jump(int direction);

private:
    void updateEnabled();
    void notice(const QString& text) const;

    QPointer<FormWindow> window_;
    QPointer<GridView> grid_;
    QAction* filter_;
    QAction* next_;
    QAction* previous_;
};

}  // namespace gui
