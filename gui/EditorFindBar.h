#pragma once
// The find bar of a correlation editor's window (Ctrl+F), apart from the module's own search
// box: it finds a row by account code, typed plain or through the chart's mask, or by part of
// the description, ignoring case and accents, from the current row on and around the end.
// F3 finds the next row. It only moves the grid, through the same row change a click makes.
// A text that matches nothing is said in the bar itself; Esc closes the bar.

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QLabel;
class QLineEdit;
class QWidget;

namespace gui {

class FormWindow;
class GridView;

class EditorFindBar : public QObject {
    Q_OBJECT
public:
    // Adds the bar (hidden) to the window's status bar and the commands to its "Righe" menu.
    explicit EditorFindBar(FormWindow& window);

    QWidget* bar() const { return bar_; }
    QLineEdit* edit() const { return edit_; }
    QLabel* noticeLabel() const { return notice_; }
    QAction* findAction() const { return find_; }
    QAction* findNextAction() const { return findNext_; }

    // Shows the bar with the cursor in its text; Esc or close() hides it again.
    void open();
    void close();
    // Finds the next row for the bar's text: from the current row when the text is new, after
    // it otherwise. False when nothing matches or the move was refused.
    bool findNext();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateEnabled();

    QPointer<FormWindow> window_;
    QPointer<GridView> grid_;
    QWidget* bar_;
    QLineEdit* edit_;
    QLabel* notice_;
    QAction* find_;
    QAction* findNext_;
    QString lastText_;   // the text of the last search
};

}  // namespace gui
