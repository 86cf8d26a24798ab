#include "apps/cli/WorkingRows.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Recordset.h"
#include "db/SqlText.h"

namespace brevanto::cli {

namespace {

const std::string CRLF = "\r\n";

std::string upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool isNumber(const std::string& s) {
    std::size_t i = s.size() > 1 && s[0] == '-' ? 1 : 0;
    if (i >= s.size()) return false;
    return std::all_of(s.begin() + static_cast<long>(i), s.end(),
                       [](unsigned char c) { return std::isdigit(c); });
}

// A code written bare into the statement: "" stands for 0; anything but a number is refused
// so that the text can never carry more than a number.
std::string bareCode(const std::string& code, const char* what) {
    if (code.empty()) return "0";
    if (!isNumber(code))
        throw ListRefused(std::string("Codice non numerico per ") + what + ": '" + code + "'");
    return code;
}

std::string zeros(int n) { return std::string(static_cast<std::size_t>(std::max(0, n)), '0'); }

std::optional<std::string> optText(const db::Variant& v) {
    if (v.isNull() || v.isEmpty()) return std::nullopt;
    return v.toText();
}

std::optional<int> optInt(const db::Variant& v) {
    if (v.isNull() || v.isEmpty()) return std::nullopt;
    return static_cast<int>(v.toInt64());
}

// Every row of the recordset a statement returns, by field name (upper case).
using Record = std::map<std::string, db::Variant>;

std::vector<Record> readAll(db::Connection& conn, const std::string& sql) {
    std::vector<Record> out;
    auto rs = conn.Execute(sql);
    if (!rs || rs->State() != db::ado::adStateOpen) return out;
    auto& fields = rs->fields();
    std::vector<std::string> names;
    for (long i = 0; i < fields.Count(); ++i) names.push_back(upper(fields.Item(i).Name()));
    if (rs->RecordCount() == 0) return out;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        Record r;
        for (long i = 0; i < fields.Count(); ++i) r[names[static_cast<std::size_t>(i)]] = fields.Item(i).Value();
        out.push_back(std::move(r));
    }
    return out;
}

db::Variant get(const Record& r, const std::string& name) {
    auto it = r.find(name);
    return it == r.end() ? db::Variant::null() : it->second;
}

// DeterminaTipoPdcRicl: the chart type, 0 when the chart has no row.
int chartType(db::Connection& conn, const std::string& code) {
    auto rows = readAll(conn, "SELECT PC01_INDTIPOPDC FROM PC01_DESCRPDC WHERE PC01_CODICE = " + code);
    if (rows.empty()) return 0;
    auto v = get(rows.front(), "PC01_INDTIPOPDC");
    return v.isNull() ? 0 : v.toInt32();
}

bool chartConfigured(db::Connection& conn, const std::string& code) {
    return !readAll(conn, "SELECT PC02_CODICE_PC01 FROM PC02_CONFIGPDC WHERE PC02_CODICE_PC01 = " + code).empty();
}

std::string prefixFor(const std::string& database) {
    return database.empty() ? "" : "[" + database + "].dbo.";
}

}  // namespace

std::optional<Kind> kindFromName(std::string name) {
    name = upper(std::move(name));
    if (name == "COGE") return Kind::COGE;
    if (name == "COIN") return Kind::COIN;
    if (name == "HYPE") return Kind::HYPE;
    if (name == "CONS") return Kind::CONS;
    return std::nullopt;
}

const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::COGE: return "COGE";
    case Kind::COIN: return "COIN";
    case Kind::HYPE: return "HYPE";
    case Kind::CONS: return "CONS";
    }
    return "?";
}

std::string levelFilter(Kind kind, int levels, int consLevels, const std::string& mask) {
    int w = 0;
    int s = 0, l = 0;   // 0 = unset
    switch (levels) {
    case 2: w = 5; break;
    case 3: {
        // The width of the mask's second segment: from position 4 to the next "/".
        int width = 0;
        if (mask.size() > 3) {
            auto end = mask.find('/', 3);
            width = static_cast<int>((end == std::string::npos ? mask.size() : end) - 3);
        }
        w = 8 - width;
        break;
    }
    case 4: w = 4; break;
    case 5: w = 2; break;
    default: break;
    }
    if ((kind == Kind::HYPE || kind == Kind::CONS) && levels >= 2 && levels <= 5) {
        if (consLevels == 1) {
            s = 1; l = 2; w = 8;
        } else if (consLevels == 2 && levels == 3) {
            s = 3; l = 8 - w;
        } else if (consLevels == 2 && (levels == 4 || levels == 5)) {
            s = 3; l = 2; w = 6;
        } else if (consLevels == 3 && (levels == 4 || levels == 5)) {
            s = 5; l = 2; w = 4;
        } else if (consLevels == 4 && levels == 5) {
            s = 7; l = 2; w = 2;
        }
    }
    if (s != 0 && l != 0)
        return "RIGHT(CG24_CONTO," + std::to_string(w) + ") = '" + zeros(w) + "' AND SUBSTRING(CG24_CONTO," +
               std::to_string(s) + "," + std::to_string(l) + ") <> '" + zeros(l) + "'";
    return "RIGHT(CG24_CONTO," + std::to_string(w) + ") <> '" + zeros(w) + "'";
}

