#include "kit/Control.h"

#include "kit/Form.h"
#include "kit/SimpleControls.h"

namespace kit {

Control::Control(Form& form, std::string name) : form_(form), name_(std::move(name)) {}

Control::~Control() = default;

bool Control::assignText(const std::string& text) {
    if (text == text_) return false;
    text_ = text;
    changed("Text");
    return true;
}

void Control::setText(const std::string& text) { assignText(text); }
void Control::enterText(const std::string& text) {
    setText(text);
    userEdited();
}

void Control::setProvisional(bool provisional, const std::string& hint) {
    const std::string h = provisional ? hint : std::string();
    if (provisional == provisional_ && h == provisionalHint_) return;
    provisional_ = provisional;
    provisionalHint_ = h;
    changed("Provisional");
}

void Control::setCaption(const std::string& c) {
    if (c == captionText_) return;
    captionText_ = c;
    changed("Caption");
}

void Control::setVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    changed("Visible");
}

void Control::setEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    changed("Enabled");
}

void Control::setTabStop(bool v) {
    if (v == tabStop_) return;
    tabStop_ = v;
    changed("TabStop");
}

void Control::setTabIndex(int v) {
    if (v == tabIndex_) return;
    tabIndex_ = v;
    changed("TabIndex");
}

void Control::setLeft(int v) {
    if (v == left_) return;
    left_ = v;
    changed("Left");
}
void Control::setTop(int v) {
    if (v == top_) return;
    top_ = v;
    changed("Top");
}
void Control::setWidth(int v) {
    if (v == width_) return;
    width_ = v;
    changed("Width");
}
void Control::setHeight(int v) {
    if (v == height_) return;
    height_ = v;
    changed("Height");
}
void Control::move(int left, int top, int width, int height) {
    setLeft(left);
    setTop(top);
    setWidth(width);
    setHeight(height);
}

void Control::setDbfield(const std::string& f) {
    if (f == dbfield_) return;
    dbfield_ = f;
    changed("dbfield");
}
void Control::setToolTipText(const std::string& t) {
    if (t == toolTipText_) return;
    toolTipText_ = t;
    changed("ToolTipText");
}

void Control::setLabelCaption(const std::string& c) {
    if (c == labelCaption_) return;
    labelCaption_ = c;
    changed("caption");
}
void Control::setTag(const std::string& t) {
    if (t == tag_) return;
    tag_ = t;
    changed("tag");
}

bool Control::effectivelyVisible() const {
    for (const Control* c = this; c; c = c->container_)
        if (!c->visible_) return false;
    return true;
}

bool Control::effectivelyEnabled() const {
    for (const Control* c = this; c; c = c->container_)
        if (!c->enabled_) return false;
    return true;
}

bool Control::canFocus() const { return focusable() && effectivelyVisible() && effectivelyEnabled(); }

bool Control::SetFocus() { return form_.setFocus(*this); }

bool Control::hasFocus() const { return form_.focused() == this; }

void Control::leaveFocus(bool& cancel) {
    Validate.raise(cancel);
    if (cancel) return;
    LostFocus.raise(cancel);
}

bool Control::processKey(int key, int shift) {
    KeyDown.raise(key, shift);
    return false;
}

}  // namespace kit
