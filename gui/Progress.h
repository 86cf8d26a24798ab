#pragma once
// Feedback for work that blocks the user-interface thread.
//
// BusyCursor: a wait cursor for the lifetime of the object.
// DatabaseBusyCursor: while installed, the first statement any connection runs shows the wait
// cursor, and it goes back once the event loop runs again, i.e. when the work (a grid fill,
// a save) has ended. Nothing is shown for work that sends no statement.
// ProgressSteps: a progress dialog for long work in known steps, shown only when the work
// lasts more than a moment; the user may cancel between steps.

#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

namespace gui {

class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

class DatabaseBusyCursor {
public:
    DatabaseBusyCursor();
    ~DatabaseBusyCursor();
    DatabaseBusyCursor(const DatabaseBusyCursor&) = delete;
    DatabaseBusyCursor& operator=(const DatabaseBusyCursor&) = delete;
    // Whether the wait cursor is shown now.
    bool active() const;

private:
    struct State;
    std::shared_ptr<State> state_;
    long token_ = 0;
};

class ProgressSteps {
public:
    ProgressSteps(const QString& title, int steps, QWidget* parent = nullptr, int showAfterMs = 400);
    ~ProgressSteps();
    ProgressSteps(const ProgressSteps&) = delete;
    ProgressSteps& operator=(const ProgressSteps&) = delete;
    // Starts step `index` (0-based) with its label; false when the user cancelled.
    bool step(int index, const QString& label);
    bool cancelled() const;
    void finish();
    QProgressDialog* dialog() const { return dialog_.get(); }

private:
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace gui
