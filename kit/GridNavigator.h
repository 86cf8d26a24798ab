#pragma once
// The navigator bar under a grid: first, previous, next, last, open and new, driving the
// record frame's recordset. Every press raises ButtonPressed(name) and then AfterAction.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "kit/Control.h"

namespace kit {

class RecordFrame;

class GridNavigator : public Control {
public:
    using Control::Control;
    std::string typeName() const override { return "GridNavigator"; }

    void Init(std::shared_ptr<db::Object>& hostInterface, RecordFrame* frame);
    std::shared_ptr<db::Object> HostInterface() const { return hostInterface_; }
    void setHostInterface(std::shared_ptr<db::Object> h) { hostInterface_ = std::move(h); }
    RecordFrame* Frame() const { return frame_; }
    void setFrame(RecordFrame* f) { frame_ = f; }

    // The seven on/off options, stored in the order they are given.
    void setOptions(const std::array<bool, 7>& options);
    const std::array<bool, 7>& Options() const { return options_; }
    // Set before the frame ends: presses then only raise the events.
    bool Detached() const { return detached_; }
    void setDetached(bool d);

    static const std::vector<std::string>& buttonNames();
    // Presses a button by name ("primo", "precedente", "successivo", "ultimo", "apri",
    // "Nuovo"). KitError for another name. A button with nothing to do (previous on the
    // first row) only raises the events. False when the navigator is hidden or disabled.
    bool press(const std::string& button);

    Event<const std::string&> ButtonPressed;
    Event<> AfterAction;

private:
    void act(const std::string& button);
    std::shared_ptr<db::Object> hostInterface_;
    RecordFrame* frame_ = nullptr;
    std::array<bool, 7> options_{};
    bool detached_ = false;
};

}  // namespace kit
