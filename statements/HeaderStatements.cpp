#include "statements/HeaderStatements.h"

#include "db/SqlText.h"
#include "statements/SqlValues.h"
#include "statements/WorkingTableStatements.h"
#include "text/Text.h"

namespace editor {

std::string maskQuery(const std::string& chartCode) {
    return std::string("SELECT CG10_MASKEDIT, CG10_NUMLIVELLI  FROM CG10_DESPDC ") + kCrLf +
           "  WHERE CG10_GRUPPO = " + bareValue(chartCode, "-1");
}

std::string maskFromStored(const std::string& stored) {
    std::string m = text::trimSpaces(stored);
    for (char& c : m)
        if (c == 'x' || c == '0') c = '@';
    return m;
}

std::optional<std::string> maskForLevels(int levels) {
    switch (levels) {
        case 2: return "@@/@@@@@@@@";
        case 3: return "@@/@@@@/@@@@";
        case 4: return "@@/@@/@@/@@@@";
        case 5: return "@@/@@/@@/@@/@@";
        default: return std::nullopt;
    }
}

std::string accountDescriptionQuery(const std::string& reclChart, const std::string& account,
                                    const std::string& companyCode) {
    std::string sql = "SELECT PC03_DESCR FROM FNPC03_ANAGPDC_COGE(<PDC>, <CONTO>, <DITTA>, Null) ";
    sql = db::replaceAll(std::move(sql), "<PDC>", bareValue(reclChart, "0"));
    sql = db::replaceAll(std::move(sql), "<CONTO>", "'" + textValue(account) + "'");
    return db::replaceAll(std::move(sql), "<DITTA>", bareValue(companyCode, "0"));
}

std::string accountExistsQuery(const std::string& chart, const std::string& account) {
    return std::string("SELECT * FROM PC03_ANAGPDC") + " WHERE PC03_CODICE_PC01 = " + bareValue(chart) +
           " AND PC03_CONTO = '" + textValue(account) + "'";
}

std::string chartTypeQuery(const std::string& chart) {
    return "SELECT PC01_INDTIPOPDC FROM PC01_DESCRPDC WHERE PC01_CODICE = " + bareValue(chart);
}

std::string chartConfiguredQuery(const std::string& chart) {
    return "SELECT PC02_CODICE_PC01 FROM PC02_CONFIGPDC WHERE PC02_CODICE_PC01 = " + bareValue(chart, "0");
}

std::string masterAccountsQuery(const std::string& chartCode, const std::string& intercompanyDatabase) {
    return std::string(" SELECT CG36_CODICE, CG36_CONTO_CG24") + " FROM " + databasePrefix(intercompanyDatabase) +
           "CG36_PRSPDC WITH(NOLOCK)" + " WHERE CG36_GRUPPO_CG10 = " + bareValue(chartCode, "0");
}

std::string intercompanyStructureQuery(const std::string& structureCode) {
    return std::string(" SELECT *") + "\r" + " FROM CGC0_STRUTINFRAGRUPPO WITH(NOLOCK)" + "\r" +
           " LEFT OUTER JOIN CGB1_DATABASEINFRAGRUPPO WITH(NOLOCK)" + "\r" + "   ON CGB1_CODICE = CGC0_CODICE_CGB1" +
           "\r" + " WHERE CGC0_CODICE = " + bareValue(structureCode);
}

std::string intercompanyChartQuery(const std::string& companyCode, const std::string& intercompanyDatabase) {
    const std::string p = databasePrefix(intercompanyDatabase);
    return std::string(" SELECT CG10_DESPDC.*") + "\r" + " FROM " + p + "CG25_ANADITTAGEST WITH(NOLOCK)" + "\r" +
           " LEFT OUTER JOIN " + p + "CG10_DESPDC WITH(NOLOCK)" + "\r" + "   ON CG10_GRUPPO = CG25_GRUPPO_CG10" +
           "\r" + " WHERE CG25_DITTA_CG18 = " + bareValue(companyCode);
}

std::string intercompanyConnectionString(const std::string& host, const std::string& database) {
    if (database.empty()) return host;
    std::size_t p = host.find("database=");
    if (p == std::string::npos) return host;
    std::size_t q = host.find(';', p);
    if (q == std::string::npos || q <= p) return host;
    return db::replaceAll(host, host.substr(p, q - p), "database=" + database);
}

}  // namespace editor
