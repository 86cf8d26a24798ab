#pragma once
// The plain controls: label, button, frame, image, combo, MDI host box and form resizer.

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "db/Variant.h"
#include "kit/Control.h"

namespace kit {

class CaptionLabel : public Control {
public:
    using Control::Control;
    std::string typeName() const override { return "CaptionLabel"; }
    bool focusable() const override { return false; }
    bool Border() const { return border_; }
    void setBorder(bool b);

private:
    bool border_ = false;
};

class MenuButton : public Control {
public:
    using Control::Control;
    std::string typeName() const override { return "MenuButton"; }
    // Raises ButtonClick when the button is visible and enabled; returns whether it did.
    bool click();
    // Enter and space press the focused button.
    bool processKey(int key, int shift) override;
    // The window's cancel button: Escape pressed anywhere in the window clicks it.
    bool Cancel() const { return cancel_; }
    void setCancel(bool c);
    Event<> ButtonClick;

private:
    bool cancel_ = false;
};

// A group frame (Frame1, GRB_CHECK, FRAME_CEE): hiding or disabling it hides or disables
// its children for focus purposes.
class GroupFrame : public Control {
public:
    using Control::Control;
    std::string typeName() const override { return "GroupFrame"; }
    bool focusable() const override { return false; }
    void add(Control& child);
    const std::vector<Control*>& children() const { return children_; }

private:
    std::vector<Control*> children_;
};

class ImageBox : public Control {
public:
    // A picture the views draw themselves, with no file: a check mark.
    static constexpr const char* kCheckMark = "check";

    using Control::Control;
    std::string typeName() const override { return "ImageBox"; }
    bool focusable() const override { return false; }
    const std::string& Picture() const { return picture_; }
    void setPicture(const std::string& p);

private:
    std::string picture_;
};

// A drop-down list of (text, value) items. Text shows the selected item's text; setting
// Value selects the item with that value (none: ListIndex -1, empty text).
class ListCombo : public Control {
public:
    using Control::Control;
    std::string typeName() const override { return "ListCombo"; }
    struct Item {
        std::string text;
        db::Variant value;
    };
    void Clear();
    void AddItem(const std::string& text, const db::Variant& value);
    const std::vector<Item>& items() const { return items_; }
    int ListCount() const { return static_cast<int>(items_.size()); }
    int ListIndex() const { return listIndex_; }
    void setListIndex(int index);   // -1 selects nothing; KitError outside the list
    db::Variant Value() const;      // Empty when nothing is selected
    void setValue(const db::Variant& v);
    // Selecting an item by the user (view or automation): raises Click after the change.
    void select(int index);
    // The user typed a text: selects the item with that text (case-insensitive), if any.
    void enterText(const std::string& text) override;
    void setText(const std::string& text) override { enterTextImpl(text); }

    db::Variant boundValue() const override { return Value(); }
    void setBoundValue(const db::Variant& v) override { setValue(v); }
    std::string boundProperty() const override { return "Value"; }

    Event<> Click;

private:
    bool enterTextImpl(const std::string& text);
    std::vector<Item> items_;
    int listIndex_ = -1;
};

// The box that places the window inside the host's MDI frame.
class MdiHostBox : public Control {
public:
    using Control::Control;
    std::string typeName() const override { return "MdiHostBox"; }
    bool focusable() const override { return false; }
    void Place(int left, int top, int width, int height);
    int WindowState() const { return windowState_; }
    void setWindowState(int s);
    struct Placement {
        int left = 0, top = 0, width = 0, height = 0;
    };
    const Placement& placement() const { return placement_; }
    bool placed() const { return placed_; }
    // Raised when the form is shown, so the form can place itself.
    Event<> PlacementRequest;
    void formShowing() override { PlacementRequest.raise(); }

private:
    Placement placement_;
    bool placed_ = false;
    int windowState_ = 0;
};

// Keeps registered controls anchored when the form is resized. Mode bits:
// 1 stretch the width, 2 stretch the height, 4 keep the distance to the bottom (move down),
// 8 keep the distance to the right (move right). 12 = anchored bottom-right,
// 5 = stretch the width and move down.
class FormResizer : public Control {
public:
    using Control::Control;
    std::string typeName() const override { return "FormResizer"; }
    bool focusable() const override { return false; }
    enum Mode { StretchWidth = 1, StretchHeight = 2, MoveDown = 4, MoveRight = 8 };

    // By control name (KitError for an unknown one) or by object.
    void Register(const std::string& controlName, int mode);
    void Register(Control& control, int mode);
    // Raises RegisterControls, then records the form's size and the places of the registered
    // controls and of those with an Anchor as the design layout. A registration wins over
    // the control's Anchor.
    void Start();
    bool started() const { return started_; }
    // The form's size when the resizer started (twips).
    int designWidth() const { return designWidth_; }
    int designHeight() const { return designHeight_; }
    // A vertical design distance at the scale the window draws its controls now. Resizing
    // the form moves and stretches controls but never zooms them, so the scale stays 1 unless
    // the window draws at another one (a larger interface font) and says so.
    double TransformYcoordinate(double y) const { return y * verticalScale_; }
    double VerticalScale() const { return verticalScale_; }
    void setVerticalScale(double scale);
    // The form got a new size: sets it and moves/stretches the registered controls.
    void resize(int newWidth, int newHeight);
    // The mode registered for `c`, -1 when none was (its Anchor does not count).
    int modeOf(const Control& c) const;

    Event<> RegisterControls;

private:
    struct Entry {
        std::weak_ptr<Control> control;
        int mode;
        bool registered = true;   // false: taken from the control's Anchor at Start
        int left = 0, top = 0, width = 0, height = 0;
    };
    std::vector<Entry> entries_;
    bool started_ = false;
    int designWidth_ = 0, designHeight_ = 0;
    double verticalScale_ = 1;
};

}  // namespace kit
