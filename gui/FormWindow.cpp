#include "gui/FormWindow.h"

#include <algorithm>

#include <QCloseEvent>
#include <QDebug>
#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include "gui/EditingKeys.h"
#include "gui/FocusRing.h"
#include "gui/KeysPage.h"
#include "gui/Mnemonics.h"
#include "kit/AccountBoxes.h"
#include "kit/QueryGrid.h"
#include "kit/UserAction.h"

namespace gui {

namespace {

// A handler of the module that throws must not take the window down with it.
template <class F>
bool guarded(const char* what, F&& f) {
    try {
        f();
        return true;
    } catch (const std::exception& e) {
        qWarning("%s: %s", what, e.what());
    }
    return false;
}

}  // namespace

FormWindow::FormWindow(kit::Form& form, QWidget* parent)
    : QWidget(parent, Qt::Window), form_(&form), body_(new QWidget(this)) {
    setObjectName(qs(form.name()));
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Layouts in twips are drawn for an 8-point interface font.
    QFont f = font();
    f.setPointSizeF(8);
    setFont(f);
    build();
    keysAction_ = makeKeysAction(this);
    focusRing_ = new FocusRing(this);
    mnemonics_ = new WindowMnemonics(*this);
    propertyId_ = form.propertyChanged.connect([this](const std::string& p) { renderForm(p); });
    focusId_ = form.focusChanged.connect([this](kit::Control*) { syncFocus(); });
    renderForm("");
}

FormWindow::~FormWindow() { detach(); }

void FormWindow::build() {
    for (const auto& c : form_->controls()) {
        auto v = makeView(c);
        if (QWidget* w = v->widget()) w->setParent(body_);
        v->setFocusGate([this](ControlView& view, const std::function<void()>& action) { focusThen(view, action); });
        for (QWidget* w : v->inputWidgets()) w->installEventFilter(this);
        views_.push_back(std::move(v));
    }
    // Controls inside a group frame sit in the frame's widget, placed relative to it.
    for (auto& v : views_) {
        kit::GroupFrame* frame = v->control().container();
        ControlView* fv = frame ? viewOfControl(frame) : nullptr;
        if (fv && fv->widget() && v->widget()) v->widget()->setParent(fv->widget());
    }
    for (auto& v : views_) {
        v->renderAll();   // reparenting hides a widget; render shows it again as the model says
        if (dynamic_cast<FrameView*>(v.get()) && v->widget()) v->widget()->lower();
    }
    // Without a size of its own the window wraps its controls.
    QRect bounds;
    for (auto& v : views_)
        if (v->widget() && v->widget()->parentWidget() == body_) bounds |= v->widget()->geometry();
    if (form_->Width() > 0 && form_->Height() > 0)
        resizeBody(QSize(twipsToPixels(form_->Width()), twipsToPixels(form_->Height())));
    else if (bounds.isValid())
        resizeBody(QSize(bounds.right() + 8, bounds.bottom() + 8));
    placeFromHostBox();
}

void FormWindow::placeFromHostBox() {
    for (auto& c : form_->controls()) {
        auto* box = dynamic_cast<kit::MdiHostBox*>(c.get());
        if (!box || !box->placed()) continue;
        const auto& p = box->placement();
        if (p.width > 0 && p.height > 0) resizeBody(QSize(twipsToPixels(p.width), twipsToPixels(p.height)));
        // The host's work area is the main window: the placement offsets the window from
        // the middle of it, which is how the host cascades its editors.
        centreOver(parentWidget(), QPoint(twipsToPixels(p.left), twipsToPixels(p.top)));
        placedByHost_ = true;
        if (box->WindowState() == 2) setWindowState(windowState() | Qt::WindowMaximized);
        if (box->WindowState() == 1) setWindowState(windowState() | Qt::WindowMinimized);
        break;
    }
}

void FormWindow::centreOver(const QWidget* over, QPoint offset) {
    QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen();
    QRect area = screen ? screen->availableGeometry() : QRect();
    QPoint centre = over ? over->frameGeometry().center() : area.center();
    auto keepOnScreen = [&](QRect& r) {
        if (!area.isValid()) return;
        // Never past the screen's right or bottom edge, and the title bar always on it.
        r.moveRight(std::min(r.right(), area.right()));
        r.moveBottom(std::min(r.bottom(), area.bottom()));
        r.moveLeft(std::max(r.left(), area.left()));
        r.moveTop(std::max(r.top(), area.top()));
    };
    QRect r(QPoint(0, 0), size());
    r.moveCenter(centre);
    keepOnScreen(r);
    r.translate(offset);
    keepOnScreen(r);
    move(r.topLeft());
    placement_ = Placement{over, offset, r.topLeft()};
}

void FormWindow::detach() {
    if (!form_) return;
    form_->propertyChanged.disconnect(propertyId_);
    form_->focusChanged.disconnect(focusId_);
    form_ = nullptr;
    // A view may be the one whose handler closed the form: let it finish before it goes.
    for (auto& v : views_) v.release()->deleteLater();
    views_.clear();
    lastFocusView_ = nullptr;
}

ControlView* FormWindow::view(const std::string& name) const {
    if (!form_) return nullptr;
    auto c = form_->find(name);
    return c ? viewOfControl(c.get()) : nullptr;
}

QWidget* FormWindow::widgetOf(const std::string& name) const {
    ControlView* v = view(name);
    return v ? v->widget() : nullptr;
}

ControlView* FormWindow::viewOfControl(const kit::Control* c) const {
    for (auto& v : views_)
        if (&v->control() == c) return v.get();
    return nullptr;
}

ControlView* FormWindow::viewOfWidget(QObject* w) const {
    for (auto& v : views_)
        if (v->inputWidgets().contains(static_cast<QWidget*>(w))) return v.get();
    return nullptr;
}

kit::FormResizer* FormWindow::resizer() const {
    if (!form_) return nullptr;
    for (auto& c : form_->controls())
        if (auto* r = dynamic_cast<kit::FormResizer*>(c.get())) return r;
    return nullptr;
}

void FormWindow::renderForm(const std::string& p) {
    if (!form_) return;
    const bool all = p.empty();
    if (all || p == "Caption") setWindowTitle(qs(form_->Caption()));
    if (p == "Visible" && isVisible() != form_->Visible()) setVisible(form_->Visible());
    if (p == "Size" && form_->Width() > 0 && form_->Height() > 0) {
        QSize want(twipsToPixels(form_->Width()), twipsToPixels(form_->Height()));
        if (body_->size() != want) resizeBody(want);
    }
    if (p == "WindowState") {
        Qt::WindowStates s = windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized);
        if (form_->WindowState() == 2) s |= Qt::WindowMaximized;
        if (form_->WindowState() == 1) s |= Qt::WindowMinimized;
        setWindowState(s);
    }
}

