#pragma once
// The status bar of a correlation editor's window: how many accounts and rows the list has
// and, per sign, how many rows have a reclassified account ("Dare 180/204"). It follows the
// grid's model, so every change of the rows recounts them: a save, a delete or undo, a new
// fill after a CEE run or after the intermediaries window closed. Bursts of changes (a fill,
// keys held down) are counted once, a moment after the last one.

#include <QObject>
#include <QPointer>
#include <QString>

class QLabel;
class QTimer;

namespace gui {

class FormWindow;
class GridView;

class EditorStatus : public QObject {
    Q_OBJECT
public:
    // Adds the counts to the window's status bar; lives as long as the window.
    explicit EditorStatus(FormWindow& window);

    // The text shown now ("" before the list is loaded).
    QString text() const;
    // Counts again at once.
    void recount();

private:
    void schedule();

    QPointer<FormWindow> window_;
    QPointer<GridView> grid_;
    QLabel* label_;
    QTimer* timer_;
};

}  // namespace gui
