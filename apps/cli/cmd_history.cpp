// brevanto-cli history: the correlation writes kept in the database's history table
// (BRV_STORICO), one line per changed correlation, as text or JSON.

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cctype>
#include <iostream>
#include <memory>

#include "apps/cli/CliSupport.h"
#include "apps/cli/Commands.h"
#include "apps/cli/HistoryJson.h"
#include "apps/cli/MappingScope.h"
#include "db/Connection.h"
#include "journal/HistoryTable.h"
#include "mapping/Scope.h"
#include "statements/CorrelationKindNames.h"

namespace brevanto::cli {

namespace {

struct HistoryOptions {
    std::string conn;
    std::string dir;
    std::string kind;
    std::string since;
    bool json = false;
};

bool isIsoDate(const std::string& s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    const int month = std::stoi(s.substr(5, 2)), day = std::stoi(s.substr(8, 2));
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

std::string signText(int sign) { return sign == 1 ? "Dare" : sign == 2 ? "Avere" : std::to_string(sign); }

// "10 / 101" (CONS: the structure / the reclassified chart).
std::string scopeText(const journal::Scope& s) { return s.ledger + " / " + s.reclChart; }

void printJson(const std::vector<journal::Step>& steps) {
    auto out = nlohmann::ordered_json::array();
    for (const auto& s : steps) {
        nlohmann::ordered_json step{{"step", s.id},           {"source", s.source},
                                    {"user", s.user},         {"time", s.time},
                                    {"kind", editor::kindName(s.scope.kind)},
                                    {"ledger", s.scope.ledger}, {"reclChart", s.scope.reclChart}};
        if (s.refersTo) step["refersTo"] = s.refersTo;
        step["changes"] = changesJson<nlohmann::ordered_json>(s.changes);
        out.push_back(std::move(step));
    }
    std::cout << out.dump(2) << '\n';
}

void printText(const std::vector<journal::Step>& steps) {
    if (steps.empty()) {
        std::cout << "Nessuna modifica nello storico.\n";
        return;
    }
    std::vector<std::vector<std::string>> rows;
    std::size_t changes = 0;
    for (const auto& s : steps) {
        std::string source = s.source;
        if (s.refersTo) source += " del passo " + std::to_string(s.refersTo);
        for (const auto& c : s.changes) {
            rows.push_back({std::to_string(s.id), s.time, s.user, source, editor::kindName(s.scope.kind),
                            scopeText(s.scope),
                            (c.rows == journal::Rows::Intermediary ? "intermediario " : "") + c.account,
                            signText(c.sign), c.before.empty() ? "-" : c.before, c.after.empty() ? "-" : c.after});
            ++changes;
        }
    }
    printTable(std::cout, {"Passo", "Data e ora", "Utente", "Origine", "Tipo", "Piani", "Conto", "Segno", "Prima", "Dopo"},
               rows);
    std::cout << steps.size() << (steps.size() == 1 ? " passo, " : " passi, ") << changes
              << (changes == 1 ? " correlazione\n" : " correlazioni\n");
}

int runHistory(const HistoryOptions& o) {
    journal::HistoryFilter filter;
    if (!o.kind.empty()) {
        auto kind = mapping::kindFromName(o.kind);
        if (!kind) throw std::runtime_error("tipo di correlazione sconosciuto '" + o.kind + "' (COGE, COIN, HYPE, CONS)");
        filter.kind = static_cast<int>(*kind);
    }
    if (!o.since.empty()) {
        if (!isIsoDate(o.since)) throw std::runtime_error("data non valida '" + o.since + "': indicarla come AAAA-MM-GG");
        filter.since = o.since;
    }
    auto conn = openMappingConnection(o.conn, o.dir);
    return runMapping(*conn, [&] {
        std::vector<journal::Step> steps;
        if (journal::historyTableExists(*conn))
            steps = journal::readHistory(*conn, filter);
        else if (!o.json)
            std::cerr << "Nessuno storico in questo database: la tabella " << journal::kHistoryTable
                      << " non esiste ancora.\n";
        if (o.json)
            printJson(steps);
        else
            printText(steps);
        return 0;
    });
}

}  // namespace

void setupHistoryCommand(CLI::App& app) {
    auto options = std::make_shared<HistoryOptions>();
    auto* cmd = app.add_subcommand("history", "Storico delle modifiche alle correlazioni (tabella BRV_STORICO)");
    cmd->add_option("--kind", options->kind, std::string("Solo un tipo di correlazione: ") + editor::kCorrelationKindChoices);
    cmd->add_option("--since", options->since, "Solo le modifiche da questa data (AAAA-MM-GG)");
    addConnectionOptions(*cmd, options->conn, options->dir);
    cmd->add_flag("--json", options->json, "Risultato in formato JSON");
    setCommandBody(*cmd, [options] { return runHistory(*options); });
}

}  // namespace brevanto::cli
