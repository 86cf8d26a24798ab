#include "kit/SimpleControls.h"

#include <algorithm>
#include <cctype>

#include "kit/Form.h"
#include "text/Text.h"

namespace kit {

void CaptionLabel::setBorder(bool b) {
    if (b == border_) return;
    border_ = b;
    changed("Border");
}

bool MenuButton::click() {
    if (!effectivelyVisible() || !effectivelyEnabled()) return false;
    ButtonClick.raise();
    return true;
}

bool MenuButton::processKey(int key, int shift) {
    Control::processKey(key, shift);
    if (key == keys::Enter || key == ' ') {
        click();
        return true;
    }
    return false;
}

void MenuButton::setCancel(bool c) {
    if (c == cancel_) return;
    cancel_ = c;
    changed("Cancel");
}

void GroupFrame::add(Control& child) {
    if (&child == this) throw KitError("frame " + name() + " cannot contain itself");
    for (const Control* c = this; c; c = c->container())
        if (c == &child) throw KitError("frame " + name() + " is inside " + child.name());
    if (child.container_) {
        auto& siblings = child.container_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), &child), siblings.end());
    }
    child.container_ = this;
    children_.push_back(&child);
}

void ImageBox::setPicture(const std::string& p) {
    if (p == picture_) return;
    picture_ = p;
    changed("Picture");
}

// ---- ListCombo ----

void ListCombo::Clear() {
    items_.clear();
    listIndex_ = -1;
    assignText("");
    changed("List");
    changed("ListIndex");
    changed("Value");
}

void ListCombo::AddItem(const std::string& text, const db::Variant& value) {
    items_.push_back({text, value});
    changed("List");
}

void ListCombo::setListIndex(int index) {
    if (index < -1 || index >= ListCount())
        throw KitError("combo " + name() + " has no item " + std::to_string(index));
    if (index == listIndex_) return;
    listIndex_ = index;
    assignText(index < 0 ? std::string() : items_[index].text);
    changed("ListIndex");
    changed("Value");
}

db::Variant ListCombo::Value() const {
    if (listIndex_ < 0) return db::Variant();
    return items_[listIndex_].value;
}

void ListCombo::setValue(const db::Variant& v) {
    int found = -1;
    if (!v.isBlank()) {
        for (int i = 0; i < ListCount() && found < 0; ++i)
            if (items_[i].value == v) found = i;
        // A value read back as text ("1") still selects the numeric item 1.
        for (int i = 0; i < ListCount() && found < 0; ++i)
            if (items_[i].value.toText() == v.toText()) found = i;
    }
    setListIndex(found);
}

void ListCombo::select(int index) {
    int before = listIndex_;
    setListIndex(index);
    if (before != listIndex_) Click.raise();
}

bool ListCombo::enterTextImpl(const std::string& text) {
    for (int i = 0; i < ListCount(); ++i)
        if (text::equalsIgnoreCaseAscii(items_[i].text, text)) {
            setListIndex(i);
            return true;
        }
    setListIndex(-1);
    return false;
}

void ListCombo::enterText(const std::string& text) {
    int before = listIndex_;
    enterTextImpl(text);
    userEdited();
    if (before != listIndex_) Click.raise();
}

// ---- MdiHostBox ----

void MdiHostBox::Place(int left, int top, int width, int height) {
    placement_ = {left, top, width, height};
    placed_ = true;
    changed("Placement");
}

void MdiHostBox::setWindowState(int s) {
    if (s == windowState_) return;
    windowState_ = s;
    changed("WindowState");
}

// ---- FormResizer ----

void FormResizer::Register(const std::string& controlName, int mode) {
    Register(form().get<Control>(controlName), mode);
}

void FormResizer::Register(Control& control, int mode) {
    if (&control.form() != &form())
        throw KitError("resizer " + name() + " cannot register " + control.name() + " of another form");
    for (auto& e : entries_)
        if (e.control.lock().get() == &control) {
            e.mode = mode;
            e.registered = true;
            return;
        }
    entries_.push_back({control.shared_from_this(), mode});
}

void FormResizer::Start() {
    std::erase_if(entries_, [](const Entry& e) { return !e.registered; });
    RegisterControls.raise();
    for (const auto& c : form().controls())
        if (c->Anchor() != 0 && modeOf(*c) < 0) entries_.push_back({c, c->Anchor(), false});
    designWidth_ = form().Width();
    designHeight_ = form().Height();
    for (auto& e : entries_)
        if (auto c = e.control.lock()) {
            e.left = c->Left();
            e.top = c->Top();
            e.width = c->Width();
            e.height = c->Height();
        }
    started_ = true;
}

void FormResizer::setVerticalScale(double scale) {
    if (!(scale > 0)) throw KitError("resizer " + name() + ": the vertical scale must be positive");
    verticalScale_ = scale;
}

void FormResizer::resize(int newWidth, int newHeight) {
    form().setSize(newWidth, newHeight);
    if (!started_) return;
    int dx = newWidth - designWidth_;
    int dy = newHeight - designHeight_;
    for (auto& e : entries_) {
        auto c = e.control.lock();
        if (!c) continue;
        int left = e.left, top = e.top, width = e.width, height = e.height;
        if (e.mode & StretchWidth) width = std::max(0, e.width + dx);
        if (e.mode & StretchHeight) height = std::max(0, e.height + dy);
        if (e.mode & MoveDown) top = std::max(0, e.top + dy);
        if (e.mode & MoveRight) left = std::max(0, e.left + dx);
        c->move(left, top, width, height);
    }
}

int FormResizer::modeOf(const Control& c) const {
    for (auto& e : entries_)
        if (e.registered && e.control.lock().get() == &c) return e.mode;
    return -1;
}

}  // namespace kit
