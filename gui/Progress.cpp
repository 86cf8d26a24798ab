#include "gui/Progress.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QProgressDialog>
#include <QTimer>

#include "db/Trace.h"

namespace gui {

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }

struct DatabaseBusyCursor::State {
    bool active = false;
    void restore() {
        if (!active) return;
        active = false;
        QApplication::restoreOverrideCursor();
    }
};

DatabaseBusyCursor::DatabaseBusyCursor() : state_(std::make_shared<State>()) {
    std::weak_ptr<State> weak = state_;
    token_ = db::addGlobalSink(db::makeSink([weak](const db::TraceEvent&) {
        auto s = weak.lock();
        if (!s || s->active || !QCoreApplication::instance()) return;
        s->active = true;
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        // Runs when control is back in the event loop: the work that sent the statement is over.
        QTimer::singleShot(0, QCoreApplication::instance(), [weak] {
            if (auto s2 = weak.lock()) s2->restore();
        });
    }));
}

DatabaseBusyCursor::~DatabaseBusyCursor() {
    db::removeGlobalSink(token_);
    state_->restore();
}

bool DatabaseBusyCursor::active() const { return state_->active; }

ProgressSteps::ProgressSteps(const QString& title, int steps, QWidget* parent, int showAfterMs)
    : dialog_(std::make_unique<QProgressDialog>(title, QStringLiteral("Annulla"), 0, steps, parent)) {
    dialog_->setWindowTitle(title);
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(showAfterMs);
    dialog_->setAutoClose(true);
    dialog_->setValue(0);
}

ProgressSteps::~ProgressSteps() { finish(); }

bool ProgressSteps::step(int index, const QString& label) {
    dialog_->setLabelText(label);
    dialog_->setValue(index);
    // A modal progress dialog processes events in setValue, so the label is drawn and a
    // click on Annulla is seen between steps.
    return !dialog_->wasCanceled();
}

bool ProgressSteps::cancelled() const { return dialog_->wasCanceled(); }

void ProgressSteps::finish() {
    if (dialog_ && dialog_->value() < dialog_->maximum()) dialog_->setValue(dialog_->maximum());
}

}  // namespace gui
