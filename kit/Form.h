#pragma once
// A window model: it owns its controls by name (in creation order), the focus and the tab
// order, and raises the window lifecycle events. Showing and closing go through a
// WindowSystem, which renders the form (Qt), drives it (automation) or plays it (tests).

#include <memory>
#include <string>
#include <vector>

#include "kit/Control.h"
#include "kit/Event.h"

namespace kit {

class WindowSystem;

class Form : public db::Object {
public:
    explicit Form(std::string name, WindowSystem* windowSystem = nullptr);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }
    const std::string& Caption() const { return caption_; }
    void setCaption(const std::string& c);
    bool Visible() const { return visible_; }
    void setVisible(bool v);
    // 0 normal, 1 minimised, 2 maximised.
    int WindowState() const { return windowState_; }
    void setWindowState(int s);
    int Width() const { return width_; }
    int Height() const { return height_; }
    void setSize(int width, int height);
    // A process-unique window id, in the role of a window handle.
    long hWnd() const { return hwnd_; }

    // --- controls ---
    // Creates a control of type T named `name`. KitError when the name is taken.
    template <class T, class... Args>
    std::shared_ptr<T> create(const std::string& name, Args&&... args) {
        requireFreeName(name);
        auto c = std::make_shared<T>(*this, name, std::forward<Args>(args)...);
        adopt(c);
        return c;
    }
    // The control by name (case-insensitive). KitError for an unknown name or another type.
    template <class T = Control>
    T& get(const std::string& name) const {
        return *ptr<T>(name);
    }
    template <class T = Control>
    std::shared_ptr<T> ptr(const std::string& name) const {
        auto c = find(name);
        if (!c) throw KitError("form " + name_ + " has no control named " + name);
        auto t = std::dynamic_pointer_cast<T>(c);
        if (!t) throw KitError("control " + name + " of form " + name_ + " is a " + c->typeName() +
                               ", not the type asked for");
        return t;
    }
    // nullptr when there is no such control.
    std::shared_ptr<Control> find(const std::string& name) const;
    const std::vector<std::shared_ptr<Control>>& controls() const { return controls_; }

    // --- focus ---
    Control* focused() const { return focused_; }
    // Moves the focus to `target`: the control that has it raises its leave events
    // (Validate, LostFocus; a cancel keeps the focus there), then `target` raises GotFocus.
    // Refused (false) for a control that cannot take the focus. A handler of the leave
    // events may itself move the focus; that move wins.
    bool setFocus(Control& target);
    // Next (or previous) control with TabStop that can take the focus, by TabIndex, wrapping.
    bool tab(bool forward = true);
    // A key pressed in the focused control: its KeyDown (and own handling) first, then Tab
    // and Shift+Tab move the focus and Escape clicks the cancel button.
    void keyDown(int key, int shift = 0);
    // Clicks the window's cancel button (a MenuButton with Cancel set) when it can be
    // clicked; false when there is none.
    bool clickCancelButton();

    // --- lifecycle ---
    WindowSystem& windowSystem() const;   // KitError when none is set
    WindowSystem* windowSystemOrNull() const { return windowSystem_; }
    void setWindowSystem(WindowSystem* ws) { windowSystem_ = ws; }
    // Raises Load once (until the next close).
    void load();
    // Loads and shows the form through the window system; modal returns after it closed.
    void show(bool modal);
    // QueryUnload(cancel, mode); when not cancelled Unload, then the window system's notice.
    bool close(int mode = 0);
    // Unload, then the window system's notice, without asking: for a window system that ends
    // while the form still refuses to close.
    void unload();
    // The window became active (first show and every return to it).
    void activate();
    bool isLoaded() const { return loaded_; }
    bool isOpen() const { return open_; }
    bool isModal() const { return modal_; }

    Event<> Load;
    Event<> Activate;
    Event<bool&, int> QueryUnload;
    Event<> Unload;
    Event<const std::string&> propertyChanged;
    // The focus moved (to the control now focused, or nullptr).
    Event<Control*> focusChanged;

private:
    void requireFreeName(const std::string& name) const;
    void adopt(std::shared_ptr<Control> c);
    void moveFocusTo(Control* c);
    void changed(const std::string& p) { propertyChanged.raise(p); }

    std::string name_;
    std::string caption_;
    bool visible_ = false;
    int windowState_ = 0;
    int width_ = 0, height_ = 0;
    long hwnd_;
    WindowSystem* windowSystem_;
    std::vector<std::shared_ptr<Control>> controls_;
    Control* focused_ = nullptr;
    Control* leaving_ = nullptr;
    bool loaded_ = false;
    bool open_ = false;
    bool modal_ = false;
    bool closing_ = false;
};

}  // namespace kit
