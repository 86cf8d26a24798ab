#pragma once
// The stand-alone host's lookup definitions of ledger and PC01 charts and of PC01 accounts,
// as T-SQL on the accounting tables.

#include <memory>
#include <string>

#include "host/LedgerChartFinder.h"
#include "host/ReclChartFinder.h"

namespace standalone {

// IDLookup values the finders hand to the code boxes.
inline constexpr const char* kLookupLedgerCharts = "LKP_CG10_DESPDC";
inline constexpr const char* kLookupCorrelatedCharts = "LKP_PC01_CORRELATI";
inline constexpr const char* kLookupReclCharts = "LKP_PC01_DESCRPDC";
inline constexpr const char* kLookupReclAccounts = "LKP_PC03_ANAGPDC";

class StandaloneLedgerChartFinder : public host::LedgerChartFinder {
public:
    // The lookups read the host database named by the code box's connection string; the
    // global object is not needed to build them.
    void init(std::shared_ptr<host::Global> /*global*/) override {}
    host::LookupDefinition ledgerCharts() override;
    host::LookupDefinition reclChartsOfLedgerChart(const db::Variant& ledgerChart) override;
    host::LookupDefinition reclChartsOfAnalyticChart(const db::Variant& analyticChart) override;
    host::LookupDefinition hyperionChartsOfLedgerChart(const db::Variant& ledgerChart) override;
    host::LookupDefinition reclChartsOfStructure(const db::Variant& structure) override;
};

class StandaloneReclChartFinder : public host::ReclChartFinder {
public:
    void init(std::shared_ptr<host::Cinterface> /*entry*/, std::shared_ptr<db::Connection> /*connection*/) override {}
    void setChartSelector(int selector) override;
    int chartSelector() const override { return selector_; }
    host::LookupDefinition prepareChartLookup() override;
    void setAccountsChart(const db::Variant& chart) override { accountsChart_ = chart; }
    host::LookupDefinition prepareAccountsLookup() override;

private:
    int selector_ = kBalanceReclassification;
    db::Variant accountsChart_;
};

}  // namespace standalone
