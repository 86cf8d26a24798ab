// brevanto-cli check: "Verifica correlazioni" of one correlation kind and its charts: the
// groups of findings with their counts, as text, JSON or an .xlsx workbook. The exit status
// is 1 when anything but the information group is found.

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "apps/cli/CliSupport.h"
#include "apps/cli/Commands.h"
#include "apps/cli/MappingScope.h"
#include "db/Connection.h"
#include "mapping/ChartData.h"
#include "mapping/Check.h"
#include "standalone/XlsxWorkbook.h"

namespace brevanto::cli {

namespace {

struct CheckOptions : ChartOptions {
    std::string conn;
    std::string dir;
    std::string xlsx;
    long limit = 0;
    bool json = false;
};

// A finding of both signs (the signs that differ) names both.
std::string signText(int sign) { return sign == 0 ? "Dare e Avere" : mapping::signName(sign); }

bool isMissing(mapping::CheckGroup group) {
    return group == mapping::CheckGroup::MissingDebit || group == mapping::CheckGroup::MissingCredit;
}

std::vector<const mapping::Finding*> findingsOf(const mapping::CheckReport& report, mapping::CheckGroup group) {
    std::vector<const mapping::Finding*> out;
    for (const auto& f : report.findings)
        if (f.group == group) out.push_back(&f);
    return out;
}

std::string outcome(const mapping::CheckReport& report) {
    if (report.hasProblems()) return "Esito: correlazioni da sistemare.";
    return report.findings.empty() ? "Esito: nessun problema." : "Esito: nessun problema (solo informazioni).";
}

void printText(const mapping::CheckReport& report, const mapping::ChartData& data, long limit) {
    std::cout << "Verifica correlazioni: " << mapping::describeScope(report.scope) << " (" << data.accounts.size()
              << " conti)\n";
    std::vector<std::vector<std::string>> summary;
    for (auto group : mapping::kCheckGroups)
        summary.push_back({mapping::groupTitle(group), std::to_string(report.count(group))});
    printTable(std::cout, {"Gruppo", "Numero"}, summary);

    for (auto group : mapping::kCheckGroups) {
        const auto found = findingsOf(report, group);
        if (found.empty()) continue;
        std::cout << '\n' << mapping::groupTitle(group) << ": " << found.size() << '\n';
        std::size_t shown = found.size();
        if (limit > 0 && static_cast<std::size_t>(limit) < shown) shown = static_cast<std::size_t>(limit);
        std::vector<std::vector<std::string>> rows;
        rows.reserve(shown);
        for (std::size_t i = 0; i < shown; ++i) {
            const auto& f = *found[i];
            if (isMissing(group))
                rows.push_back({f.shownAccount, f.description});
            else
                rows.push_back({f.shownAccount, f.description, signText(f.key.sign), f.target, f.detail});
        }
        if (isMissing(group))
            printTable(std::cout, {"Conto", "Descrizione"}, rows);
        else
            printTable(std::cout, {"Conto", "Descrizione", "Segno", "Conto riclassificato", "Dettaglio"}, rows);
        if (shown < found.size()) std::cout << "(mostrati " << shown << " di " << found.size() << ")\n";
    }
    std::cout << '\n' << outcome(report) << '\n';
}

nlohmann::ordered_json scopeJson(const mapping::Scope& scope) {
    nlohmann::ordered_json j;
    j["kind"] = mapping::kindName(scope.kind);
    j["chart"] = scope.chart;
    j["reclChart"] = scope.reclChart;
    if (scope.kind == mapping::CorrelationKind::CONS) j["intercompany"] = scope.intercompany;
    j["company"] = scope.company;
    return j;
}

void printJson(const mapping::CheckReport& report, const mapping::ChartData& data) {
    nlohmann::ordered_json out;
    out["scope"] = scopeJson(report.scope);
    out["accounts"] = data.accounts.size();
    out["problems"] = report.hasProblems();
    auto groups = nlohmann::ordered_json::array();
    for (auto group : mapping::kCheckGroups) {
        nlohmann::ordered_json g;
        g["id"] = mapping::groupId(group);
        g["title"] = mapping::groupTitle(group);
        g["information"] = mapping::isInformation(group);
        auto findings = nlohmann::ordered_json::array();
        for (const auto* f : findingsOf(report, group)) {
            nlohmann::ordered_json j;
            j["account"] = f->key.account;
            j["shownAccount"] = f->shownAccount;
            j["description"] = f->description;
            j["sign"] = f->key.sign;
            j["target"] = f->target;
            j["detail"] = f->detail;
            findings.push_back(std::move(j));
        }
        g["count"] = findings.size();
        g["findings"] = std::move(findings);
        groups.push_back(std::move(g));
    }
    out["groups"] = std::move(groups);
    std::cout << out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

// One sheet: the scope, the counts, then a table per group that found something.
void writeXlsx(const mapping::CheckReport& report, const mapping::ChartData& data, const std::string& file) {
    using standalone::ExportSection;
    std::vector<ExportSection> sections;
    ExportSection scope;
    scope.kind = ExportSection::Kind::Master;
    std::vector<std::pair<std::string, std::string>> pairs = {
        {"Tipo di correlazione", mapping::kindName(report.scope.kind)},
        {"PdC", report.scope.chart},
        {"Descrizione PdC", data.chartDescription},
        {"PdC di riclassificazione", report.scope.reclChart},
        {"Descrizione PdC di riclassificazione", data.reclChartDescription},
    };
    if (report.scope.kind == mapping::CorrelationKind::CONS)
        pairs.emplace_back("Struttura intercompany", report.scope.intercompany);
    scope.values.reserve(pairs.size());
    for (const auto& [caption, value] : pairs) {
        scope.captions.push_back(caption);
        scope.values.emplace_back(value);
    }
    sections.push_back(std::move(scope));

    ExportSection summary;
    summary.kind = ExportSection::Kind::Detail;
    summary.captions = {"Gruppo", "Numero"};
    for (auto group : mapping::kCheckGroups)
        summary.rows.push_back({mapping::groupTitle(group), static_cast<std::int64_t>(report.count(group))});
    sections.push_back(std::move(summary));

    for (auto group : mapping::kCheckGroups) {
        const auto found = findingsOf(report, group);
        if (found.empty()) continue;
        // The group's title and count above its table.
        ExportSection heading;
        heading.kind = ExportSection::Kind::Master;
        heading.captions = {mapping::groupTitle(group)};
        heading.values = {static_cast<std::int64_t>(found.size())};
        sections.push_back(std::move(heading));
        ExportSection s;
        s.kind = ExportSection::Kind::Detail;
        s.caption = mapping::groupTitle(group);
        s.captions = {"Conto", "Descrizione", "Segno", "Conto riclassificato", "Dettaglio"};
        for (const auto* f : found)
            s.rows.push_back({f->shownAccount, f->description, signText(f->key.sign), f->target, f->detail});
        sections.push_back(std::move(s));
    }
    standalone::writeWorkbook(file, "Verifica correlazioni: " + mapping::describeScope(report.scope), sections);
}

int report(const CheckOptions& o, const mapping::ChartData& data, const mapping::CheckReport& report) {
    if (o.json) {
        printJson(report, data);
    } else if (!o.xlsx.empty()) {
        writeXlsx(report, data, o.xlsx);
        std::cout << "Verifica di " << mapping::describeScope(report.scope) << " scritta in " << o.xlsx << " ("
                  << report.findings.size() << " segnalazioni)\n"
                  << outcome(report) << '\n';
    } else {
        printText(report, data, o.limit);
    }
    return report.hasProblems() ? 1 : 0;
}

int runCheck(const CheckOptions& o) {
    const mapping::Scope scope = scopeFromOptions(o);
    auto conn = openMappingConnection(o.conn, o.dir);
    return runMapping(*conn, [&] {
        const auto data = mapping::ChartData::load(*conn, scope);
        return report(o, data, mapping::checkCorrelations(*conn, data));
    });
}

}  // namespace

void setupCheckCommand(CLI::App& app) {
    auto options = std::make_shared<CheckOptions>();
    auto* cmd = app.add_subcommand(
        "check", "Verifica correlazioni: conti senza correlazione, correlazioni non più valide, …");
    addChartOptions(*cmd, *options, editor::kCorrelationKindChoices);
    addConnectionOptions(*cmd, options->conn, options->dir);
    auto* json = cmd->add_flag("--json", options->json, "Risultato in formato JSON");
    auto* xlsx = cmd->add_option("--xlsx", options->xlsx, "Scrive il risultato in una cartella di lavoro Excel (.xlsx)");
    json->excludes(xlsx);
    cmd->add_option("--limit", options->limit, "Mostra al massimo N conti per gruppo")->check(CLI::NonNegativeNumber);
    setCommandBody(*cmd, [options] { return runCheck(*options); });
}

}  // namespace brevanto::cli
