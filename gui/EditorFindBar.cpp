#include "gui/EditorFindBar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>

#include "gui/EditorGrid.h"
#include "gui/ControlViews.h"
#include "gui/CorrelationRows.h"
#include "gui/FormWindow.h"
#include "gui/QueryGridModel.h"
#include "gui/Shortcuts.h"
#include "gui/Support.h"

namespace gui {

namespace {

QString keysText(const char* keys) {
    return QKeySequence(QString::fromLatin1(keys)).toString(QKeySequence::NativeText);
}

}  // namespace

EditorFindBar::EditorFindBar(FormWindow& window)
    : QObject(&window), window_(&window), grid_(editorGrid(window)), bar_(new QWidget(&window)),
      edit_(new QLineEdit(bar_)), notice_(new QLabel(bar_)) {
    bar_->setObjectName(QStringLiteral("findBar"));
    auto* layout = new QHBoxLayout(bar_);
    layout->setContentsMargins(2, 0, 2, 0);
    auto* label = new QLabel(QStringLiteral("&Trova:"), bar_);
    label->setBuddy(edit_);
    edit_->setObjectName(QStringLiteral("findText"));
    edit_->setPlaceholderText(QStringLiteral("codice o descrizione"));
    edit_->setToolTip(QStringLiteral("Codice del conto (con o senza separatori) o parte della descrizione; "
                                     "Invio o %1 trova la riga successiva, Esc chiude")
                          .arg(keysText(shortcuts::kFindNext)));
    edit_->setMinimumWidth(edit_->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);
    edit_->installEventFilter(this);
    auto* next = new QToolButton(bar_);
    next->setText(QStringLiteral("Successivo"));
    next->setToolTip(QStringLiteral("Trova la riga successiva (%1)").arg(keysText(shortcuts::kFindNext)));
    next->setFocusPolicy(Qt::NoFocus);
    auto* hide = new QToolButton(bar_);
    hide->setIcon(window.style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    hide->setToolTip(QStringLiteral("Chiude la barra di ricerca (Esc)"));
    hide->setAutoRaise(true);
    hide->setFocusPolicy(Qt::NoFocus);
    notice_->setObjectName(QStringLiteral("findNotice"));
    layout->addWidget(label);
    layout->addWidget(edit_, 1);
    layout->addWidget(next);
    layout->addWidget(notice_);
    layout->addWidget(hide);

    find_ = new QAction(QStringLiteral("&Trova…"), &window);
    find_->setObjectName(QStringLiteral("find"));
    find_->setShortcut(QKeySequence(QString::fromLatin1(shortcuts::kFind)));
    find_->setToolTip(QStringLiteral("Trova una riga per codice o descrizione (%1)").arg(keysText(shortcuts::kFind)));
    findNext_ = new QAction(QStringLiteral("Trova &successivo"), &window);
    findNext_->setObjectName(QStringLiteral("findNext"));
    findNext_->setShortcut(QKeySequence(QString::fromLatin1(shortcuts::kFindNext)));
    findNext_->setToolTip(QStringLiteral("Trova la riga successiva (%1)").arg(keysText(shortcuts::kFindNext)));
    for (QAction* a : {find_, findNext_}) {
        a->setShortcutContext(Qt::WindowShortcut);
        window.addAction(a);
    }
    connect(find_, &QAction::triggered, this, &EditorFindBar::open);
    connect(findNext_, &QAction::triggered, this, [this] {
        if (edit_->text().trimmed().isEmpty()) open();
        else findNext();
    });
    connect(edit_, &QLineEdit::returnPressed, this, &EditorFindBar::findNext);
    connect(edit_, &QLineEdit::textEdited, notice_, &QLabel::clear);
    connect(next, &QToolButton::clicked, this, &EditorFindBar::findNext);
    connect(hide, &QToolButton::clicked, this, &EditorFindBar::close);

    QMenu* rows = window.menu(QStringLiteral("&Righe"));
    rows->addSeparator();
    rows->addAction(find_);
    rows->addAction(findNext_);
    // The status bar keeps the room the bar needs, so opening it does not resize the window.
    QStatusBar* status = window.statusBar();
    status->addWidget(bar_, 1);
    status->setMinimumHeight(bar_->sizeHint().height() + 4);
    bar_->hide();
    window.updateChrome();

    if (grid_) connect(grid_->model(), &QAbstractItemModel::modelReset, this, &EditorFindBar::updateEnabled);
    connect(&window, &FormWindow::formClosed, this, &EditorFindBar::updateEnabled);
    updateEnabled();
}

void EditorFindBar::updateEnabled() {
    const bool loaded = editorRowsLoaded(window_, grid_);
    find_->setEnabled(loaded);
    findNext_->setEnabled(loaded);
    if (!loaded) close();
}

void EditorFindBar::open() {
    if (!find_->isEnabled()) return;
    if (window_) window_->statusBar()->clearMessage();   // a notice would hide the bar
    bar_->show();
    edit_->setFocus(Qt::ShortcutFocusReason);
    edit_->selectAll();
}

void EditorFindBar::close() {
    const bool hadFocus = edit_->hasFocus();
    bar_->hide();
    notice_->clear();
    // The cursor goes back where the form keeps it.
    if (hadFocus && window_) window_->syncFocus();
}

bool EditorFindBar::findNext() {
    if (!grid_ || !window_ || !window_->form()) return false;
    const QString text = edit_->text().trimmed();
    if (text.isEmpty()) return false;
    const kit::QueryGrid& grid = grid_->model()->grid();
    const long current = grid.currentRow();
    // A new text starts with the current row itself.
    const long from = text == lastText_ ? current : current - 1;
    lastText_ = text;
    const long row = findRow(grid, from, ss(text));
    if (row < 0) {
        if (!bar_->isVisible()) bar_->show();
        notice_->setText(QStringLiteral("Nessuna riga per «%1».").arg(text));
        return false;
    }
    notice_->clear();
    return grid_->moveToRow(row);
}

bool EditorFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace gui