void FormWindow::syncFocus() {
    if (!form_ || syncing_) return;
    kit::Control* f = form_->focused();
    if (!f) return;
    ControlView* v = viewOfControl(f);
    QWidget* w = v ? v->focusWidget() : nullptr;
    if (!w || w->hasFocus()) return;
    syncing_ = true;
    w->setFocus(Qt::OtherFocusReason);
    syncing_ = false;
}

void FormWindow::syncFormSize() {
    kit::FormResizer* r = resizer();
    if (form_ && !(r && r->started())) form_->setSize(pixelsToTwips(width() - sideWidth()), pixelsToTwips(height() - chromeHeight()));
}

QMenuBar* FormWindow::menuBar() {
    if (!menuBar_) {
        menuBar_ = new QMenuBar(this);
        menuBar_->setFixedHeight(0);   // until updateChrome: an empty bar takes no room
        menuBar_->show();
    }
    return menuBar_;
}

QToolBar* FormWindow::toolBar() {
    if (!toolBar_) {
        toolBar_ = new QToolBar(this);
        toolBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        toolBar_->setFixedHeight(0);
        toolBar_->show();
    }
    return toolBar_;
}

QStatusBar* FormWindow::statusBar() {
    if (!statusBar_) {
        const QSize before = body_->size();
        statusBar_ = new QStatusBar(this);
        statusBar_->setSizeGripEnabled(false);
        statusBar_->setFixedHeight(statusBar_->sizeHint().height());
        statusBar_->show();
        resizeBody(before);
    }
    return statusBar_;
}

QMenu* FormWindow::menu(const QString& title) {
    for (QAction* a : menuBar()->actions())
        if (a->menu() && a->text() == title) return a->menu();
    return menuBar()->addMenu(title);
}

