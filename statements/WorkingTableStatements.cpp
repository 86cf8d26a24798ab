#include "statements/WorkingTableStatements.h"

#include "db/SqlText.h"
#include "statements/SqlValues.h"

namespace editor {

namespace {

const std::string CRLF = kCrLf;

// The first two characters of an account code (UTF-8 aware; codes are ASCII in practice).
std::string firstTwo(const std::string& code) {
    std::size_t i = 0;
    for (int chars = 0; chars < 2 && i < code.size(); ++chars) {
        ++i;
        while (i < code.size() && (static_cast<unsigned char>(code[i]) & 0xC0) == 0x80) ++i;
    }
    return code.substr(0, i);
}

std::string zeros(int n) { return n > 0 ? std::string(static_cast<std::size_t>(n), '0') : std::string(); }

std::string signBlock(int sign, const WorkingTableInput& in, const std::string& filter) {
    return " SELECT  CG24_GRUPPO_CG10, CG24_CONTO, CG24_DESCR, CG24_INDTIPOCONTO, " + std::to_string(sign) +
           " AS SEGNO" + CRLF + " FROM    " + databasePrefix(in.intercompanyDatabase) + "CG24_TABPDC WITH(NOLOCK)" +
           CRLF + " WHERE   CG24_GRUPPO_CG10 = " + bareValue(in.chartCode, "0") + CRLF + "     AND (  (" + filter +
           ")" + CRLF + "          OR CG24_CONTO = '" + textValue(in.customersMaster) + "'" + CRLF +
           "          OR CG24_CONTO = '" + textValue(in.suppliersMaster) + "')" + CRLF +
           " GROUP BY CG24_GRUPPO_CG10, CG24_CONTO, CG24_DESCR, CG24_INDTIPOCONTO" + CRLF;
}

std::string kindJoin(const WorkingTableInput& in) {
    const std::string r = bareValue(in.reclChartCode, "0");
    switch (in.kind) {
        case CorrelationKind::HYPE:
            return " LEFT OUTER JOIN CGH0_COLLRICLHYP" + CRLF + "      ON CG24_GRUPPO_CG10 = CGH0_GRUPPO_CG10" + CRLF +
                   "     AND CG24_CONTO = CGH0_CONTO_CG24" + CRLF + "     AND CGH0_CODICE_PC01 = " + r + CRLF +
                   "     AND CGH0_INDSEGNO = SEGNO" + CRLF +
                   " OUTER APPLY FNPC03_ANAGPDC_COGE(CGH0_CODICE_PC01, CGH0_CONTO_PC03, <DITTA>, Null) AS PC03_ANAGPDC ";
        case CorrelationKind::CONS:
            return " LEFT OUTER JOIN CGB3_COLLRICLCONS" + CRLF + "      ON CGB3_CODICE_CGC0 = " +
                   bareValue(in.intercompanyCode, "0") + CRLF + "     AND CGB3_CONTO_CG24 = CG24_CONTO" + CRLF +
                   "     AND CGB3_CODICE_PC01 = " + r + CRLF + "     AND CGB3_INDSEGNO = SEGNO" + CRLF +
                   " OUTER APPLY FNPC03_ANAGPDC_COGE(CGB3_CODICE_PC01, CGB3_CONTO_PC03, <DITTA>, Null) AS PC03_ANAGPDC ";
        default:
            // COGE; the analytic kind builds its rows elsewhere but the table keeps this shape.
            return " LEFT OUTER JOIN CG83_COLLRICL" + CRLF + "      ON CG24_GRUPPO_CG10 = CG83_CODICE_CG10" + CRLF +
                   "     AND CG24_CONTO = CG83_CONTO_CG24" + CRLF + "     AND CG83_CODICERICL_PC01 = " + r + CRLF +
                   "     AND CG83_INDSEGNO = SEGNO" + CRLF +
                   " OUTER APPLY FNPC03_ANAGPDC_COGE(CG83_CODICERICL_PC01, CG83_CONTORICL_PC03, <DITTA>, Null) AS PC03_ANAGPDC ";
    }
}

}  // namespace

std::string levelFilter(CorrelationKind kind, int levels, int cons, const std::string& mask) {
    int w = 0;
    int s = 0, l = 0;
    bool levelChosen = false;
    switch (levels) {
        case 2: w = 5; break;
        case 3: {
            int width = 0;
            if (mask.size() >= 4) {
                std::size_t end = mask.find('/', 3);
                width = static_cast<int>((end == std::string::npos ? mask.size() : end) - 3);
            }
            w = 8 - width;
            break;
        }
        case 4: w = 4; break;
        case 5: w = 2; break;
        default: w = 0; break;
    }
    if ((kind == CorrelationKind::HYPE || kind == CorrelationKind::CONS) && levels >= 2 && levels <= 5) {
        if (cons == 1) {
            s = 1, l = 2, w = 8, levelChosen = true;
        } else if (cons == 2 && levels == 3) {
            s = 3, l = 8 - w, levelChosen = true;
        } else if (cons == 2 && levels >= 4) {
            s = 3, l = 2, w = 6, levelChosen = true;
        } else if (cons == 3 && levels >= 4) {
            s = 5, l = 2, w = 4, levelChosen = true;
        } else if (cons == 4 && levels == 5) {
            s = 7, l = 2, w = 2, levelChosen = true;
        }
    }
    if (levelChosen && s != 0 && l != 0) {
        return "RIGHT(CG24_CONTO," + std::to_string(w) + ") = '" + zeros(w) + "'" + " AND SUBSTRING(CG24_CONTO," +
               std::to_string(s) + "," + std::to_string(l) + ") <> '" + zeros(l) + "'";
    }
    return "RIGHT(CG24_CONTO," + std::to_string(w) + ") <> '" + zeros(w) + "'";
}

std::string databasePrefix(const std::string& name) {
    if (name.empty()) return {};
    return "[" + db::replaceAll(name, "]", "]]") + "].dbo.";
}

std::string workingTableStatement(const WorkingTableInput& in) {
    const std::string filter = levelFilter(in.kind, in.levels, in.consolidationLevels, in.mask);
    std::string sql;
    sql.reserve(4096);
    sql += " SELECT  ROW_NUMBER() OVER (ORDER by CG24_CONTO) as FAKEID, " + CRLF;
    sql += "         CAST(CG24_CONTO AS NVARCHAR(15)) AS CONTOPDC," + CRLF;
    sql += "         CAST(CG24_DESCR AS NVARCHAR(80)) AS DESCRPDC," + CRLF;
    sql += "         CAST(CASE WHEN SEGNO = 2 THEN NULL ELSE CG24_CONTO END AS NVARCHAR(20)) AS CONTOPDCGRID," + CRLF;
    sql += "         CAST(CASE WHEN SEGNO = 2 THEN NULL ELSE CG24_DESCR END AS NVARCHAR(80)) AS DESCRPDCGRID," + CRLF;
    sql += "         CAST(RTRIM(PC03_CONTO) AS NVARCHAR(15)) AS CONTORICL," + CRLF;
    sql += "         CAST(PC03_DESCR AS NVARCHAR(80)) AS DESCRRICL," + CRLF;
    sql += "         CAST(SEGNO AS DECIMAL(1)) AS SEGNO," + CRLF;
    sql += "         CAST(CG24_INDTIPOCONTO AS DECIMAL(2)) AS INDTIPOCONTO," + CRLF;
    sql += "         CAST(CASE LEFT(CG24_CONTO,2)" + CRLF + "                WHEN '" +
           textValue(firstTwo(in.customersMaster)) + "' THEN 0" + CRLF;
    sql += "                WHEN '" + textValue(firstTwo(in.suppliersMaster)) + "' THEN 1" + CRLF;
    sql += "                ELSE -1" + CRLF + "              END AS DECIMAL(2)) AS TIPOCF" + CRLF;
    sql += std::string("    INTO ") + kWorkingTable + CRLF + " FROM (" + CRLF;
    sql += signBlock(1, in, filter);
    sql += " UNION" + CRLF;
    sql += signBlock(2, in, filter);
    sql += " ) AS CORRPDCRICL" + CRLF;
    sql += kindJoin(in);
    return db::replaceAll(std::move(sql), "<DITTA>", bareValue(in.companyCode, "0"));
}

std::string workingTableReadingQuery(const std::string& table) {
    return " SELECT *" + CRLF + " FROM " + table + CRLF + " ORDER BY CONTOPDC, INDTIPOCONTO, SEGNO" + CRLF;
}

std::string analyticRowsQuery(const std::string& analyticChart, const std::string& reclChart,
                              const std::string& companyCode) {
    const std::string r = bareValue(reclChart);
    std::string sql =
        std::string(" SELECT A.PC03_CODICE_PC01 AS CODICEPDC, A.PC03_CONTO AS CONTOPDC, A.PC03_DESCR AS DESCRCONTO,") +
        " B.PC03_CODICE_PC01 AS CODICEPDCRICL, B.PC03_CONTO CONTOPDCRICL, B.PC03_DESCR AS DESCRCONTORICL, PC07_INDSEGNO AS SEGNO FROM PC03_ANAGPDC A" +
        " LEFT OUTER JOIN PC07_COLLRICL ON A.PC03_CODICE_PC01 = PC07_CODICE_PC01" +
        " AND A.PC03_CONTO = PC07_CONTO_PC03 AND PC07_CODICERICL_PC01 = " + r +
        " OUTER APPLY FNPC03_ANAGPDC_COGE(PC07_CODICERICL_PC01, PC07_CONTORICL_PC03, <DITTA>, Null ) AS B " + CRLF +
        " WHERE A.PC03_CODICE_PC01 = " + bareValue(analyticChart) + " AND (PC07_CODICERICL_PC01 = " + r +
        " OR PC07_CODICERICL_PC01 IS NULL)" + " ORDER BY A.PC03_CONTO, PC07_INDSEGNO";
    return db::replaceAll(std::move(sql), "<DITTA>", bareValue(companyCode, "0"));
}

std::string dropTableStatement(const std::string& table) { return "DROP TABLE " + table; }

}  // namespace editor
