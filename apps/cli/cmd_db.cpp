// brevanto-cli db init: creates the host database (and with --demo the intercompany database)
// in a folder and fills them with the demonstration data.

#include <CLI/CLI.hpp>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>

#include "apps/cli/CliSupport.h"
#include "apps/cli/Commands.h"
#include "db/Connection.h"
#include "db/schema/DemoData.h"
#include "db/schema/Schema.h"

namespace brevanto::cli {

namespace {

namespace fs = std::filesystem;

struct InitOptions {
    std::string dir;
    bool demo = false;
    long accounts = 0;
    bool force = false;
};

const char* const kHostDatabase = "BREVANTO";

// The database file with the files SQLite keeps beside it.
std::vector<fs::path> filesOf(const fs::path& db) {
    return {db, fs::path(db.string() + "-wal"), fs::path(db.string() + "-shm"), fs::path(db.string() + "-journal")};
}

std::shared_ptr<db::Connection> createDatabase(const fs::path& dir, const std::string& name) {
    auto conn = db::Connection::create();
    conn->Open(sqliteConnectionString(dir.string(), name) + ";Create=1");
    db::schema::createHostSchema(*conn);
    return conn;
}

int runInit(const InitOptions& o) {
    std::error_code ec;
    fs::path dir = fs::absolute(o.dir, ec);
    if (ec) dir = o.dir;
    if (dir.string().find(';') != std::string::npos) {
        std::cerr << "Errore: la cartella '" << dir.string()
                  << "' contiene ';' e non può stare in una stringa di connessione\n";
        return 1;
    }
    if (o.accounts > 0 && !o.demo) {
        std::cerr << "Errore: --accounts si usa insieme a --demo\n";
        return 1;
    }
    if (fs::exists(dir, ec) && !fs::is_directory(dir, ec)) {
        std::cerr << "Errore: " << dir.string() << " esiste e non è una cartella\n";
        return 1;
    }
    fs::create_directories(dir, ec);
    if (ec) {
        std::cerr << "Errore: impossibile creare la cartella " << dir.string() << ": " << ec.message() << '\n';
        return 1;
    }

    const fs::path hostFile = dir / (std::string(kHostDatabase) + ".db");
    const fs::path groupFile = dir / (std::string(db::schema::kDemoGroupDatabase) + ".db");
    std::vector<fs::path> targets{hostFile};
    if (o.demo) targets.push_back(groupFile);
    for (const auto& f : targets) {
        if (!fs::exists(f, ec)) continue;
        if (!o.force) {
            std::cerr << "Errore: il database " << f.string()
                      << " esiste già; usare --force per sostituirlo (i dati attuali andranno persi)\n";
            return 1;
        }
        for (const auto& part : filesOf(f)) {
            fs::remove(part, ec);
            if (ec) {
                std::cerr << "Errore: impossibile rimuovere " << part.string() << ": " << ec.message() << '\n';
                return 1;
            }
        }
    }

    auto started = std::chrono::steady_clock::now();
    auto host = createDatabase(dir, kHostDatabase);
    std::cout << "Creato " << hostFile.string() << " (" << db::schema::hostTableNames().size() << " tabelle)\n";
    if (o.demo) {
        auto group = createDatabase(dir, db::schema::kDemoGroupDatabase);
        std::cout << "Creato " << groupFile.string() << " (database intercompany)\n";
        db::schema::DemoOptions options;
        options.generatedAccounts = o.accounts;
        auto summary = db::schema::fillDemo(*host, *group, options);
        group->Close();
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::cout << "Dati dimostrativi: " << summary.hostRows << " righe in " << kHostDatabase << ", "
                  << summary.groupRows << " righe in " << db::schema::kDemoGroupDatabase << "; piano dei conti "
                  << db::schema::kDemoCompanyChart << " con " << summary.ledgerAccounts10 << " conti ("
                  << static_cast<long>(seconds * 1000) << " ms)\n";
    }
    host->Close();
    std::cout << "Stringa di connessione: " << sqliteConnectionString(dir.string()) << '\n';
    return 0;
}

}  // namespace

void setupDbCommand(CLI::App& app) {
    auto* db = app.add_subcommand("db", "Gestione dei database");
    db->require_subcommand(1);
    auto options = std::make_shared<InitOptions>();
    auto* init = db->add_subcommand("init", "Crea il database BREVANTO (e con --demo quello intercompany GRUPPO)");
    init->add_option("--dir", options->dir, "Cartella dei file di database")->required();
    init->add_flag("--demo", options->demo, "Riempie i database con i dati dimostrativi");
    init->add_option("--accounts", options->accounts, "Conti generati in aggiunta nel piano dei conti 10")
        ->check(CLI::Range(0L, 4000000L));
    init->add_flag("--force", options->force, "Sostituisce i file esistenti");
    init->callback([options] {
        int rc = 1;
        try {
            rc = runInit(*options);
        } catch (const db::Error& e) {
            printErrors(std::cerr, e.items());
        } catch (const std::exception& e) {
            std::cerr << "Errore: " << e.what() << '\n';
        }
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

}  // namespace brevanto::cli
