#pragma once
// Decodes an intercompany structure code (CGC0_CODICE) into its description. A new instance
// serves one decode.

#include <memory>

#include "db/Variant.h"
#include "host/LookupCatalog.h"
#include "kit/Control.h"

namespace host {

class IntercompanyDecoder : public db::Object {
public:
    ~IntercompanyDecoder() override = default;
    // A code that is not a structure number gives a statement that finds nothing.
    virtual DecodeDefinition decode(const db::Variant& code, std::shared_ptr<kit::Control> description) = 0;
};

}  // namespace host
