#pragma once
// The "Tasti" page: every keyboard shortcut of the program, listed from the shortcuts table,
// followed by the Alt letters of the buttons of the window it was opened from. F1 opens it,
// and the "?" menu's "Tasti…" in the main window and the editors.

#include <QDialog>

class QAction;
class QMenuBar;
class QTableWidget;

namespace gui {

class KeysPage : public QDialog {
    Q_OBJECT
public:
    explicit KeysPage(QWidget* parent);
    QTableWidget* table() const { return table_; }

private:
    QTableWidget* table_;
};

// Shows the page over `window` (raises the one already open there).
KeysPage* showKeysPage(QWidget* window);
// An action "Tasti…" (F1) of `window` that shows the page; the window owns it.
QAction* makeKeysAction(QWidget* window);
// Adds the "?" menu holding `keysAction` to `bar`.
void addHelpMenu(QMenuBar* bar, QAction* keysAction);

}  // namespace gui
