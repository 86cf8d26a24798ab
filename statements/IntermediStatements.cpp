#include "statements/IntermediStatements.h"

#include <cctype>

#include "db/SqlText.h"
#include "statements/SqlValues.h"
#include "statements/WorkingTableStatements.h"

namespace intermedi {

using editor::bareValue;
using editor::textValue;

namespace {

const std::string N = "\r\n";

const char* kMasterSelect =
    " SELECT  ISNULL(CG40_DITTA_CG18,-1) AS CG40_DITTA_CG18, ISNULL(CG40_TIPOCF,-1) AS CG40_TIPOCF, "
    "ISNULL(CG40_INTERMEDIO,-1) AS CG40_INTERMEDIO, CG24_GRUPPO_CG10, CG24_CONTO, ";
const char* kIntermediarySelect =
    " SELECT  ISNULL(CG40_DITTA_CG18,-1) AS CG40_DITTA_CG18, ISNULL(CG40_TIPOCF,-1) AS CG40_TIPOCF, "
    "ISNULL(CG40_INTERMEDIO,-1) AS CG40_INTERMEDIO, CG24_GRUPPO_CG10, LEFT(CG24_CONTO,2) + RIGHT('00' + "
    "CAST(CG40_INTERMEDIO AS NVARCHAR(2)),2) + RIGHT(CG24_CONTO,6) AS CG24_CONTO,";

std::string masterBlock(const IntermediTableInput& in, const std::string& description) {
    const std::string p = editor::databasePrefix(in.intercompanyDatabase);
    return kMasterSelect + description + N + " FROM    " + p + "CG24_TABPDC WITH(NOLOCK)" + N + " LEFT OUTER JOIN " +
           p + "CG40_ANADITTAINTER WITH(NOLOCK)" + N + "     ON CG40_DITTA_CG18 = " + bareValue(in.companyCode) + N +
           "     AND CG40_TIPOCF = " + std::to_string(in.tipoCf) + N + "     AND CG40_INTERMEDIO = 0" + N +
           " WHERE   CG24_GRUPPO_CG10 = " + bareValue(in.chartCode) + N + "     AND CG24_CONTO = '" +
           textValue(in.masterAccount) + "'" + N + " UNION" + N;
}

std::string intermediaryBlock(const IntermediTableInput& in, const std::string& select, const std::string& description,
                              const std::string& closing) {
    const std::string p = editor::databasePrefix(in.intercompanyDatabase);
    return select + description + N + " FROM    " + p + "CG40_ANADITTAINTER WITH(NOLOCK)" + N + " LEFT OUTER JOIN " +
           p + "CG24_TABPDC WITH(NOLOCK)" + N + "     ON CG24_GRUPPO_CG10 = " + bareValue(in.chartCode) + N +
           "     AND CG24_CONTO = '" + textValue(in.masterAccount) + "'" + N + " WHERE   CG40_DITTA_CG18 = " +
           bareValue(in.companyCode) + N + "     AND CG40_TIPOCF = " + std::to_string(in.tipoCf) + N +
           "     AND CG40_INTERMEDIO <> 0" + N + closing + N;
}

std::string joins(const IntermediTableInput& in) {
    const std::string r = bareValue(in.reclChart);
    if (in.cons) {
        const std::string s = bareValue(in.structureCode);
        return " LEFT OUTER JOIN CGB3_COLLRICLCONS" + N + "      ON CGB3_CODICE_CGC0 = " + s + N +
               "     AND CGB3_CONTO_CG24 = CG24_CONTO" + N + "     AND CGB3_CODICE_PC01 = " + r + N +
               "     AND CGB3_INDSEGNO = SEGNO" + N +
               " OUTER APPLY FNPC03_ANAGPDC_COGE(CGB3_CODICE_PC01, CGB3_CONTO_PC03, <DITTA>, Null) AS MASTRO " + N +
               " LEFT OUTER JOIN CGB4_CORRINTERMEDICONS" + N + "      ON CGB4_CODICE_CGC0 = " + s + N +
               "     AND CGB4_TIPOCF_CG40 = CG40_TIPOCF" + N + "     AND CGB4_INTERMEDIO_CG40 = CG40_INTERMEDIO" + N +
               "     AND CGB4_CODICE_PC01 = " + r + N + "     AND CGB4_INDSEGNO = SEGNO" + N +
               " OUTER APPLY FNPC03_ANAGPDC_COGE(CGB4_CODICE_PC01, CGB4_CONTO_PC03, <DITTA>, NULL) AS ANALITICO " + N;
    }
    return " LEFT OUTER JOIN CG83_COLLRICL" + N + "      ON CG24_GRUPPO_CG10 = CG83_CODICE_CG10" + N +
           "     AND CG24_CONTO = CG83_CONTO_CG24" + N + "     AND CG83_CODICERICL_PC01 = " + r + N +
           "     AND CG83_INDSEGNO = SEGNO" + N +
           " OUTER APPLY FNPC03_ANAGPDC_COGE(CG83_CODICERICL_PC01, CG83_CONTORICL_PC03, <DITTA>, Null) AS MASTRO " + N +
           " LEFT OUTER JOIN CG93_CORRINTERMEDIRICL" + N + "      ON CG40_DITTA_CG18 = CG93_DITTA_CG18" + N +
           "     AND CG40_TIPOCF = CG93_TIPOCF_CG40" + N + "     AND CG40_INTERMEDIO = CG93_INTERMEDIO_CG40" + N +
           "     AND CG93_CODICE_PC01 = " + r + N + "     AND CG93_INDSEGNO = SEGNO" + N +
           " OUTER APPLY FNPC03_ANAGPDC_COGE(CG93_CODICE_PC01, CG93_CONTO_PC03, <DITTA>, NULL) AS ANALITICO " + N;
}

}  // namespace

std::string intermediTableStatement(const IntermediTableInput& in) {
    std::string sql;
    sql.reserve(6000);
    sql += " SELECT ROW_NUMBER() OVER (ORDER by CG24_CONTO) as FAKEID, " + N;
    sql += " CAST(CG24_CONTO                                                AS NVARCHAR(10)) AS CONTOPDC," + N;
    sql += "         CAST(CG24_DESCR                                        AS NVARCHAR(40)) AS DESCRPDC," + N;
    sql += "         CAST(CASE WHEN SEGNO = 2 THEN NULL ELSE CG24_CONTO END AS NVARCHAR(10)) AS CONTOPDCGRID," + N;
    sql += "         CAST(CASE WHEN SEGNO = 2 THEN NULL ELSE CG24_DESCR END AS NVARCHAR(40)) AS DESCRPDCGRID," + N;
    sql += "         CAST(RTRIM(ISNULL(MASTRO.PC03_CONTO, ANALITICO.PC03_CONTO)) AS NVARCHAR(15)) AS CONTORICL," + N;
    sql += "         CAST(ISNULL(MASTRO.PC03_DESCR, ANALITICO.PC03_DESCR)   AS NVARCHAR(80)) AS DESCRRICL," + N;
    sql += "         CAST(SEGNO AS DECIMAL(1)) AS SEGNO," + N;
    sql += "         CAST(CG24_INDTIPOCONTO AS DECIMAL(2)) AS INDTIPOCONTO" + N;
    sql += std::string("    INTO ") + kIntermediTable + N + " FROM (" + N;
    sql += masterBlock(in,
                       " ISNULL((SELECT CG40_DESCR FROM FNCG40_ANADITTAINTER(CG40_TIPOCF, CG40_INTERMEDIO, "
                       "CG40_DITTA_CG18)), CG24_DESCR) AS CG24_DESCR, CG24_INDTIPOCONTO, 1 AS SEGNO");
    sql += intermediaryBlock(in, kIntermediarySelect,
                             " (SELECT CG40_DESCR FROM FNCG40_ANADITTAINTER(CG40_TIPOCF, CG40_INTERMEDIO, "
                             "CG40_DITTA_CG18))AS CG24_DESCR, CG24_INDTIPOCONTO, 1 AS SEGNO",
                             " UNION");
    sql += masterBlock(in,
                       " ISNULL((SELECT CG40_DESCR FROM FNCG40_ANADITTAINTER(CG40_TIPOCF , CG40_INTERMEDIO , "
                       "CG40_DITTA_CG18)), CG24_DESCR) AS CG24_DESCR, CG24_INDTIPOCONTO, 2 AS SEGNO");
    sql += intermediaryBlock(in, std::string(kIntermediarySelect) + " ",
                             " (SELECT CG40_DESCR FROM FNCG40_ANADITTAINTER(CG40_TIPOCF, CG40_INTERMEDIO, "
                             "CG40_DITTA_CG18)) AS CG24_DESCR, CG24_INDTIPOCONTO, 2 AS SEGNO",
                             " ) AS CORRPDCRICL");
    sql += joins(in);
    return db::replaceAll(std::move(sql), "<DITTA>", bareValue(in.companyCode, "0"));
}

std::string intermediReadingQuery() {
    return std::string(" SELECT *") + N + " FROM " + kIntermediTable + N + " WHERE ISNULL(CONTOPDC,'') <> ''" + N +
           " ORDER BY CONTOPDC, INDTIPOCONTO, SEGNO" + N;
}

int intermediaryOfCode(const std::string& code) {
    if (code.size() < 4) return 0;
    int n = 0;
    for (char c : code.substr(2, 2)) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

namespace {
struct IntermediColumns {
    const char* table;
    const char* owner;
    const char* ownerPad;   // the owner column padded as in the INSERT's column list
};
IntermediColumns columnsFor(bool cons) {
    return cons ? IntermediColumns{"CGB4_CORRINTERMEDICONS", "CGB4_CODICE_CGC0", "CGB4_CODICE_CGC0            "}
                : IntermediColumns{"CG93_CORRINTERMEDIRICL", "CG93_DITTA_CG18", "CG93_DITTA_CG18             "};
}
std::string px(bool cons) { return cons ? "CGB4_" : "CG93_"; }

std::string keyConditions(const IntermediKey& k, const std::string& storedAccount) {
    const std::string p = px(k.cons);
    return std::string(" WHERE ") + columnsFor(k.cons).owner + " = " + bareValue(k.owner) + N + "   AND " + p +
           "TIPOCF_CG40 = " + std::to_string(k.tipoCf) + N + "   AND " + p + "INTERMEDIO_CG40 = " +
           std::to_string(k.intermediary) + N + "   AND " + p + "CODICE_PC01 = " + bareValue(k.reclChart) + N +
           "   AND " + p + "CONTO_PC03 = '" + textValue(storedAccount) + "'" + "   AND " + p +
           "INDSEGNO = " + std::to_string(k.sign);
}
}  // namespace

std::string deleteIntermediStatement(const IntermediKey& k, const std::string& storedAccount) {
    return std::string(" DELETE FROM ") + columnsFor(k.cons).table + N + keyConditions(k, storedAccount);
}

std::string updateIntermediStatement(const IntermediKey& k, const std::string& newAccount,
                                     const std::string& storedAccount) {
    return std::string(" UPDATE ") + columnsFor(k.cons).table + N + " SET " + px(k.cons) + "CONTO_PC03 = '" +
           textValue(newAccount) + "'" + N + keyConditions(k, storedAccount);
}

std::string conditionalInsertIntermediStatement(const IntermediKey& k, const std::string& newAccount) {
    const std::string CR = "\r";
    const IntermediColumns c = columnsFor(k.cons);
    const std::string p = px(k.cons);
    const std::string table = c.table;   // both names are 22 characters: the padding below fits both
    const std::string owner = bareValue(k.owner);
    const std::string account = "'" + textValue(newAccount) + "'";
    std::string s;
    s += " IF NOT EXISTS                                 " + CR;
    s += "         (                                     " + CR;
    s += "             SELECT  TOP 1 1                   " + CR;
    s += "             FROM    " + table + "    " + CR;
    s += "             WHERE   " + std::string(c.owner) + " = " + owner + CR;
    s += "             AND     " + p + "TIPOCF_CG40 = " + std::to_string(k.tipoCf) + CR;
    s += "             AND     " + p + "INTERMEDIO_CG40 = " + std::to_string(k.intermediary) + CR;
    s += "             AND     " + p + "CODICE_PC01 = " + bareValue(k.reclChart) + CR;
    s += "             AND     " + p + "CONTO_PC03 = " + account + CR;
    s += "             AND     " + p + "INDSEGNO = " + std::to_string(k.sign) + CR;
    s += "         )                                     " + CR;
    s += " BEGIN                                         " + CR;
    s += "         INSERT INTO " + table + "    " + CR;
    s += "         (                                     " + CR;
    s += "                   " + std::string(c.ownerPad) + CR;
    s += "               ,   " + p + "TIPOCF_CG40            " + CR;
    s += "               ,   " + p + "INTERMEDIO_CG40        " + CR;
    s += "               ,   " + p + "CODICE_PC01            " + CR;
    s += "               ,   " + p + "CONTO_PC03             " + CR;
    s += "               ,   " + p + "INDSEGNO               " + CR;
    s += "         )                                     " + CR;
    s += "           VALUES                              " + CR;
    s += "         (                                     " + CR;
    s += "                   " + owner + CR;
    s += "               ,   " + std::to_string(k.tipoCf) + CR;
    s += "               ,   " + std::to_string(k.intermediary) + CR;
    s += "               ,   " + bareValue(k.reclChart) + CR;
    s += "               ,   " + account + CR;
    s += "               ,   " + std::to_string(k.sign) + CR;
    s += "         )                                     " + CR;
    s += " END " + N;
    return s;
}

}  // namespace intermedi
