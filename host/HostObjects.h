#pragma once
// Host objects the module reads through object-typed Cinterface members: the menu entry
// (ClsVoceMenu) and the host frame (ActiveFrame).

#include <string>

#include "db/Variant.h"

namespace host {

// ClsVoceMenu: the menu entry the program was started from.
class MenuEntry : public db::Object {
public:
    ~MenuEntry() override = default;
    virtual std::string text() const = 0;
};

// ActiveFrame: the host frame whose Status the navigator shows.
class StatusFrame : public db::Object {
public:
    ~StatusFrame() override = default;
    virtual db::Variant Status() const = 0;
};

}  // namespace host