std::string creaTabellaSql(const WorkingTableInput& in) {
    const std::string chart = bareCode(in.chart, "il piano dei conti");
    const std::string ricl = bareCode(in.reclChart, "il piano di riclassificazione");
    const std::string filter = levelFilter(in.kind, in.levels, in.consLevels, in.mask);
    const std::string prefix = prefixFor(in.database);
    const std::string cust = db::sqlEscape(in.customersMaster);
    const std::string supp = db::sqlEscape(in.suppliersMaster);

    auto block = [&](int sign) {
        return " SELECT  CG24_GRUPPO_CG10, CG24_CONTO, CG24_DESCR, CG24_INDTIPOCONTO, " + std::to_string(sign) +
               " AS SEGNO" + CRLF + " FROM    " + prefix + "CG24_TABPDC WITH(NOLOCK)" + CRLF +
               " WHERE   CG24_GRUPPO_CG10 = " + chart + CRLF + "     AND (  (" + filter + ")" + CRLF +
               "          OR CG24_CONTO = '" + cust + "'" + CRLF + "          OR CG24_CONTO = '" + supp + "')" +
               CRLF + " GROUP BY CG24_GRUPPO_CG10, CG24_CONTO, CG24_DESCR, CG24_INDTIPOCONTO" + CRLF;
    };

    std::string sql;
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
           db::sqlEscape(in.customersMaster.substr(0, 2)) + "' THEN 0" + CRLF;
    sql += "                WHEN '" + db::sqlEscape(in.suppliersMaster.substr(0, 2)) + "' THEN 1" + CRLF;
    sql += "                ELSE -1" + CRLF + "              END AS DECIMAL(2)) AS TIPOCF" + CRLF;
    sql += "    INTO #CORRPDCRICL" + CRLF + " FROM (" + CRLF;
    sql += block(1);
    sql += " UNION" + CRLF;
    sql += block(2);
    sql += " ) AS CORRPDCRICL" + CRLF;
    switch (in.kind) {
    case Kind::COGE:
    case Kind::COIN:   // COIN has no working-table join of its own; the COGE one keeps it valid
        sql += " LEFT OUTER JOIN CG83_COLLRICL" + CRLF + "      ON CG24_GRUPPO_CG10 = CG83_CODICE_CG10" + CRLF +
               "     AND CG24_CONTO = CG83_CONTO_CG24" + CRLF + "     AND CG83_CODICERICL_PC01 = " + ricl + CRLF +
               "     AND CG83_INDSEGNO = SEGNO" + CRLF +
               " OUTER APPLY FNPC03_ANAGPDC_COGE(CG83_CODICERICL_PC01, CG83_CONTORICL_PC03, <DITTA>, Null) AS "
               "PC03_ANAGPDC ";
        break;
    case Kind::HYPE:
        sql += " LEFT OUTER JOIN CGH0_COLLRICLHYP" + CRLF + "      ON CG24_GRUPPO_CG10 = CGH0_GRUPPO_CG10" + CRLF +
               "     AND CG24_CONTO = CGH0_CONTO_CG24" + CRLF + "     AND CGH0_CODICE_PC01 = " + ricl + CRLF +
               "     AND CGH0_INDSEGNO = SEGNO" + CRLF +
               " OUTER APPLY FNPC03_ANAGPDC_COGE(CGH0_CODICE_PC01, CGH0_CONTO_PC03, <DITTA>, Null) AS PC03_ANAGPDC ";
        break;
    case Kind::CONS:
        sql += " LEFT OUTER JOIN CGB3_COLLRICLCONS" + CRLF + "      ON CGB3_CODICE_CGC0 = " +
               bareCode(in.intercompany, "la struttura intercompany") + CRLF + "     AND CGB3_CONTO_CG24 = CG24_CONTO" +
               CRLF + "     AND CGB3_CODICE_PC01 = " + ricl + CRLF + "     AND CGB3_INDSEGNO = SEGNO" + CRLF +
               " OUTER APPLY FNPC03_ANAGPDC_COGE(CGB3_CODICE_PC01, CGB3_CONTO_PC03, <DITTA>, Null) AS PC03_ANAGPDC ";
        break;
    }
    return db::replaceAll(sql, "<DITTA>", bareCode(in.company, "la ditta"));
}

