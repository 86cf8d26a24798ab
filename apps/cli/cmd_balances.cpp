// brevanto-cli balances import|list: a trial balance read from a file and compared with the one
// kept for the same company, chart and date (written only with --apply, in one transaction, and
// only when no row is refused); the dates kept with their totals.

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "apps/cli/Commands.h"
#include "apps/cli/MappingScope.h"
#include "balances/Amounts.h"
#include "balances/BalanceJson.h"
#include "db/Connection.h"

namespace brevanto::cli {

namespace {

struct ImportOptions {
    std::string conn, dir, file, date;
    int chart = 0, company = 1;
    bool apply = false, all = false, json = false;
};

struct ListOptions {
    std::string conn, dir;
    int company = 1;
    int chart = 0;   // 0: every chart
    bool json = false;
};

std::string amountOrBlank(long long cents) { return cents == 0 ? "" : balances::formatAmount(cents); }

void printPreview(const balances::BalancePreview& preview, bool all) {
    std::cout << "File: " << preview.file.string() << '\n'
              << balances::describeTarget(preview.target) << '\n'
              << preview.summary() << '\n'
              << "Totale Dare " << balances::formatAmount(preview.totalDebit) << ", totale Avere "
              << balances::formatAmount(preview.totalCredit) << '\n';
    for (const auto& note : preview.notes) std::cout << note << '\n';
    std::vector<std::vector<std::string>> rows;
    for (const auto& r : preview.rows) {
        if (!all && r.status == balances::RowStatus::Unchanged) continue;
        rows.push_back({r.line > 0 ? std::to_string(r.line) : "", r.account, amountOrBlank(r.before.debit),
                        amountOrBlank(r.before.credit), amountOrBlank(r.after.debit), amountOrBlank(r.after.credit),
                        mapping::statusName(r.status), r.reason});
    }
    if (rows.empty()) return;
    std::cout << '\n';
    printTable(std::cout, {"Riga", "Conto", "Dare prima", "Avere prima", "Dare", "Avere", "Stato", "Motivo"}, rows);
}

int runImport(const ImportOptions& o) {
    auto conn = openMappingConnection(o.conn, o.dir);
    return runMapping(*conn, [&] {
        const balances::BalancePreview preview =
            balances::previewBalanceImport(*conn, o.file, {o.company, o.chart, o.date});
        if (!preview.fileProblems.empty()) {
            if (o.json) std::cout << balances::previewJson(preview, o.all).dump(2) << '\n';
            std::cerr << "Il bilancio non può essere importato: nulla è stato scritto.\n";
            for (const auto& p : preview.fileProblems) std::cerr << "Errore: " << p << '\n';
            return 1;
        }
        const long refused = preview.count(balances::RowStatus::Refused);
        long written = 0;
        if (o.apply && refused == 0 && preview.writes() > 0) {
            try {
                written = balances::applyBalanceImport(*conn, preview);
            } catch (const balances::BalanceOutdated& e) {
                std::cerr << "Errore: " << e.what() << '\n';
                return 1;
            } catch (const db::Error&) {
                std::cerr << "Il bilancio non è stato scritto: il database lo ha rifiutato e nulla è cambiato.\n";
                throw;
            }
        }
        if (o.json) {
            auto j = balances::previewJson(preview, o.all);
            j["scritte"] = written;
            std::cout << j.dump(2) << '\n';
        } else {
            printPreview(preview, o.all);
            std::cout << '\n';
            if (refused > 0)
                std::cout << "Nulla è stato scritto: correggere nel file "
                          << (refused == 1 ? std::string("la riga rifiutata") : "le " + std::to_string(refused) + " righe rifiutate")
                          << ".\n";
            else if (!o.apply)
                std::cout << "Anteprima: nulla è stato scritto."
                          << (preview.writes() > 0 ? " Aggiungere --apply per scrivere le " +
                                                         std::to_string(preview.writes()) + " righe cambiate."
                                                   : "")
                          << '\n';
            else
                std::cout << "Scritte " << written << " righe del bilancio.\n";
        }
        return o.apply && refused > 0 ? 1 : 0;
    });
}

int runList(const ListOptions& o) {
    auto conn = openMappingConnection(o.conn, o.dir);
    return runMapping(*conn, [&] {
        const auto kept = balances::listBalances(*conn, o.company, o.chart ? std::optional<int>(o.chart) : std::nullopt);
        if (o.json) {
            auto j = nlohmann::ordered_json::array();
            for (const auto& k : kept)
                j.push_back({{"pdc", k.chart},
                             {"data", k.date},
                             {"righe", k.rows},
                             {"totaleDare", static_cast<double>(k.debit) / 100.0},
                             {"totaleAvere", static_cast<double>(k.credit) / 100.0}});
            std::cout << j.dump(2) << '\n';
            return 0;
        }
        if (kept.empty()) {
            std::cout << "Nessun bilancio importato per la ditta " << o.company << ".\n";
            return 0;
        }
        std::vector<std::vector<std::string>> rows;
        for (const auto& k : kept)
            rows.push_back({std::to_string(k.chart), balances::italianDate(k.date), std::to_string(k.rows),
                            balances::formatAmount(k.debit), balances::formatAmount(k.credit)});
        printTable(std::cout, {"PdC", "Data", "Conti", "Totale Dare", "Totale Avere"}, rows);
        return 0;
    });
}

}  // namespace

void setupBalancesCommand(CLI::App& app) {
    auto* cmd = app.add_subcommand("balances", "Importa ed elenca i bilanci di verifica");
    cmd->require_subcommand(1);

    auto im = std::make_shared<ImportOptions>();
    auto* importCmd = cmd->add_subcommand(
        "import", "Legge un bilancio di verifica da un file .xlsx o .csv e mostra le differenze; con --apply lo scrive");
    importCmd->add_option("file", im->file, "File .xlsx o .csv da leggere (colonne Conto, Dare, Avere oppure Saldo)")->required();
    importCmd->add_option("--pdc", im->chart, "Piano dei conti (gruppo CG10)")->required();
    importCmd->add_option("--date", im->date, "Data del bilancio, AAAA-MM-GG")->required();
    importCmd->add_flag("--apply", im->apply, "Scrive il bilancio, tutto insieme, se nessuna riga è rifiutata");
    importCmd->add_flag("--tutte", im->all, "Elenca anche le righe invariate");
    importCmd->add_flag("--json", im->json, "Risultato in JSON");
    importCmd->add_option("--ditta", im->company, "Codice della ditta (predefinito 1)");
    addConnectionOptions(*importCmd, im->conn, im->dir);
    setCommandBody(*importCmd, [im] { return runImport(*im); });

    auto ls = std::make_shared<ListOptions>();
    auto* listCmd = cmd->add_subcommand("list", "Elenca le date dei bilanci importati con il numero di conti e i totali");
    listCmd->add_option("--pdc", ls->chart, "Solo questo piano dei conti");
    listCmd->add_flag("--json", ls->json, "Risultato in JSON");
    listCmd->add_option("--ditta", ls->company, "Codice della ditta (predefinito 1)");
    addConnectionOptions(*listCmd, ls->conn, ls->dir);
    setCommandBody(*listCmd, [ls] { return runList(*ls); });
}

}  // namespace brevanto::cli
