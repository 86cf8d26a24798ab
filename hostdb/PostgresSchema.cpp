#include "hostdb/PostgresSchema.h"

#include <regex>

#include "db/SqlIdentifier.h"

namespace hostdb {

std::vector<std::string> postgresTableFunctionStatements(const std::string& schema) {
    const std::string s = db::quoteIdentifier(schema);
    return {
        "CREATE OR REPLACE FUNCTION " + s +
            ".FNPC03_ANAGPDC_COGE(chart integer, account text, company integer, extra text)"
            " RETURNS TABLE (PC03_CODICE_PC01 smallint, PC03_CONTO tsql_text, PC03_DESCR tsql_text)"
            " LANGUAGE sql STABLE AS $$ SELECT PC03_CODICE_PC01, PC03_CONTO, PC03_DESCR FROM " + s +
            ".PC03_ANAGPDC WHERE PC03_CODICE_PC01 = chart AND PC03_CONTO::bpchar COLLATE tsql = account::bpchar $$",
        "CREATE OR REPLACE FUNCTION " + s +
            ".FNCG40_ANADITTAINTER(tipocf integer, intermediary integer, company integer)"
            " RETURNS TABLE (CG40_DESCR tsql_text)"
            " LANGUAGE sql STABLE AS $$ SELECT CG40_DESCR::tsql_text FROM " + s +
            ".CG40_ANADITTAINTER WHERE CG40_TIPOCF = tipocf AND CG40_INTERMEDIO = intermediary"
            " AND CG40_DITTA_CG18 = company $$",
    };
}

std::vector<std::string> postgresTableDdl(const std::vector<std::string>& sqliteDdl, const std::string& schema) {
    static const std::regex table(R"(^CREATE TABLE (\w+))");
    static const std::regex index(R"(^(CREATE (UNIQUE )?INDEX \w+\s+ON\s+)(\w+))");
    static const std::regex text(R"((\w+) nvarchar\((\d+)\) COLLATE TSQL)", std::regex::icase);
    static const std::regex tinyint(R"((\w+) tinyint\b)", std::regex::icase);
    const std::string s = db::quoteIdentifier(schema);
    std::vector<std::string> out;
    for (const std::string& ddl : sqliteDdl) {
        std::string pg = std::regex_replace(ddl, table, "CREATE TABLE " + s + ".$1");
        pg = std::regex_replace(pg, index, "$1" + s + ".$3");
        pg = std::regex_replace(pg, text, "$1 bpchar COLLATE tsql CHECK (char_length($1) <= $2)");
        pg = std::regex_replace(pg, tinyint, "$1 smallint CHECK ($1 BETWEEN 0 AND 255)");
        out.push_back(pg);
    }
    return out;
}

}  // namespace hostdb