std::string readingQuerySql() { return " SELECT *" + CRLF + " FROM #CORRPDCRICL" + CRLF + " ORDER BY CONTOPDC, INDTIPOCONTO, SEGNO" + CRLF; }

std::string coinQuerySql(const std::string& analyticChart, const std::string& reclChart,
                         const std::string& company) {
    const std::string pdc = bareCode(analyticChart, "il piano dei conti analitico");
    const std::string ricl = bareCode(reclChart, "il piano di riclassificazione");
    std::string sql =
        " SELECT A.PC03_CODICE_PC01 AS CODICEPDC, A.PC03_CONTO AS CONTOPDC, A.PC03_DESCR AS DESCRCONTO,"
        " B.PC03_CODICE_PC01 AS CODICEPDCRICL, B.PC03_CONTO CONTOPDCRICL, B.PC03_DESCR AS DESCRCONTORICL, "
        "PC07_INDSEGNO AS SEGNO FROM PC03_ANAGPDC A"
        " LEFT OUTER JOIN PC07_COLLRICL ON A.PC03_CODICE_PC01 = PC07_CODICE_PC01"
        " AND A.PC03_CONTO = PC07_CONTO_PC03 AND PC07_CODICERICL_PC01 = " +
        ricl + " OUTER APPLY FNPC03_ANAGPDC_COGE(PC07_CODICERICL_PC01, PC07_CONTORICL_PC03, <DITTA>, Null ) AS B " +
        CRLF + " WHERE A.PC03_CODICE_PC01 = " + pdc + " AND (PC07_CODICERICL_PC01 = " + ricl +
        " OR PC07_CODICERICL_PC01 IS NULL)" + " ORDER BY A.PC03_CONTO, PC07_INDSEGNO";
    return db::replaceAll(sql, "<DITTA>", bareCode(company, "la ditta"));
}

std::string ledgerMaskFromEdit(const std::string& maskEdit) {
    auto first = maskEdit.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    auto last = maskEdit.find_last_not_of(' ');
    std::string m = maskEdit.substr(first, last - first + 1);
    m = db::replaceAll(m, "x", "@");
    return db::replaceAll(m, "0", "@");
}

std::string ledgerMaskForLevels(int levels) {
    switch (levels) {
    case 2: return "@@/@@@@@@@@";
    case 3: return "@@/@@@@/@@@@";
    case 4: return "@@/@@/@@/@@@@";
    case 5: return "@@/@@/@@/@@/@@";
    default: return "";
    }
}

std::string formatCode(const std::string& code, const std::string& mask) {
    if (mask.empty()) return code;
    std::string out;
    std::size_t next = 0;
    for (char m : mask) {
        if (next >= code.size()) break;
        if (m == '@' || m == 'x')
            out += code[next++];
        else
            out += m;
    }
    out += code.substr(std::min(next, code.size()));
    return out;
}

