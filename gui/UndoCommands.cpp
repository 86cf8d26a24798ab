#include "gui/UndoCommands.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <stdexcept>

#include "gui/EditorGrid.h"
#include "gui/FormWindow.h"
#include "gui/MappingCommands.h"
#include "gui/Progress.h"
#include "gui/Shortcuts.h"
#include "gui/Support.h"
#include "journal/Journal.h"
#include "mapping/Undo.h"

namespace gui {

namespace {

const QString kUndoTitle = QStringLiteral("Annulla");
const QString kRedoTitle = QStringLiteral("Ripeti");
const QString kUndoAllTitle = QStringLiteral("Annulla tutte le modifiche della sessione");

QAction* action(FormWindow& window, const QString& text, const char* name, const char* keys) {
    auto* a = new QAction(text, &window);
    a->setObjectName(QString::fromLatin1(name));
    if (keys) {
        a->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        a->setShortcutContext(Qt::WindowShortcut);
    }
    window.addAction(a);
    return a;
}

}  // namespace

UndoPrompts qtUndoPrompts() {
    UndoPrompts p;
    p.ask = [](QWidget* parent, const QString& title, const QString& text) {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
               QMessageBox::Yes;
    };
    p.warn = [](QWidget* parent, const QString& title, const QString& text) { QMessageBox::warning(parent, title, text); };
    return p;
}

UndoCommands::UndoCommands(FormWindow& window, MappingCommands& mapping, UndoPrompts prompts)
    : QObject(&window), window_(&window), mapping_(&mapping), prompts_(std::move(prompts)) {
    undo_ = action(window, kUndoTitle, "undoChange", shortcuts::kUndoChange);
    redo_ = action(window, kRedoTitle, "redoChange", shortcuts::kRedoChange);
    undoAll_ = action(window, kUndoAllTitle + QStringLiteral("…"), "undoAllChanges", nullptr);
    connect(undo_, &QAction::triggered, this, [this] { runUndo(); });
    connect(redo_, &QAction::triggered, this, [this] { runRedo(); });
    connect(undoAll_, &QAction::triggered, this, [this] { runUndoAll(); });

    QMenu* menu = window.menu(QStringLiteral("&Modifica"));
    menu->addAction(undo_);
    menu->addAction(redo_);
    menu->addSeparator();
    menu->addAction(undoAll_);
    note_ = new QLabel(&window);
    note_->setObjectName(QStringLiteral("historyNote"));
    note_->hide();
    window.statusBar()->addPermanentWidget(note_);
    window.updateChrome();

    // A save, an import or another window's undo changes what this window can undo.
    QPointer<UndoCommands> self(this);
    listener_ = journal::session().addListener([self] {
        QMetaObject::invokeMethod(
            self.data(), [self] { if (self) self->update(); }, Qt::QueuedConnection);
    });
    if (GridView* grid = editorGrid(window)) connect(grid->model(), &QAbstractItemModel::modelReset, this, &UndoCommands::update);
    connect(&window, &FormWindow::formClosed, this, &UndoCommands::update);
    update();
}

UndoCommands::~UndoCommands() { journal::session().removeListener(listener_); }

QString UndoCommands::historyNote() const { return note_->text(); }

void UndoCommands::update() {
    mapping::EditorLink* link = mapping_ ? mapping_->link() : nullptr;
    std::optional<mapping::Scope> scope = link && window_ && window_->form() ? link->scope() : std::nullopt;
    const QString undoText = scope ? qs(mapping::undoText(*scope)) : QString();
    const QString redoText = scope ? qs(mapping::redoText(*scope)) : QString();
    undo_->setText(undoText.isEmpty() ? kUndoTitle : undoText);
    redo_->setText(redoText.isEmpty() ? kRedoTitle : redoText);
    undo_->setEnabled(!undoText.isEmpty());
    redo_->setEnabled(!redoText.isEmpty());
    undoAll_->setEnabled(!undoText.isEmpty());
    const QString problem = qs(journal::session().historyProblem());
    note_->setText(problem);
    note_->setVisible(!problem.isEmpty());
}

void UndoCommands::warn(const QString& title, const QString& text) const { prompts_.warn(window_, title, text); }

bool UndoCommands::step(bool undo) {
    const QString title = undo ? kUndoTitle : kRedoTitle;
    mapping::EditorLink* link = mapping_ ? mapping_->link() : nullptr;
    if (!link || !window_) return false;
    bool written = false;
    try {
        const mapping::Scope scope = link->requireReady();
        BusyCursor busy;
        const auto done = undo ? mapping::undoLast(link->connection(), scope) : mapping::redoLast(link->connection(), scope);
        if (done) {
            written = true;
            link->refresh();
            // The cursor goes to the step's first row (an intermediary's step: its master stays).
            const journal::Change& first = done->changes.front();
            if (first.rows == journal::Rows::Correlation) link->goTo(mapping::Key{first.account, first.sign});
            window_->statusBar()->showMessage(
                (undo ? QStringLiteral("Annullato: ") : QStringLiteral("Ripetuto: ")) + qs(journal::describe(*done)), 8000);
        }
    } catch (const std::exception& e) {
        warn(title, qs(e.what()));
    }
    if (window_) window_->syncFocus();
    update();
    return written;
}

bool UndoCommands::runUndo() { return step(true); }
bool UndoCommands::runRedo() { return step(false); }

int UndoCommands::runUndoAll() {
    mapping::EditorLink* link = mapping_ ? mapping_->link() : nullptr;
    if (!link || !window_) return 0;
    int done = 0;
    try {
        const mapping::Scope scope = link->requireReady();
        const auto steps = journal::session().undoable(mapping::journalScope(scope));
        if (steps.empty()) return 0;
        const QString question =
            (steps.size() == 1 ? QStringLiteral("Annullare l'unica modifica della sessione su questo elenco?")
                               : QStringLiteral("Annullare tutte le %1 modifiche della sessione su questo elenco?")
                                     .arg(steps.size())) +
            QStringLiteral("\nLe correlazioni tornano come erano all'inizio della sessione.");
        if (!prompts_.ask(window_, kUndoAllTitle, question)) return 0;
        const auto here = link->currentKey();
        BusyCursor busy;
        // A refusal stops at its step: the list shows the steps reverted before it too.
        QString refusal;
        try {
            done = mapping::undoAll(link->connection(), scope);
        } catch (const std::exception& e) {
            refusal = qs(e.what());
        }
        link->refresh();
        if (here) link->goTo(*here);
        if (!refusal.isEmpty()) throw std::runtime_error(ss(refusal));
        window_->statusBar()->showMessage(done == 1 ? QStringLiteral("Annullata 1 modifica")
                                                    : QStringLiteral("Annullate %1 modifiche").arg(done),
                                          8000);
    } catch (const std::exception& e) {
        warn(kUndoAllTitle, qs(e.what()));
    }
    if (window_) window_->syncFocus();
    update();
    return done;
}

}  // namespace gui