void FormWindow::updateChrome() {
    const QSize before = body_->size();
    for (QWidget* bar : {static_cast<QWidget*>(menuBar_), static_cast<QWidget*>(toolBar_)})
        if (bar) bar->setFixedHeight(bar->actions().isEmpty() ? 0 : bar->sizeHint().height());
    // A status bar keeps the height its widgets asked for, shown or hidden (never less).
    if (statusBar_) statusBar_->setFixedHeight(std::max(statusBar_->sizeHint().height(), statusBar_->minimumHeight()));
    const QSize was = size();
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        // A window that fills the screen keeps its size: the controls give up the room.
        layoutChrome();
        formFollowsBody();
    } else {
        resizeBody(before);
    }
    applyMinimumSize();
    // Bars added right after the window opened keep it where it was placed, in the middle.
    if (size() != was && placement_ && pos() == placement_->at) centreOver(placement_->over, placement_->offset);
    // The menu titles take their letters before the buttons choose theirs.
    if (mnemonics_) mnemonics_->update();
}

int FormWindow::chromeHeight() const {
    return (menuBar_ ? menuBar_->height() : 0) + (toolBar_ ? toolBar_->height() : 0) +
           (statusBar_ ? statusBar_->height() : 0);
}

void FormWindow::layoutChrome() {
    int top = 0;
    if (menuBar_) {
        menuBar_->setGeometry(0, top, width(), menuBar_->height());
        top += menuBar_->height();
    }
    if (toolBar_) {
        toolBar_->setGeometry(0, top, width(), toolBar_->height());
        top += toolBar_->height();
    }
    const int bottom = statusBar_ ? statusBar_->height() : 0;
    const int side = sideWidth();
    body_->setGeometry(0, top, std::max(0, width() - side), std::max(0, height() - top - bottom));
    if (side > 0) sidePanel_->setGeometry(width() - side, top, side, std::max(0, height() - top - bottom));
    if (statusBar_) statusBar_->setGeometry(0, height() - bottom, width(), bottom);
}

int FormWindow::sideWidth() const { return sidePanel_ && !sidePanel_->isHidden() ? sidePanel_->width() : 0; }

void FormWindow::setSidePanel(QWidget* panel) {
    sidePanel_ = panel;
    panel->setParent(this);
    panel->hide();
}

bool FormWindow::sidePanelVisible() const { return sideWidth() > 0; }

void FormWindow::setSidePanelVisible(bool visible) {
    if (!sidePanel_ || sidePanel_->isHidden() != visible) return;
    const QSize before = body_->size();
    sidePanel_->setVisible(visible);
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        layoutChrome();
        formFollowsBody();
    } else {
        setMinimumSize(0, 0);
        resizeBody(visible ? bodyBesidePanel(before) : before);
    }
    applyMinimumSize();
}

QSize FormWindow::bodyBesidePanel(const QSize& body) const {
    // A window that fit on its screen keeps fitting: the form gives the panel the room it
    // lacks, down to the size its controls were drawn for.
    const QScreen* s = screen();
    if (!s) return body;
    const int frame = frameGeometry().width() - width();
    const int room = s->availableGeometry().width() - frame;
    if (body.width() > room || body.width() + sideWidth() <= room) return body;
    int least = 0;
    if (kit::FormResizer* r = resizer(); r && r->started()) least = twipsToPixels(r->designWidth());
    return QSize(std::max(room - sideWidth(), least), body.height());
}

void FormWindow::resizeBody(const QSize& size) {
    resize(size.width() + sideWidth(), size.height() + chromeHeight());
    layoutChrome();
}

void FormWindow::applyMinimumSize() {
    // The controls were drawn for the size the resizer started from: smaller, they would
    // overlap.
    kit::FormResizer* r = resizer();
    if (!r || !r->started() || r->designWidth() <= 0 || r->designHeight() <= 0) return;
    setMinimumSize(twipsToPixels(r->designWidth()) + sideWidth(), twipsToPixels(r->designHeight()) + chromeHeight());
}

void FormWindow::shown() {
    if (!form_) return;
    applyMinimumSize();
    if (!form_->focused()) guarded("first focus", [this] { form_->tab(true); });
    syncFocus();
}

