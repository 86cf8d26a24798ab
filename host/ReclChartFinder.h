#pragma once
// Lookup definitions of PC01 charts and of the accounts of one PC01 chart. Kept by a window
// for its lifetime: the chart selector and the chart whose accounts are looked up stay set
// until changed.

#include <memory>

#include "db/Connection.h"
#include "db/Variant.h"
#include "host/Fwd.h"
#include "host/LookupCatalog.h"

namespace host {

class ReclChartFinder : public db::Object {
public:
    // Chart selectors: which PC01 charts the chart lookup offers.
    static constexpr int kBalanceReclassification = 1;   // types 3, 5 and 6
    static constexpr int kAnalytic = 2;                  // any type but 3, 4, 5 and 6
    static constexpr int kIntercompanyReclassified = 7;  // type 4

    ~ReclChartFinder() override = default;
    virtual void init(std::shared_ptr<Cinterface> entry, std::shared_ptr<db::Connection> connection) = 0;

    // host::HostError for a selector other than the three above.
    virtual void setChartSelector(int selector) = 0;
    virtual int chartSelector() const = 0;
    // The charts of the current selector: code, description, type.
    virtual LookupDefinition prepareChartLookup() = 0;

    // The chart whose accounts prepareAccountsLookup lists.
    virtual void setAccountsChart(const db::Variant& chart) = 0;
    // The accounts of that chart: code, description, analytic flag ("Sì"/"No"), type. A
    // chart that is not a number gives a lookup without rows.
    virtual LookupDefinition prepareAccountsLookup() = 0;
};

}  // namespace host
