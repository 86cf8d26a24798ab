#include "apps/cli/WorkingRows.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Recordset.h"
#include "db/SqlText.h"
#include "resources/ModuleMessages.h"
#include "statements/HeaderStatements.h"
#include "statements/SqlValues.h"
#include "statements/WorkingTableStatements.h"
#include "text/Mask.h"
#include "text/Text.h"

namespace brevanto::cli {

namespace {


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
    for (long i = 0; i < fields.Count(); ++i) names.push_back(text::toUpperAscii(fields.Item(i).Name()));
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
    auto rows = readAll(conn, editor::chartTypeQuery(code));
    if (rows.empty()) return 0;
    auto v = get(rows.front(), "PC01_INDTIPOPDC");
    return v.isNull() ? 0 : v.toInt32();
}

// The refusals the editor gives for the same header, in the module's own words (resources/).
constexpr int kMsgChartNotConfigured = 116;
constexpr int kMsgNotBalanceReclassification = 119;
constexpr int kMsgNotIntercompanyReclassified = 120;
constexpr int kMsgStructureWithoutCompany = 121;

std::string moduleText(int id) { return resources::moduleMessage(id).value_or(""); }

bool chartConfigured(db::Connection& conn, const std::string& code) {
    return !readAll(conn, editor::chartConfiguredQuery(code)).empty();
}

}  // namespace

// The editor's own builders write these statements; the command line only refuses codes that
// are not numbers first, so that a typing mistake is a clear message rather than an SQL error.
std::string creaTabellaSql(const WorkingTableInput& in) {
    editor::WorkingTableInput e;
    e.kind = in.kind;
    e.chartCode = bareCode(in.chart, "il piano dei conti");
    e.reclChartCode = bareCode(in.reclChart, "il piano di riclassificazione");
    e.intercompanyCode = in.kind == Kind::CONS ? bareCode(in.intercompany, "la struttura intercompany") : in.intercompany;
    e.levels = in.levels;
    e.consolidationLevels = in.consLevels;
    e.mask = in.mask;
    e.customersMaster = in.customersMaster;
    e.suppliersMaster = in.suppliersMaster;
    e.intercompanyDatabase = in.database;
    e.companyCode = bareCode(in.company, "la ditta");
    return editor::workingTableStatement(e);
}

std::string readingQuerySql() { return editor::workingTableReadingQuery(); }

std::string coinQuerySql(const std::string& analyticChart, const std::string& reclChart,
                         const std::string& company) {
    return editor::analyticRowsQuery(bareCode(analyticChart, "il piano dei conti analitico"),
                                     bareCode(reclChart, "il piano di riclassificazione"),
                                     bareCode(company, "la ditta"));
}

std::string ledgerMaskFromEdit(const std::string& maskEdit) { return editor::maskFromStored(maskEdit); }

std::string ledgerMaskForLevels(int levels) { return editor::maskForLevels(levels).value_or(""); }

PreparedChart prepareChart(db::Connection& conn, const ListRequest& request) {
    PreparedChart prepared;
    WorkingSet& set = prepared.set;
    int& levels = prepared.levels;
    int& consLevels = prepared.consLevels;
    const std::string ricl = bareCode(request.reclChart, "il piano di riclassificazione");
    if (request.reclChart.empty()) throw ListRefused("Indicare il piano di riclassificazione (--ricl).");

    // --- The chart to be reclassified ---------------------------------------------------------
    if (request.kind == Kind::CONS) {
        const std::string structure = bareCode(request.intercompany, "la struttura intercompany");
        if (request.intercompany.empty()) throw ListRefused("Indicare la struttura intercompany (--intercompany).");
        auto rows = readAll(conn, editor::intercompanyStructureQuery(bareCode(structure, "la struttura intercompany")));
        std::string company;
        if (!rows.empty()) {
            set.database = get(rows.front(), "CGB1_DATABASE").toText();
            company = get(rows.front(), "CGC0_DITTA_CG18").toText();
        }
        if (company.empty())
            throw ListRefused(db::replaceAll(moduleText(kMsgStructureWithoutCompany), "%1", structure));
        if (set.database.find_first_of("[]") != std::string::npos)
            throw ListRefused("Nome di database intercompany non valido: " + set.database);
        auto chartRows = readAll(conn, editor::intercompanyChartQuery(bareCode(company, "la ditta intercompany"), set.database));
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
        if (t != 4) throw ListRefused(moduleText(kMsgNotIntercompanyReclassified));
    } else if (t != 3 && t != 5 && t != 6) {
        throw ListRefused(moduleText(kMsgNotBalanceReclassification));
    }
    if (!chartConfigured(conn, ricl)) throw ListRefused(moduleText(kMsgChartNotConfigured));

    if (request.kind == Kind::COIN) return prepared;

    // --- COGE, HYPE, CONS: the mask and the masters ------------------------------------------------
    {
        auto rows = readAll(conn, editor::maskQuery(set.chart));
        set.mask = rows.empty() ? ledgerMaskForLevels(levels) : ledgerMaskFromEdit(get(rows.front(), "CG10_MASKEDIT").toText());
    }
    {
        auto rows = readAll(conn, editor::masterAccountsQuery(set.chart, set.database));
        for (const auto& r : rows) {
            auto code = get(r, "CG36_CODICE");
            if (code.isNull()) continue;
            if (code.toInt32() == 10 && set.customersMaster.empty()) set.customersMaster = get(r, "CG36_CONTO_CG24").toText();
            if (code.toInt32() == 20 && set.suppliersMaster.empty()) set.suppliersMaster = get(r, "CG36_CONTO_CG24").toText();
        }
    }
    return prepared;
}

