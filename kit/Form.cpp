#include "kit/Form.h"

#include <algorithm>
#include <atomic>
#include <cctype>

#include "kit/SimpleControls.h"
#include "kit/UserAction.h"
#include "kit/WindowSystem.h"
#include "text/Text.h"

namespace kit {

namespace {

std::atomic<long> nextWindowId{1000};

// Restores a pointer member when the scope ends, also on an exception.
struct ScopedPointer {
    Control*& slot;
    Control* saved;
    ScopedPointer(Control*& s, Control* v) : slot(s), saved(s) { slot = v; }
    ~ScopedPointer() { slot = saved; }
};

}  // namespace

Form::Form(std::string name, WindowSystem* windowSystem)
    : name_(std::move(name)), caption_(name_), hwnd_(nextWindowId++), windowSystem_(windowSystem) {}

Form::~Form() {
    focused_ = nullptr;
    controls_.clear();
}

void Form::setCaption(const std::string& c) {
    if (c == caption_) return;
    caption_ = c;
    changed("Caption");
}

void Form::setVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    changed("Visible");
}

void Form::setWindowState(int s) {
    if (s == windowState_) return;
    windowState_ = s;
    changed("WindowState");
}

void Form::setSize(int width, int height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    changed("Size");
}

std::shared_ptr<Control> Form::find(const std::string& name) const {
    for (auto& c : controls_)
        if (text::equalsIgnoreCaseAscii(c->name(), name)) return c;
    return nullptr;
}

void Form::requireFreeName(const std::string& name) const {
    if (name.empty()) throw KitError("a control of form " + name_ + " needs a name");
    if (find(name)) throw KitError("form " + name_ + " already has a control named " + name);
}

void Form::adopt(std::shared_ptr<Control> c) {
    // A new control goes to the end of the tab order unless it is given an index later.
    int maxIndex = -1;
    for (auto& other : controls_) maxIndex = std::max(maxIndex, other->TabIndex());
    c->setTabIndex(maxIndex + 1);
    controls_.push_back(std::move(c));
}

void Form::moveFocusTo(Control* c) {
    focused_ = c;
    focusChanged.raise(c);
    if (c) c->GotFocus.raise();
}

bool Form::setFocus(Control& target) {
    UserAction action;
    if (&target.form() != this) throw KitError("control " + target.name() + " is not on form " + name_);
    if (!target.canFocus()) return false;
    if (focused_ == &target) return true;
    if (leaving_) {
        // Asked from a leave handler of the control that is losing the focus.
        moveFocusTo(&target);
        return true;
    }
    if (Control* old = focused_) {
        bool cancel = false;
        {
            ScopedPointer guard(leaving_, old);
            old->leaveFocus(cancel);
        }
        if (focused_ != old) return focused_ == &target;   // a handler moved the focus itself
        if (cancel) return false;
        if (!target.canFocus()) return false;              // a handler hid or disabled it
    }
    moveFocusTo(&target);
    return true;
}

bool Form::tab(bool forward) {
    std::vector<Control*> stops;
    for (auto& c : controls_)
        if (c->TabStop() && c->canFocus()) stops.push_back(c.get());
    if (stops.empty()) return false;
    std::stable_sort(stops.begin(), stops.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    Control* next = nullptr;
    auto it = std::find(stops.begin(), stops.end(), focused_);
    if (it != stops.end()) {
        if (forward)
            next = (it + 1 == stops.end()) ? stops.front() : *(it + 1);
        else
            next = (it == stops.begin()) ? stops.back() : *(it - 1);
    } else if (focused_) {
        // The focused control is not a tab stop: continue from its place in the order.
        int at = focused_->TabIndex();
        if (forward) {
            auto n = std::find_if(stops.begin(), stops.end(), [at](Control* c) { return c->TabIndex() > at; });
            next = n == stops.end() ? stops.front() : *n;
        } else {
            auto n = std::find_if(stops.rbegin(), stops.rend(), [at](Control* c) { return c->TabIndex() < at; });
            next = n == stops.rend() ? stops.back() : *n;
        }
    } else {
        next = forward ? stops.front() : stops.back();
    }
    if (next == focused_) return true;
    return setFocus(*next);
}

void Form::keyDown(int key, int shift) {
    UserAction action;
    Control* c = focused_;
    if (c) {
        bool consumed = c->processKey(key, shift);
        if (consumed || focused_ != c) return;
    }
    if (key == keys::Tab && c) tab((shift & keys::ShiftMask) == 0);
    if (key == keys::Escape) clickCancelButton();
}

bool Form::clickCancelButton() {
    for (const auto& control : std::vector<std::shared_ptr<Control>>(controls_))
        if (auto* button = dynamic_cast<MenuButton*>(control.get()); button && button->Cancel())
            return button->click();
    return false;
}

WindowSystem& Form::windowSystem() const {
    if (!windowSystem_) throw KitError("form " + name_ + " has no window system");
    return *windowSystem_;
}

void Form::load() {
    if (loaded_) return;
    loaded_ = true;
    Load.raise();
}

void Form::show(bool modal) {
    WindowSystem& ws = windowSystem();
    if (open_) {
        if (modal) throw KitError("form " + name_ + " is already shown; it cannot become modal");
        activate();
        return;
    }
    load();
    if (!loaded_) return;   // the form closed itself while loading
    open_ = true;
    modal_ = modal;
    setVisible(true);
    for (auto& c : std::vector<std::shared_ptr<Control>>(controls_)) c->formShowing();
    UserAction::interrupt();
    if (modal) {
        UserAction::ModalLoop loop;
        ws.showModal(*this);
    } else {
        ws.showModeless(*this);
    }
}

bool Form::close(int mode) {
    if (!loaded_) return true;
    if (closing_) return false;
    bool cancel = false;
    QueryUnload.raise(cancel, mode);
    if (cancel) return false;
    unload();
    return true;
}

void Form::unload() {
    if (!loaded_ || closing_) return;
    closing_ = true;
    Unload.raise();
    loaded_ = false;
    bool wasOpen = open_;
    open_ = false;
    focused_ = nullptr;
    setVisible(false);
    closing_ = false;
    if (windowSystem_ && wasOpen) windowSystem_->formClosed(*this);
}

void Form::activate() {
    if (!open_) return;
    Activate.raise();
}

}  // namespace kit
