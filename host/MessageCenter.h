#pragma once
// Host dictionary texts by numeric id and the host's message box.

#include <string>
#include <vector>

#include "db/Variant.h"

namespace host {

class MessageCenter {
public:
    virtual ~MessageCenter() = default;
    // Text of dictionary entry `id`, with "%1", "%2"… replaced by params[0], params[1]….
    // An unknown id gives a text that names the missing id (never an exception).
    virtual std::string text(long id, const std::vector<db::Variant>& params = {}) = 0;
    // Shows a message box; `style` uses the host's button/icon codes (0 = OK only).
    // `owner` is the owning window or Empty for none. Returns the button pressed.
    virtual int messageBox(const std::string& text, int style, const std::string& title,
                           const db::Variant& owner = {}) = 0;
};

}  // namespace host
