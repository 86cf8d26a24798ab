#include "standalone/components/Finders.h"

#include "host/HostError.h"
#include "standalone/components/ComponentSql.h"

namespace standalone {

namespace {

// The PC01 charts that appear in correlation table `table` (its chart column `chartColumn`)
// for the key `keyColumn` = `key`: each chart once, with description and type.
host::LookupDefinition correlatedCharts(const std::string& table, const std::string& chartColumn,
                                        const std::string& keyColumn, const db::Variant& key,
                                        const std::string& caption) {
    host::LookupDefinition d;
    d.sql = "SELECT PC01_CODICE, PC01_DESCR, PC01_INDTIPOPDC FROM PC01_DESCRPDC WITH(NOLOCK)"
            " WHERE EXISTS (SELECT 1 FROM " + table + " WITH(NOLOCK) WHERE " + chartColumn + " = PC01_CODICE" +
            components::andCode(keyColumn, key) + ") ORDER BY PC01_CODICE";
    d.fields = {{"PC01_CODICE", "Codice", 900}, {"PC01_DESCR", "Descrizione", 4800}, {"PC01_INDTIPOPDC", "Tipo", 700}};
    d.caption = caption + " " + components::codeText(key);
    d.lookupId = kLookupCorrelatedCharts;
    return d;
}

}  // namespace

host::LookupDefinition StandaloneLedgerChartFinder::ledgerCharts() {
    auto d = components::ledgerChartsListing();
    d.lookupId = kLookupLedgerCharts;
    return d;
}

host::LookupDefinition StandaloneLedgerChartFinder::reclChartsOfLedgerChart(const db::Variant& ledgerChart) {
    return correlatedCharts("CG83_COLLRICL", "CG83_CODICERICL_PC01", "CG83_CODICE_CG10", ledgerChart,
                            "Piani di riclassificazione correlati al piano dei conti");
}

host::LookupDefinition StandaloneLedgerChartFinder::reclChartsOfAnalyticChart(const db::Variant& analyticChart) {
    return correlatedCharts("PC07_COLLRICL", "PC07_CODICERICL_PC01", "PC07_CODICE_PC01", analyticChart,
                            "Piani di riclassificazione correlati al piano analitico");
}

host::LookupDefinition StandaloneLedgerChartFinder::hyperionChartsOfLedgerChart(const db::Variant& ledgerChart) {
    return correlatedCharts("CGH0_COLLRICLHYP", "CGH0_CODICE_PC01", "CGH0_GRUPPO_CG10", ledgerChart,
                            "Piani Hyperion correlati al piano dei conti");
}

host::LookupDefinition StandaloneLedgerChartFinder::reclChartsOfStructure(const db::Variant& structure) {
    return correlatedCharts("CGB3_COLLRICLCONS", "CGB3_CODICE_PC01", "CGB3_CODICE_CGC0", structure,
                            "Piani intercompany correlati alla struttura");
}

void StandaloneReclChartFinder::setChartSelector(int selector) {
    if (selector != kBalanceReclassification && selector != kAnalytic && selector != kIntercompanyReclassified)
        throw host::HostError("selettore di piani dei conti sconosciuto: " + std::to_string(selector));
    selector_ = selector;
}

host::LookupDefinition StandaloneReclChartFinder::prepareChartLookup() {
    host::LookupDefinition d;
    switch (selector_) {
    case kAnalytic:
        d = components::reclChartsListing("PC01_INDTIPOPDC NOT IN (3, 4, 5, 6)");
        d.caption = "Piani dei conti analitici";
        break;
    case kIntercompanyReclassified:
        d = components::reclChartsListing("PC01_INDTIPOPDC = 4");
        d.caption = "Piani riclassificati intercompany";
        break;
    default:
        d = components::reclChartsListing("PC01_INDTIPOPDC IN (3, 5, 6)");
        d.caption = "Piani di riclassificazione di bilancio";
        break;
    }
    d.lookupId = std::string(kLookupReclCharts) + "_" + std::to_string(selector_);
    return d;
}

host::LookupDefinition StandaloneReclChartFinder::prepareAccountsLookup() {
    auto d = components::reclAccountsListing(accountsChart_);
    d.lookupId = kLookupReclAccounts;
    return d;
}

}  // namespace standalone
