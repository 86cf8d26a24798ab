#pragma once
// Decodes a ledger chart code (CG10_GRUPPO) for a code box: the description, the number of
// levels and the number of consolidation levels of the chart. A new instance serves one
// decode; it only builds the definition, the box runs it on the connection string its form
// hands over.

#include <memory>

#include "db/Variant.h"
#include "host/Fwd.h"
#include "host/LookupCatalog.h"
#include "kit/Control.h"

namespace host {

class LedgerChartDecoder : public db::Object {
public:
    ~LedgerChartDecoder() override = default;
    // `consolidationLevels` receives CG10_NUMLIVCONS (null: not shown).
    virtual void init(std::shared_ptr<Global> global, std::shared_ptr<kit::Control> consolidationLevels) = 0;
    // The statement returns one row for a known chart, none otherwise; a code that is not a
    // chart number gives a statement that finds nothing. Null targets are left out.
    virtual DecodeDefinition decode(const db::Variant& code, std::shared_ptr<kit::Control> description,
                                    std::shared_ptr<kit::Control> levels) = 0;
};

}  // namespace host
