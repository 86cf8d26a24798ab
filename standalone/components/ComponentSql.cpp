#include "standalone/components/ComponentSql.h"

#include <cctype>

#include "standalone/Services.h"
#include "text/Text.h"

namespace standalone::components {

namespace {

std::string codeFilter(const char* keyword, const std::string& column, const db::Variant& code) {
    auto n = bareCode(code);
    if (!n) return std::string(keyword) + "1 = 0";
    return std::string(keyword) + column + " = " + std::to_string(*n);
}

}  // namespace

std::string whereCode(const std::string& column, const db::Variant& code) {
    return codeFilter(" WHERE ", column, code);
}

std::string andCode(const std::string& column, const db::Variant& code) {
    return codeFilter(" AND ", column, code);
}

host::LookupDefinition ledgerChartsListing() {
    host::LookupDefinition d;
    d.sql = "SELECT CG10_GRUPPO, CG10_DESCR, CG10_NUMLIVELLI FROM CG10_DESPDC WITH(NOLOCK) ORDER BY CG10_GRUPPO";
    d.fields = {{"CG10_GRUPPO", "Codice", 900}, {"CG10_DESCR", "Descrizione", 4800}, {"CG10_NUMLIVELLI", "Livelli", 900}};
    d.caption = "Piani dei conti";
    return d;
}

host::LookupDefinition ledgerAccountsListing(const db::Variant& chart) {
    host::LookupDefinition d;
    d.sql = "SELECT CG24_CONTO, CG24_DESCR, CG24_INDTIPOCONTO FROM CG24_TABPDC WITH(NOLOCK)" +
            whereCode("CG24_GRUPPO_CG10", chart) + " ORDER BY CG24_CONTO";
    d.fields = {{"CG24_CONTO", "Conto", 1500}, {"CG24_DESCR", "Descrizione", 4800}, {"CG24_INDTIPOCONTO", "Tipo", 700}};
    d.caption = "Conti del piano dei conti " + codeText(chart);
    return d;
}

host::LookupDefinition reclChartsListing(const std::string& typeFilter) {
    host::LookupDefinition d;
    d.sql = "SELECT PC01_CODICE, PC01_DESCR, PC01_INDTIPOPDC FROM PC01_DESCRPDC WITH(NOLOCK)";
    if (!typeFilter.empty()) d.sql += " WHERE " + typeFilter;
    d.sql += " ORDER BY PC01_CODICE";
    d.fields = {{"PC01_CODICE", "Codice", 900}, {"PC01_DESCR", "Descrizione", 4800}, {"PC01_INDTIPOPDC", "Tipo", 700}};
    d.caption = "Piani dei conti di riclassificazione";
    return d;
}

host::LookupDefinition reclAccountsListing(const db::Variant& chart) {
    host::LookupDefinition d;
    d.sql = "SELECT PC03_CONTO, PC03_DESCR,"
            " CASE WHEN PC03_INDANALITICO = 1 THEN 'Sì' ELSE 'No' END AS PC03_INDANALITICO,"
            " PC03_INDTIPOCONTO FROM PC03_ANAGPDC WITH(NOLOCK)" +
            whereCode("PC03_CODICE_PC01", chart) + " ORDER BY PC03_CONTO";
    d.fields = {{"PC03_CONTO", "Conto", 1500},
                {"PC03_DESCR", "Descrizione", 4800},
                {"PC03_INDANALITICO", "Analitico", 900},
                {"PC03_INDTIPOCONTO", "Tipo", 700}};
    d.caption = "Conti del piano di riclassificazione " + codeText(chart);
    return d;
}

host::LookupDefinition intercompanyStructuresListing() {
    host::LookupDefinition d;
    d.sql = "SELECT CGC0_CODICE, CGC0_DESCR, CG18_RAGSOC, CGB1_DATABASE"
            " FROM CGC0_STRUTINFRAGRUPPO WITH(NOLOCK)"
            " LEFT OUTER JOIN CGB1_DATABASEINFRAGRUPPO WITH(NOLOCK) ON CGB1_CODICE = CGC0_CODICE_CGB1"
            " LEFT OUTER JOIN CG18_ANADITTA WITH(NOLOCK) ON CG18_DITTA = CGC0_DITTA_CG18"
            " ORDER BY CGC0_CODICE";
    d.fields = {{"CGC0_CODICE", "Codice", 900},
                {"CGC0_DESCR", "Descrizione", 3600},
                {"CG18_RAGSOC", "Azienda", 3600},
                {"CGB1_DATABASE", "Database", 1800}};
    d.caption = "Strutture intercompany";
    return d;
}

std::string codeText(const db::Variant& code) {
    if (auto n = bareCode(code)) return std::to_string(*n);
    return trimmedText(code);
}

std::string trimmedText(const db::Variant& value) {
    if (value.isEmpty() || value.isNull() || value.isObject()) return "";
    return text::trimWhitespace(value.toText());
}

}  // namespace standalone::components
