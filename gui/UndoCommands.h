#pragma once
// The "Modifica" menu of a correlation editor's window: undo and redo of the correlation
// writes of this session (saved rows, imports, bulk fills, CEE runs), one step at a time for
// the window's list, and the undo of all of them after a question. The actions name the step
// they would undo or redo and are disabled when there is none. While the account box holds
// an account the user has not stored they refuse, as the mapping commands do; in the box
// itself Ctrl+Z stays the box's own undo of the typing. The status bar says when the history
// is not kept in the database.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QAction;
class QLabel;
class QWidget;

namespace gui {

class FormWindow;
class MappingCommands;

struct UndoPrompts {
    // A Sì/No question, No the default; true for Sì.
    std::function<bool(QWidget* parent, const QString& title, const QString& text)> ask;
    std::function<void(QWidget* parent, const QString& title, const QString& text)> warn;
};
UndoPrompts qtUndoPrompts();

class UndoCommands : public QObject {
    Q_OBJECT
public:
    // Adds the menu to `window`; works on the list of `mapping`'s editor link. Lives as long as
    // the window.
    UndoCommands(FormWindow& window, MappingCommands& mapping, UndoPrompts prompts = qtUndoPrompts());
    ~UndoCommands() override;

    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }
    QAction* undoAllAction() const { return undoAll_; }
    // The status bar's note ("" while the history is kept).
    QString historyNote() const;

    // What the actions do; true (the steps reverted) when something was written.
    bool runUndo();
    bool runRedo();
    int runUndoAll();

    // Enables and names the actions for the list shown now.
    void update();

private:
    bool step(bool undo);
    void warn(const QString& title, const QString& text) const;

    QPointer<FormWindow> window_;
    QPointer<MappingCommands> mapping_;
    UndoPrompts prompts_;
    QAction* undo_;
    QAction* redo_;
    QAction* undoAll_;
    QLabel* note_;
    int listener_ = 0;
};

}  // namespace gui
