#pragma once
// The host's script object model: windows register, raise form events ("qvOpen" = open 1,
// "qvClose" = open 0) and ask whether a script vetoes closing.

#include <memory>
#include <string>

#include "db/Variant.h"

namespace host {

class ScriptModel : public db::Object {
public:
    ~ScriptModel() override = default;
    virtual void registerWindow(const std::string& name, std::shared_ptr<db::Object>& window,
                                int option, const db::Variant& title) = 0;
    virtual void formEvent(const std::string& windowName, int option, int open,
                           const db::Variant& name) = 0;
    // True when a script refuses that the window closes.
    virtual bool closingVeto() = 0;
    virtual void closingNotice(const std::string& text) = 0;
};

}  // namespace host