WorkingSet loadWorkingRows(db::Connection& conn, const ListRequest& request) {
    WorkingSet set;
    const std::string ricl = bareCode(request.reclChart, "il piano di riclassificazione");
    if (request.reclChart.empty()) throw ListRefused("Indicare il piano di riclassificazione (--ricl).");

    // --- The chart to be reclassified ---------------------------------------------------------
    int levels = 0, consLevels = 0;
    if (request.kind == Kind::CONS) {
        const std::string structure = bareCode(request.intercompany, "la struttura intercompany");
        if (request.intercompany.empty()) throw ListRefused("Indicare la struttura intercompany (--intercompany).");
        auto rows = readAll(conn, std::string(" SELECT *") + "\r" + " FROM CGC0_STRUTINFRAGRUPPO WITH(NOLOCK)" + "\r" +
                                      " LEFT OUTER JOIN CGB1_DATABASEINFRAGRUPPO WITH(NOLOCK)" + "\r" +
                                      "   ON CGB1_CODICE = CGC0_CODICE_CGB1" + "\r" + " WHERE CGC0_CODICE = " + structure);
        std::string company;
        if (!rows.empty()) {
            set.database = get(rows.front(), "CGB1_DATABASE").toText();
            company = get(rows.front(), "CGC0_DITTA_CG18").toText();
        }
        if (company.empty())
            throw ListRefused(db::replaceAll("L'intercompany %1 non ha nessuna azienda collegata!", "%1", structure));
        if (set.database.find_first_of("[]") != std::string::npos)
            throw ListRefused("Nome di database intercompany non valido: " + set.database);
        const std::string prefix = prefixFor(set.database);
        auto chartRows = readAll(conn, " SELECT CG10_DESPDC.*\r FROM " + prefix + "CG25_ANADITTAGEST WITH(NOLOCK)\r" +
                                           " LEFT OUTER JOIN " + prefix + "CG10_DESPDC WITH(NOLOCK)\r" +
                                           "   ON CG10_GRUPPO = CG25_GRUPPO_CG10\r WHERE CG25_DITTA_CG18 = " +
                                           bareCode(company, "la ditta intercompany"));
        if (!chartRows.empty()) {
            set.chart = get(chartRows.front(), "CG10_GRUPPO").toText();
            set.chartDescr = get(chartRows.front(), "CG10_DESCR").toText();
            auto lv = get(chartRows.front(), "CG10_NUMLIVELLI");
            auto cl = get(chartRows.front(), "CG10_NUMLIVCONS");
            levels = lv.isNull() ? 0 : lv.toInt32();
            consLevels = cl.isNull() ? 0 : cl.toInt32();
        }
    } else if (request.kind == Kind::COIN) {
        set.chart = bareCode(request.chart, "il piano dei conti analitico");
        if (request.chart.empty()) throw ListRefused("Indicare il piano dei conti analitico (--pdc).");
        int t = chartType(conn, set.chart);
        if (t == 0) throw ListRefused("Il piano dei conti analitico " + set.chart + " non esiste.");
        if (t >= 3 && t <= 6)
            throw ListRefused("Il piano dei conti " + set.chart + " non e' un piano dei conti analitico.");
        auto rows = readAll(conn, "SELECT PC01_DESCR, PC01_MASKEDIT FROM PC01_DESCRPDC WHERE PC01_CODICE = " + set.chart);
        if (!rows.empty()) {
            set.chartDescr = get(rows.front(), "PC01_DESCR").toText();
            set.mask = get(rows.front(), "PC01_MASKEDIT").toText();
        }
    } else {
        set.chart = bareCode(request.chart, "il piano dei conti");
        if (request.chart.empty()) throw ListRefused("Indicare il piano dei conti (--pdc).");
        auto rows = readAll(conn, "SELECT CG10_DESCR, CG10_NUMLIVELLI, CG10_NUMLIVCONS FROM CG10_DESPDC "
                                  "WHERE CG10_GRUPPO = " + set.chart);
        if (rows.empty()) throw ListRefused("Il piano dei conti " + set.chart + " non esiste.");
        set.chartDescr = get(rows.front(), "CG10_DESCR").toText();
        auto lv = get(rows.front(), "CG10_NUMLIVELLI");
        auto cl = get(rows.front(), "CG10_NUMLIVCONS");
        levels = lv.isNull() ? 0 : lv.toInt32();
        consLevels = cl.isNull() ? 0 : cl.toInt32();
    }

    // --- The reclassification chart, as its AfterItem checks it ---------------------------------
    int t = chartType(conn, ricl);
    if (request.kind == Kind::CONS) {
        if (t != 4) throw ListRefused("Il piano dei conti deve essere di tipo 'Riclassificato intercompany'!");
    } else if (t != 3 && t != 5 && t != 6) {
        throw ListRefused("Il piano dei conti deve essere di tipo 'Riclassificazione di bilancio'!");
    }
    if (!chartConfigured(conn, ricl)) throw ListRefused("Piano dei conti non configurato!");

    const std::string noRows = "Non è stato definito nessun conto del piano dei conti impostato.";

    // --- COIN: the rows are built here from the analytic chart ----------------------------------
    if (request.kind == Kind::COIN) {
        std::map<std::string, bool> analytic;
        for (const auto& r : readAll(conn, "SELECT PC03_CONTO, PC03_INDANALITICO FROM PC03_ANAGPDC "
                                           "WHERE PC03_CODICE_PC01 = " + set.chart)) {
            auto v = get(r, "PC03_INDANALITICO");
            analytic[get(r, "PC03_CONTO").toText()] = !v.isNull() && v.toInt32() != 0;
        }
        set.statement = coinQuerySql(request.chart, request.reclChart, request.company);
        auto src = readAll(conn, set.statement);
        if (src.empty()) throw ListRefused(noRows);
        auto isAnalytic = [&](const std::string& code) {
            auto it = analytic.find(code);
            return it != analytic.end() && it->second;
        };
        for (std::size_t i = 0; i < src.size(); ++i) {
            const Record& r = src[i];
            std::string code = get(r, "CONTOPDC").toText();
            if (!isAnalytic(code)) continue;
            std::string descr = get(r, "DESCRCONTO").toText();
            WorkingRow first{code, descr, code, descr, {}, {}, 1, {}, {}, formatCode(code, set.mask)};
            WorkingRow second{code, descr, {}, {}, {}, {}, 2, {}, {}, ""};
            auto segno = get(r, "SEGNO");
            if (segno.isNull() || segno.isEmpty() || segno.toText().empty()) {
                // no correlation for this account
            } else if (segno.toInt32() == 1) {
                first.contoRicl = optText(get(r, "CONTOPDCRICL"));
                first.descrRicl = optText(get(r, "DESCRCONTORICL"));
                if (i + 1 < src.size() && get(src[i + 1], "CONTOPDC").toText() == code) {
                    ++i;   // the same account's credit-side correlation
                    second.contoRicl = optText(get(src[i], "CONTOPDCRICL"));
                    second.descrRicl = optText(get(src[i], "DESCRCONTORICL"));
                }
            } else {
                second.contoRicl = optText(get(r, "CONTOPDCRICL"));
                second.descrRicl = optText(get(r, "DESCRCONTORICL"));
            }
            set.rows.push_back(std::move(first));
            set.rows.push_back(std::move(second));
        }
        return set;
    }

    // --- COGE, HYPE, CONS: the working table on the server -----------------------------------
    {
        auto rows = readAll(conn, "SELECT CG10_MASKEDIT, CG10_NUMLIVELLI  FROM CG10_DESPDC \r\n  WHERE CG10_GRUPPO = " +
                                      (set.chart.empty() ? std::string("-1") : set.chart));
        set.mask = rows.empty() ? ledgerMaskForLevels(levels) : ledgerMaskFromEdit(get(rows.front(), "CG10_MASKEDIT").toText());
    }
    {
        auto rows = readAll(conn, " SELECT CG36_CODICE, CG36_CONTO_CG24 FROM " + prefixFor(set.database) +
                                      "CG36_PRSPDC WITH(NOLOCK) WHERE CG36_GRUPPO_CG10 = " +
                                      (set.chart.empty() ? std::string("0") : set.chart));
        for (const auto& r : rows) {
            auto code = get(r, "CG36_CODICE");
            if (code.isNull()) continue;
            if (code.toInt32() == 10 && set.customersMaster.empty()) set.customersMaster = get(r, "CG36_CONTO_CG24").toText();
            if (code.toInt32() == 20 && set.suppliersMaster.empty()) set.suppliersMaster = get(r, "CG36_CONTO_CG24").toText();
        }
    }

    WorkingTableInput in;
    in.kind = request.kind;
    in.chart = set.chart;
    in.reclChart = request.reclChart;
    in.intercompany = request.intercompany;
    in.levels = levels;
    in.consLevels = consLevels;
    in.mask = set.mask;
    in.customersMaster = set.customersMaster;
    in.suppliersMaster = set.suppliersMaster;
    in.database = set.database;
    in.company = request.company;
    set.statement = creaTabellaSql(in);

    try {
        conn.Execute("DROP TABLE #CORRPDCRICL");
    } catch (const db::Exception&) {
        conn.Errors().Clear();   // the table does not exist yet
    }
    conn.Execute(set.statement);
    auto rs = conn.Execute(readingQuerySql());
    if (!rs || rs->State() != db::ado::adStateOpen || rs->RecordCount() == 0) throw ListRefused(noRows);
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        WorkingRow w;
        w.contoPdc = rs->value("CONTOPDC").toText();
        w.descrPdc = rs->value("DESCRPDC").toText();
        w.contoPdcGrid = optText(rs->value("CONTOPDCGRID"));
        w.descrPdcGrid = optText(rs->value("DESCRPDCGRID"));
        w.contoRicl = optText(rs->value("CONTORICL"));
        w.descrRicl = optText(rs->value("DESCRRICL"));
        w.segno = static_cast<int>(rs->value("SEGNO").toInt64());
        w.indTipoConto = optInt(rs->value("INDTIPOCONTO"));
        w.tipoCF = optInt(rs->value("TIPOCF"));
        if (w.contoPdcGrid) w.displayCode = formatCode(*w.contoPdcGrid, set.mask);
        set.rows.push_back(std::move(w));
    }
    return set;
}

}  // namespace brevanto::cli
