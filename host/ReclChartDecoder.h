#pragma once
// Decodes a reclassification, analytic or Hyperion chart code (PC01_CODICE) into its
// description and level count. Kept by a window for its lifetime.

#include <memory>

#include "db/Connection.h"
#include "db/Variant.h"
#include "host/Fwd.h"
#include "host/LookupCatalog.h"
#include "kit/Control.h"

namespace host {

class ReclChartDecoder : public db::Object {
public:
    ~ReclChartDecoder() override = default;
    virtual void init(std::shared_ptr<Cinterface> entry, std::shared_ptr<db::Connection> connection) = 0;
    // A code that is not a chart number gives a statement that finds nothing. Null targets
    // are left out.
    virtual DecodeDefinition decode(const db::Variant& code, std::shared_ptr<kit::Control> description,
                                    std::shared_ptr<kit::Control> levels) = 0;
};

}  // namespace host
