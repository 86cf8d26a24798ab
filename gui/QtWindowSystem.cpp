#include "gui/QtWindowSystem.h"

#include <QApplication>
#include <QDebug>
#include <QEventLoop>

#include "gui/QtDialogs.h"

namespace gui {

QtWindowSystem::QtWindowSystem(QWidget* owner) : owner_(owner), qtLookups_(owner) {}

QtWindowSystem::~QtWindowSystem() {
    for (auto& [form, loop] : loops_) loop->quit();
    for (auto& [form, w] : windows_)
        if (w) {
            w->detach();
            delete w.data();
        }
}

FormWindow* QtWindowSystem::open(kit::Form& form, bool modal) {
    auto it = windows_.find(&form);
    if (it != windows_.end() && it->second) {
        it->second->show();
        it->second->raise();
        it->second->activateWindow();
        return it->second;
    }
    auto* w = new FormWindow(form, owner_);
    windows_[&form] = w;
    // A window the host did not place opens over the window the user is working in.
    if (!w->placedByHost()) w->centreOver(opener());
    byActivation_.push_back(w);
    connect(w, &FormWindow::activated, this, [this, w] {
        std::erase(byActivation_, w);
        byActivation_.push_back(w);
    });
    if (modal) w->setWindowModality(Qt::ApplicationModal);
    if (form.WindowState() == 2) w->setWindowState(Qt::WindowMaximized);
    w->show();
    w->raise();
    w->activateWindow();
    w->syncFormSize();
    // The form is activated here, not on Qt's asynchronous activation, so that its first
    // activation runs before the user can touch it.
    try {
        form.activate();
    } catch (const std::exception& e) {
        qWarning("activation of %s: %s", form.name().c_str(), e.what());
    }
    if (!form.isOpen()) return nullptr;   // it closed itself while activating
    w->shown();
    emit windowShown(w);
    if (shownHook_) shownHook_(*w);
    return w;
}

QWidget* QtWindowSystem::opener() const {
    if (auto* active = qobject_cast<FormWindow*>(QApplication::activeWindow())) return active;
    for (auto it = byActivation_.rbegin(); it != byActivation_.rend(); ++it)
        if (*it && (*it)->form() && (*it)->isVisible()) return *it;
    return owner_;
}

void QtWindowSystem::showModal(kit::Form& form) {
    FormWindow* w = open(form, true);
    if (!w || !form.isOpen()) return;
    QEventLoop loop;
    loops_[&form] = &loop;
    loop.exec();
    loops_.erase(&form);
}

void QtWindowSystem::showModeless(kit::Form& form) { open(form, false); }

int QtWindowSystem::messageBox(const std::string& text, int style, const std::string& title) {
    host::MessageBoxRequest request;
    request.text = text;
    request.type = style;
    request.title = title;
    return QtDialogs(owner_).message(request);
}

void QtWindowSystem::formClosed(kit::Form& form) {
    auto it = windows_.find(&form);
    if (it != windows_.end()) {
        if (FormWindow* w = it->second) {
            std::erase(byActivation_, w);
            w->detach();
            w->hide();
            w->deleteLater();
        }
        windows_.erase(it);
    }
    auto l = loops_.find(&form);
    if (l != loops_.end()) l->second->quit();
    emit windowClosed(qs(form.name()));
}

kit::LookupPresenter& QtWindowSystem::lookups() {
    if (customLookups_) return *customLookups_;
    return qtLookups_;
}

FormWindow* QtWindowSystem::windowOf(const kit::Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.data();
}

}  // namespace gui

namespace gui {

std::vector<FormWindow*> QtWindowSystem::openWindows() const {
    std::vector<FormWindow*> list;
    for (const auto& [form, w] : windows_)
        if (w && w->form()) list.push_back(w);
    return list;
}

}  // namespace gui
