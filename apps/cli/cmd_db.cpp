// brevanto-cli db init: creates the host database (and with --demo the intercompany database)
// in a folder and fills them with the demonstration data; with --conn, the tables (and the
// intercompany database as a schema) in a PostgreSQL database.

#include <CLI/CLI.hpp>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>

#include "apps/cli/CliSupport.h"
#include "apps/cli/Commands.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "hostdb/DemoData.h"
#include "hostdb/HostDatabase.h"
#include "hostdb/Schema.h"
#include "text/Text.h"

namespace brevanto::cli {

namespace {

namespace fs = std::filesystem;

struct InitOptions {
    std::string dir;
    std::string conn;
    bool demo = false;
    long accounts = 0;
    bool force = false;
};

const char* const kHostDatabase = "BREVANTO";

// The host tables in the PostgreSQL database of o.conn, and with --demo the intercompany
// database as schema GRUPPO of the same database; what was made is dropped again on a failure.
int runInitPostgres(const InitOptions& o) {
    db::ConnectionString cs(o.conn);
    const std::string provider = text::toLowerAscii(cs.getOr("Provider", ""));
    if (provider != "postgresql") {
        std::cerr << "Errore: --conn indica un database PostgreSQL (Provider=PostgreSQL;Host=…;database=…); "
                     "per SQLite usare --dir\n";
        return 1;
    }
    if (o.force) {
        std::cerr << "Errore: --force non vale con --conn: le tabelle di un server non vengono mai sostituite\n";
        return 1;
    }
    const std::string database = cs.getOr("database", "");
    auto started = std::chrono::steady_clock::now();
    auto host = hostdb::createPostgresHost(o.conn);
    std::cout << "Create le tabelle nel database " << database << " (" << hostdb::hostTableNames().size()
              << " tabelle)\n";
    if (o.demo) {
        try {
            auto group = hostdb::createPostgresSchema(o.conn, hostdb::kDemoGroupDatabase);
            std::cout << "Creato lo schema " << hostdb::kDemoGroupDatabase << " (database intercompany)\n";
            hostdb::DemoOptions options;
            options.generatedAccounts = o.accounts;
            auto summary = hostdb::fillDemo(*host, *group, options);
            group->Close();
            double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            std::cout << "Dati dimostrativi: " << summary.hostRows << " righe in " << database << ", "
                      << summary.groupRows << " righe in " << hostdb::kDemoGroupDatabase << "; piano dei conti "
                      << hostdb::kDemoCompanyChart << " con " << summary.ledgerAccounts10 << " conti ("
                      << static_cast<long>(seconds * 1000) << " ms)\n";
        } catch (...) {
            try {
                hostdb::dropPostgresHost(*host, hostdb::kDemoGroupDatabase);
            } catch (const std::exception&) {
                // The first failure is the one to report.
            }
            throw;
        }
    }
    host->Close();
    // Brevanto's name for the database after database= and the server's after Dbname=: the
    // editor reaches the intercompany database by changing the first one to GRUPPO.
    const std::string dbname = cs.getOr("Dbname", database);
    std::cout << "Stringa di connessione: " << cs.without({"Password", "PWD", "database", "Dbname"})
              << "Dbname=" << dbname << ";database=" << kHostDatabase << ";Password=…\n";
    return 0;
}

int runInit(const InitOptions& o) {
    if (!o.conn.empty()) return runInitPostgres(o);
    if (o.dir.empty()) {
        std::cerr << "Errore: indicare la cartella (--dir) o il database PostgreSQL (--conn)\n";
        return 1;
    }
    std::error_code ec;
    fs::path dir = fs::absolute(o.dir, ec);
    if (ec) dir = o.dir;
    if (o.accounts > 0 && !o.demo) {
        std::cerr << "Errore: --accounts si usa insieme a --demo\n";
        return 1;
    }

    // The folder itself (a ';' in its name, a file in its place, one that cannot be made) is
    // checked where the databases are made.
    const fs::path hostFile = hostdb::databaseFileIn(dir, kHostDatabase);
    const fs::path groupFile = hostdb::databaseFileIn(dir, hostdb::kDemoGroupDatabase);
    std::vector<fs::path> targets{hostFile};
    if (o.demo) targets.push_back(groupFile);
    for (const auto& f : targets) {
        if (!fs::exists(f, ec)) continue;
        if (!o.force) {
            std::cerr << "Errore: il database " << f.string()
                      << " esiste già; usare --force per sostituirlo (i dati attuali andranno persi)\n";
            return 1;
        }
        if (auto removed = hostdb::removeDatabaseFiles(f)) {
            std::cerr << "Errore: impossibile rimuovere " << f.string() << ": " << hostdb::fileErrorText(removed)
                      << '\n';
            return 1;
        }
    }

    auto started = std::chrono::steady_clock::now();
    auto host = hostdb::createHostDatabase(dir, kHostDatabase);
    std::cout << "Creato " << hostFile.string() << " (" << hostdb::hostTableNames().size() << " tabelle)\n";
    if (o.demo) {
        auto group = hostdb::createHostDatabase(dir, hostdb::kDemoGroupDatabase);
        std::cout << "Creato " << groupFile.string() << " (database intercompany)\n";
        hostdb::DemoOptions options;
        options.generatedAccounts = o.accounts;
        auto summary = hostdb::fillDemo(*host, *group, options);
        group->Close();
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::cout << "Dati dimostrativi: " << summary.hostRows << " righe in " << kHostDatabase << ", "
                  << summary.groupRows << " righe in " << hostdb::kDemoGroupDatabase << "; piano dei conti "
                  << hostdb::kDemoCompanyChart << " con " << summary.ledgerAccounts10 << " conti ("
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
    auto* dir = init->add_option("--dir", options->dir, "Cartella dei file di database");
    auto* conn = init->add_option("--conn", options->conn,
                                  "Database PostgreSQL (Provider=PostgreSQL;Host=…;Port=…;database=…;User=…;Password=…)");
    dir->excludes(conn);
    conn->excludes(dir);
    init->add_flag("--demo", options->demo, "Riempie i database con i dati dimostrativi");
    init->add_option("--accounts", options->accounts, "Conti generati in aggiunta nel PdC 10, collegati allo schema CEE 82")
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