void FormWindow::requestFocus(ControlView& view) {
    kit::UserAction userAction;
    if (!form_ || busy_ > 0) return;
    kit::Control& c = view.control();
    if (form_->focused() == &c) return;
    QPointer<FormWindow> self(this);
    ++busy_;
    guarded("focus", [&] { form_->setFocus(c); });
    if (!self) return;
    --busy_;
    syncFocus();   // a refused move puts the cursor back where the form keeps it
}

void FormWindow::focusThen(ControlView& view, const std::function<void()>& action) {
    kit::UserAction userAction;
    if (!form_ || busy_ > 0) return;
    kit::Control& c = view.control();
    QPointer<FormWindow> self(this);
    bool ok = true;
    ++busy_;
    if (c.focusable() && c.canFocus() && form_->focused() != &c) guarded("focus", [&] { ok = form_->setFocus(c); });
    if (ok) guarded(c.name().c_str(), action);
    if (!self) return;
    --busy_;
    syncFocus();
}

bool FormWindow::handleKey(ControlView& view, const KitKey& key) {
    kit::UserAction userAction;
    if (!form_) return false;
    if (busy_ > 0) return true;
    kit::Control& c = view.control();
    QPointer<FormWindow> self(this);
    ++busy_;
    bool here = form_->focused() == &c;
    if (!here) guarded("focus", [&] { here = form_->setFocus(c); });
    if (here) guarded("key", [&] { form_->keyDown(key.key, key.shift); });
    if (!self) return true;
    --busy_;
    syncFocus();
    return true;
}

bool FormWindow::handleEditingKey(ControlView& view, const QKeyEvent& event) {
    if (!form_ || (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    if (event.key() == Qt::Key_Delete && dynamic_cast<GridView*>(&view)) {
        auto& grid = static_cast<kit::QueryGrid&>(view.control());
        focusThen(view, [this, &grid] {
            deleteCurrentCorrelation(grid, [this](const QString& question) {
                return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
                                             QMessageBox::No) == QMessageBox::Yes;
            });
        });
        return true;
    }
    if (event.key() == Qt::Key_Escape && busy_ == 0) {
        auto* box = dynamic_cast<kit::CoinAccountBox*>(&view.control());
        if (box && box->hasFocus()) {
            bool restored = false;
            guarded("restore", [&] { restored = restoreStoredAccount(*form_, *box); });
            return restored;
        }
    }
    return false;
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        if (ControlView* v = viewOfWidget(watched)) {
            // Coming back to the window (or out of a popup) is not a move of the user's:
            // the cursor returns to where the form keeps it.
            auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                syncFocus();
            else if (!syncing_)
                requestFocus(*v);
            // The request may have closed the form and dropped the views.
            if (ControlView* still = viewOfWidget(watched)) still->focusChanged(true);
        }
        break;
    case QEvent::FocusOut:
        if (ControlView* v = viewOfWidget(watched)) v->focusChanged(false);
        break;
    case QEvent::KeyPress:
        if (ControlView* v = viewOfWidget(watched)) {
            if (handleEditingKey(*v, *static_cast<QKeyEvent*>(event))) return true;
            auto key = v->mapKey(*static_cast<QKeyEvent*>(event));
            if (key) return handleKey(*v, *key);
        }
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    if (!form_) {
        event->accept();
        return;
    }
    event->ignore();
    if (busy_ > 0) return;
    // The form's QueryUnload may refuse; the window system hides the window once it closed.
    bool closed = false;
    QPointer<FormWindow> self(this);
    guarded("close", [&] { closed = form_->close(0); });
    if (!self || !closed) return;
    if (form_) detach();
    hide();
    emit formClosed();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChrome();
    formFollowsBody();
}

void FormWindow::formFollowsBody() {
    if (!form_) return;
    int w = pixelsToTwips(width() - sideWidth()), h = pixelsToTwips(height() - chromeHeight());
    kit::FormResizer* r = resizer();
    if (r && r->started())
        guarded("resize", [&] { r->resize(w, h); });
    else
        form_->setSize(w, h);
}

void FormWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !form_ || !isActiveWindow()) return;
    emit activated();
    if (skipActivation_) {
        // The window system already activated the form when it showed the window.
        skipActivation_ = false;
        return;
    }
    if (busy_ == 0) guarded("activate", [this] { form_->activate(); });
}

}  // namespace gui
