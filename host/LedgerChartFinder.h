#pragma once
// Lookup definitions around a ledger chart: the ledger charts themselves, and the
// reclassification charts already correlated with a chosen chart, one operation per
// correlation kind. A new instance serves one lookup.

#include <memory>

#include "db/Variant.h"
#include "host/Fwd.h"
#include "host/LookupCatalog.h"

namespace host {

class LedgerChartFinder : public db::Object {
public:
    ~LedgerChartFinder() override = default;
    virtual void init(std::shared_ptr<Global> global) = 0;

    // The ledger charts (CG10): code, description, levels.
    virtual LookupDefinition ledgerCharts() = 0;

    // The PC01 charts tied to a chart by existing correlations, each once with its
    // description and type. A code that is not a number gives a lookup without rows.
    // COGE: charts in CG83_COLLRICL for ledger chart `ledgerChart`.
    virtual LookupDefinition reclChartsOfLedgerChart(const db::Variant& ledgerChart) = 0;
    // COIN: charts in PC07_COLLRICL for analytic chart `analyticChart`.
    virtual LookupDefinition reclChartsOfAnalyticChart(const db::Variant& analyticChart) = 0;
    // HYPE: charts in CGH0_COLLRICLHYP for ledger chart `ledgerChart`.
    virtual LookupDefinition hyperionChartsOfLedgerChart(const db::Variant& ledgerChart) = 0;
    // CONS: charts in CGB3_COLLRICLCONS for intercompany structure `structure`.
    virtual LookupDefinition reclChartsOfStructure(const db::Variant& structure) = 0;
};

}  // namespace host