std::string ledgerAccountsSql(const ListRequest& request, const PreparedChart& prepared) {
    const WorkingSet& set = prepared.set;
    return "SELECT CG24_CONTO, CG24_DESCR, CG24_INDTIPOCONTO FROM " + editor::databasePrefix(set.database) +
           "CG24_TABPDC WITH(NOLOCK) WHERE CG24_GRUPPO_CG10 = " + bareCode(set.chart, "il piano dei conti") +
           " AND ((" + editor::levelFilter(request.kind, prepared.levels, prepared.consLevels, set.mask) +
           ") OR CG24_CONTO = '" + editor::textValue(set.customersMaster) + "' OR CG24_CONTO = '" +
           editor::textValue(set.suppliersMaster) + "') ORDER BY CG24_CONTO";
}

namespace {

// A cell by the index of its field; a field the recordset lacks reads as Null.
db::Variant cellOf(const db::RowRef& row, std::optional<std::size_t> column) {
    return column ? row[*column] : db::Variant::null();
}

// A text cell into a reused string; another value through its text form.
void assignText(std::string& out, const db::RowRef& row, std::optional<std::size_t> column) {
    if (column)
        if (auto text = row.textAt(*column)) {
            out.assign(*text);
            return;
        }
    out = cellOf(row, column).toText();
}

void assignOptText(std::optional<std::string>& out, const db::RowRef& row, std::optional<std::size_t> column) {
    if (column)
        if (auto text = row.textAt(*column)) {
            if (out)
                out->assign(*text);
            else
                out.emplace(*text);
            return;
        }
    out = optText(cellOf(row, column));
}

}  // namespace

WorkingRowReader::WorkingRowReader(db::Connection& conn, const ListRequest& request) : kind_(request.kind) {
    PreparedChart prepared = prepareChart(conn, request);
    set_ = std::move(prepared.set);
    const std::string noRows = "Non è stato definito nessun conto del piano dei conti impostato.";

    if (request.kind == Kind::COIN) {
        // The rows are built here from the analytic chart.
        for (const auto& r : readAll(conn, "SELECT PC03_CONTO, PC03_INDANALITICO FROM PC03_ANAGPDC "
                                           "WHERE PC03_CODICE_PC01 = " + set_.chart)) {
            auto v = get(r, "PC03_INDANALITICO");
            analytic_[get(r, "PC03_CONTO").toText()] = !v.isNull() && v.toInt32() != 0;
        }
        set_.statement = coinQuerySql(request.chart, request.reclChart, request.company);
        rows_ = conn.Execute(set_.statement);
    } else {
        // COGE, HYPE, CONS: the working table on the server.
        WorkingTableInput in;
        in.kind = request.kind;
        in.chart = set_.chart;
        in.reclChart = request.reclChart;
        in.intercompany = request.intercompany;
        in.levels = prepared.levels;
        in.consLevels = prepared.consLevels;
        in.mask = set_.mask;
        in.customersMaster = set_.customersMaster;
        in.suppliersMaster = set_.suppliersMaster;
        in.database = set_.database;
        in.company = request.company;
        set_.statement = creaTabellaSql(in);

        try {
            conn.Execute("DROP TABLE #CORRPDCRICL");
        } catch (const db::Exception&) {
            conn.Errors().Clear();   // the table does not exist yet
        }
        conn.Execute(set_.statement);
        rows_ = conn.Execute(readingQuerySql());
    }
    if (!rows_ || rows_->State() != db::ado::adStateOpen || rows_->RecordCount() == 0) {
        rows_.reset();
        if (request.allowEmpty) return;
        throw ListRefused(noRows);
    }
    if (kind_ == Kind::COIN)
        forEachCoin([this](const WorkingRow&) { ++count_; }, 0);
    else
        count_ = static_cast<std::size_t>(rows_->RecordCount());
}

