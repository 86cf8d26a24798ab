#pragma once
// Named lookup and decode definitions the host supplies to code boxes, in the control kit's
// own shapes so a StartLookup / StartDecode handler passes them straight on.

#include <memory>
#include <string>

#include "db/Variant.h"
#include "kit/CodeEditBox.h"
#include "kit/WindowSystem.h"

namespace host {

struct LookupDefinition {
    std::string sql;
    kit::LookupFields fields;   // columns of the lookup window (first = the code)
    std::string caption;        // lookup window caption
    std::string lookupId;       // what the code box keeps as IDLookup
};

struct DecodeDefinition {
    std::string sql;            // returns the description of one code, or no row
    kit::DecodeFields fields;   // column -> control that shows it
};

class LookupCatalog {
public:
    virtual ~LookupCatalog() = default;
    // host::HostError for an unknown lookup name.
    virtual LookupDefinition prepare(const std::string& name, const db::Variant& option) = 0;
    // `target` receives the description (it may be null: the definition then names no control).
    virtual DecodeDefinition prepareDecode(const std::string& name, const db::Variant& code,
                                           std::shared_ptr<kit::Control> target) = 0;
};

}  // namespace host
