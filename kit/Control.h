#pragma once
// Base of every control model: the common properties (texts, visibility, tab order,
// placement in twips, design-time dbfield/caption/tag), the focus events and the key event.
// A control belongs to exactly one Form, which creates it, owns it and manages the focus.
// Every property change raises propertyChanged with the property's name so that a view can
// re-render.

#include <memory>
#include <stdexcept>
#include <string>

#include "db/Variant.h"
#include "kit/Event.h"

namespace kit {

class Form;
class GroupFrame;

// Misuse of the kit: an unknown control name, a control of another type, a form shown
// without a window system, an unknown button or menu key.
class KitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Key codes as the window system reports them, and the shift-state bits.
namespace keys {
inline constexpr int Tab = 9;
inline constexpr int Enter = 13;
inline constexpr int Escape = 27;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int F3 = 114;
inline constexpr int F4 = 115;
inline constexpr int F9 = 120;
inline constexpr int ShiftMask = 1;
inline constexpr int CtrlMask = 2;
inline constexpr int AltMask = 4;
}  // namespace keys

class Control : public db::Object, public std::enable_shared_from_this<Control> {
public:
    Control(Form& form, std::string name);
    ~Control() override;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    // The kit type name ("CodeEditBox", "QueryGrid", ...), for messages and automation.
    virtual std::string typeName() const = 0;
    Form& form() const { return form_; }

    const std::string& Text() const { return text_; }
    virtual void setText(const std::string& text);
    const std::string& Caption() const { return captionText_; }
    void setCaption(const std::string& caption);
    bool Visible() const { return visible_; }
    void setVisible(bool v);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool v);
    bool TabStop() const { return tabStop_; }
    void setTabStop(bool v);
    int TabIndex() const { return tabIndex_; }
    void setTabIndex(int v);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void setLeft(int v);
    void setTop(int v);
    void setWidth(int v);
    void setHeight(int v);
    void move(int left, int top, int width, int height);
    // How the form's resizer moves and stretches the control when the window changes size
    // and the form registered no mode of its own for it (FormResizer's mode bits; 0 keeps
    // the control where it was drawn).
    int Anchor() const { return anchor_; }
    void setAnchor(int mode) { anchor_ = mode; }

    // Design-time properties: the field a record frame binds the control to, the text of
    // its label (not the control's own Caption) and a free tag.
    const std::string& dbfield() const { return dbfield_; }
    void setDbfield(const std::string& f);
    const std::string& caption() const { return labelCaption_; }
    void setLabelCaption(const std::string& c);
    const std::string& tag() const { return tag_; }
    void setTag(const std::string& t);
    // The hint a view shows over the control; empty: its label caption.
    const std::string& ToolTipText() const { return toolTipText_; }
    void setToolTipText(const std::string& t);

    // The frame that contains the control (nullptr when it sits on the form).
    GroupFrame* container() const { return container_; }
    // Visible and enabled itself and in every containing frame.
    bool effectivelyVisible() const;
    bool effectivelyEnabled() const;
    // Whether the control can take the focus now.
    bool canFocus() const;
    // Asks the form to move the focus here; false when refused.
    bool SetFocus();
    bool hasFocus() const;

    // The user replaced the control's text (typing, pasting). Code writes use setText.
    virtual void enterText(const std::string& text);

    // A proposal: a value the program filled in and the user has not confirmed yet. Views
    // show it apart (italic, grey) with the hint as its tooltip.
    bool Provisional() const { return provisional_; }
    const std::string& ProvisionalHint() const { return provisionalHint_; }
    void setProvisional(bool provisional, const std::string& hint = "");

    // The value a record frame shows and saves for this control, and the property whose
    // change marks the frame's row changed.
    virtual db::Variant boundValue() const { return db::Variant(text_); }
    virtual void setBoundValue(const db::Variant& v) { setText(v.toText()); }
    virtual std::string boundProperty() const { return "Text"; }
    // Makes what the user typed and has not confirmed yet the control's value (a box that
    // commits on leaving); a record frame calls it before it decides whether a row changed.
    virtual void commitInput() {}

    Event<const std::string&> propertyChanged;
    Event<> GotFocus;
    Event<bool&> Validate;
    Event<bool&> LostFocus;
    Event<int, int> KeyDown;
    // The user changed the control's value: typing, pasting, a lookup choice.
    Event<> Edited;

    // --- called by the Form ---
    // Whether this kind of control ever takes the focus (labels, frames and images do not).
    virtual bool focusable() const { return true; }
    // The focus is about to leave: raise the control's leave events; cancel keeps the focus.
    virtual void leaveFocus(bool& cancel);
    // A key reached the focused control: raise KeyDown and do the control's own handling.
    // Returns true when the key was consumed (the form then does not treat Tab itself).
    virtual bool processKey(int key, int shift);
    // The form is being shown (after Load).
    virtual void formShowing() {}

protected:
    void changed(const std::string& property) { propertyChanged.raise(property); }
    // Sets text_ and raises propertyChanged("Text") when it differs; returns whether it did.
    bool assignText(const std::string& text);
    void userEdited() { Edited.raise(); }

private:
    friend class GroupFrame;
    Form& form_;
    std::string name_;
    std::string text_;
    std::string captionText_;
    bool visible_ = true;
    bool enabled_ = true;
    bool tabStop_ = true;
    int tabIndex_ = 0;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int anchor_ = 0;
    std::string dbfield_;
    std::string labelCaption_;
    std::string tag_;
    std::string toolTipText_;
    GroupFrame* container_ = nullptr;
    bool provisional_ = false;
    std::string provisionalHint_;
};

}  // namespace kit