void WorkingRowReader::forEach(const std::function<void(const WorkingRow&)>& visit, std::size_t limit) const {
    if (!rows_) return;
    if (kind_ == Kind::COIN) {
        forEachCoin(visit, limit);
        return;
    }
    auto column = [this](std::string_view name) { return rows_->fields().indexOf(name); };
    const auto contoPdc = column("CONTOPDC"), descrPdc = column("DESCRPDC"), contoPdcGrid = column("CONTOPDCGRID"),
               descrPdcGrid = column("DESCRPDCGRID"), contoRicl = column("CONTORICL"), descrRicl = column("DESCRRICL"),
               segno = column("SEGNO"), indTipoConto = column("INDTIPOCONTO"), tipoCF = column("TIPOCF");
    const long n = limit ? std::min<long>(rows_->viewSize(), static_cast<long>(limit)) : rows_->viewSize();
    WorkingRow w;
    for (long i = 0; i < n; ++i) {
        const db::RowRef r = rows_->viewRow(i);
        assignText(w.contoPdc, r, contoPdc);
        assignText(w.descrPdc, r, descrPdc);
        assignOptText(w.contoPdcGrid, r, contoPdcGrid);
        assignOptText(w.descrPdcGrid, r, descrPdcGrid);
        assignOptText(w.contoRicl, r, contoRicl);
        assignOptText(w.descrRicl, r, descrRicl);
        w.segno = static_cast<int>(cellOf(r, segno).toInt64());
        w.indTipoConto = optInt(cellOf(r, indTipoConto));
        w.tipoCF = optInt(cellOf(r, tipoCF));
        if (w.contoPdcGrid)
            w.displayCode = text::applyMask(set_.mask, *w.contoPdcGrid, text::MaskFill::FromLeft);
        else
            w.displayCode.clear();
        visit(w);
    }
}

// ValorizzaGridOld: each analytic account gives a debit and a credit row, with the
// correlations the query returns for it (one row per sign it has).
void WorkingRowReader::forEachCoin(const std::function<void(const WorkingRow&)>& visit, std::size_t limit) const {
    auto column = [this](std::string_view name) { return rows_->fields().indexOf(name); };
    const auto contoPdc = column("CONTOPDC"), descrConto = column("DESCRCONTO"), segnoColumn = column("SEGNO"),
               contoRicl = column("CONTOPDCRICL"), descrRicl = column("DESCRCONTORICL");
    auto isAnalytic = [&](const std::string& code) {
        auto it = analytic_.find(code);
        return it != analytic_.end() && it->second;
    };
    std::size_t given = 0;
    const long n = rows_->viewSize();
    for (long i = 0; i < n; ++i) {
        const db::RowRef r = rows_->viewRow(i);
        std::string code = cellOf(r, contoPdc).toText();
        if (!isAnalytic(code)) continue;
        std::string descr = cellOf(r, descrConto).toText();
        WorkingRow first{code, descr, code, descr, {}, {}, 1, {}, {}, text::applyMask(set_.mask, code, text::MaskFill::FromLeft)};
        WorkingRow second{code, descr, {}, {}, {}, {}, 2, {}, {}, ""};
        auto segno = cellOf(r, segnoColumn);
        if (segno.isNull() || segno.isEmpty() || segno.toText().empty()) {
            // no correlation for this account
        } else if (segno.toInt32() == 1) {
            first.contoRicl = optText(cellOf(r, contoRicl));
            first.descrRicl = optText(cellOf(r, descrRicl));
            if (i + 1 < n && cellOf(rows_->viewRow(i + 1), contoPdc).toText() == code) {
                ++i;   // the same account's credit-side correlation
                const db::RowRef credit = rows_->viewRow(i);
                second.contoRicl = optText(cellOf(credit, contoRicl));
                second.descrRicl = optText(cellOf(credit, descrRicl));
            }
        } else {
            second.contoRicl = optText(cellOf(r, contoRicl));
            second.descrRicl = optText(cellOf(r, descrRicl));
        }
        for (const WorkingRow* w : {&first, &second}) {
            if (limit && given == limit) return;
            visit(*w);
            ++given;
        }
    }
}

WorkingSet loadWorkingRows(db::Connection& conn, const ListRequest& request) {
    WorkingRowReader reader(conn, request);
    WorkingSet set = reader.set();
    set.rows.reserve(reader.count());
    reader.forEach([&set](const WorkingRow& row) { set.rows.push_back(row); });
    return set;
}

}  // namespace brevanto::cli
