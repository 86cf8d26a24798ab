#include "report/ReportContent.h"

#include <cctype>
#include <ctime>
#include <optional>

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Recordset.h"
#include "standalone/components/Decoders.h"

namespace report {

namespace {

bool isWholeNumber(const std::string& s) {
    if (s.empty()) return false;
    for (unsigned char c : s)
        if (!std::isdigit(c)) return false;
    return true;
}

// The first column of the first row a statement returns, or nothing.
std::optional<std::string> firstValue(db::Connection& conn, const std::string& sql) {
    auto rs = conn.Execute(sql);
    if (!rs || rs->State() != db::ado::adStateOpen || rs->RecordCount() == 0) return std::nullopt;
    rs->MoveFirst();
    return rs->fields().Item(0).Value().toText();
}

std::string codeAndDescription(const std::string& code, const std::string& description) {
    return description.empty() ? code : code + " - " + description;
}

// The company's name where the host keeps one; a host database without that table just
// shows the code.
std::string companyText(db::Connection& conn, const std::string& company) {
    if (!isWholeNumber(company)) return company;
    try {
        auto name = firstValue(conn, "SELECT CG18_RAGSOC FROM CG18_ANADITTA WITH(NOLOCK) WHERE CG18_DITTA = " + company);
        return codeAndDescription(company, name.value_or(""));
    } catch (const db::Exception&) {
        conn.Errors().Clear();
        return company;
    }
}

// The reclassification chart's name in the heading, and in the messages' sentences.
const char* reclChartLabel(Kind kind) {
    switch (kind) {
    case Kind::HYPE: return "PdC Hyperion";
    case Kind::CONS: return "PdC riclassificato intercompany";
    default: return "PdC riclassificazione";
    }
}

const char* reclChartNoun(Kind kind) {
    switch (kind) {
    case Kind::HYPE: return "piano dei conti Hyperion";
    case Kind::CONS: return "piano riclassificato intercompany";
    default: return "piano di riclassificazione";
    }
}

}  // namespace

const char* reportTitle(Kind kind) {
    switch (kind) {
    case Kind::COGE: return "Correlazioni PdC contabile - riclassificazione di bilancio";
    case Kind::COIN: return "Correlazioni PdC analitico - riclassificazione";
    case Kind::HYPE: return "Correlazioni PdC contabile - PdC Hyperion";
    case Kind::CONS: return "Correlazioni PdC contabile - riclassificato intercompany";
    }
    return "";
}

const char* signText(int segno) { return segno == 1 ? "Dare" : segno == 2 ? "Avere" : ""; }

ReportTotals countTotals(const std::vector<WorkingRow>& rows) {
    ReportTotals t;
    const std::string* previous = nullptr;
    for (const auto& r : rows) {
        if (!previous || *previous != r.contoPdc) ++t.accounts;
        previous = &r.contoPdc;
        if (r.segno != 1 && r.segno != 2) continue;
        const bool correlated = r.contoRicl && !r.contoRicl->empty();
        ++(correlated ? t.correlated : t.uncorrelated)[static_cast<std::size_t>(r.segno - 1)];
    }
    return t;
}

std::string currentTimeText() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%d/%m/%Y %H:%M", &local);
    return text;
}

ReportContent buildReportContent(db::Connection& conn, const ReportRequest& request) {
    if (request.kind == Kind::COIN)
        throw ReportRefused("La correlazione analitica (COIN) non prevede la stampa delle correlazioni.");
    if (request.kind == Kind::CONS) {
        if (request.intercompany.empty()) throw ReportRefused("Indicare la struttura intercompany da stampare.");
    } else if (request.ledgerChart.empty()) {
        throw ReportRefused("Indicare il piano dei conti da stampare.");
    }
    const std::string reclNoun = reclChartNoun(request.kind);
    if (request.reclChart.empty()) throw ReportRefused("Indicare il " + reclNoun + " da stampare.");

    ReportContent content;
    content.kind = request.kind;
    content.title = reportTitle(request.kind);
    content.printedAt = currentTimeText();
    content.heading.push_back({"Ditta", companyText(conn, request.company)});

    // The descriptions come from the host's own decoders; a code they do not find is refused
    // here, before the working rows would refuse it with a less telling message.
    std::string structureText;
    if (request.kind == Kind::CONS) {
        auto sql = standalone::StandaloneIntercompanyDecoder().decode(db::Variant(request.intercompany), nullptr).sql;
        auto descr = firstValue(conn, sql);
        if (!descr) throw ReportRefused("La struttura intercompany " + request.intercompany + " non esiste.");
        structureText = codeAndDescription(request.intercompany, *descr);
    }
    auto reclSql = standalone::StandaloneReclChartDecoder().decode(db::Variant(request.reclChart), nullptr, nullptr).sql;
    auto reclDescr = firstValue(conn, reclSql);
    if (!reclDescr)
        throw ReportRefused("Il " + reclNoun + " " + request.reclChart + " non esiste.");

    brevanto::cli::ListRequest list;
    list.kind = request.kind;
    list.chart = request.ledgerChart;
    list.reclChart = request.reclChart;
    list.intercompany = request.intercompany;
    list.company = request.company;
    list.allowEmpty = true;
    brevanto::cli::WorkingSet set;
    try {
        set = brevanto::cli::loadWorkingRows(conn, list);
    } catch (const brevanto::cli::ListRefused& e) {
        throw ReportRefused(e.what());
    }

    if (request.kind == Kind::CONS) content.heading.push_back({"Struttura intercompany", structureText});
    std::string chartText = codeAndDescription(set.chart, set.chartDescr);
    if (!set.database.empty()) chartText += " (database " + set.database + ")";
    content.heading.push_back({request.kind == Kind::COIN ? "PdC analitico" : "PdC contabile", chartText});
    content.heading.push_back({reclChartLabel(request.kind), codeAndDescription(request.reclChart, *reclDescr)});

    content.rows = std::move(set.rows);
    content.totals = countTotals(content.rows);
    return content;
}

}  // namespace report
