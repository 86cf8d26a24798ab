#pragma once
// The database the editor and print benchmarks share: the demo data plus
// BREVANTO_BENCH_ACCOUNTS generated accounts (default 100000) in chart 10, built on first use
// in a folder of its own and removed at exit.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "db/Connection.h"
#include "db/SqlText.h"
#include "hostdb/DemoData.h"
#include "hostdb/Schema.h"

namespace benchdb {

inline std::string connectionStringOf(const std::filesystem::path& dir) {
    return "Provider=SQLite;database=BREVANTO;Data Source=" + dir.string();
}

// A new folder `dir` holding BREVANTO.db and GRUPPO.db with the demo data plus `accounts`
// generated accounts in chart 10.
inline void buildDemoDatabase(const std::filesystem::path& dir, long accounts) {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    auto host = db::Connection::create();
    host->Open(connectionStringOf(dir) + ";Create=1");
    hostdb::createHostSchema(*host);
    auto group = db::Connection::create();
    group->Open("Provider=SQLite;database=GRUPPO;Data Source=" + dir.string() + ";Create=1");
    hostdb::createHostSchema(*group);
    hostdb::DemoOptions options;
    options.generatedAccounts = accounts;
    hostdb::fillDemo(*host, *group, options);
}

struct BenchDatabase {
    std::filesystem::path dir;
    long accounts = 100000;
    BenchDatabase() {
        if (const char* n = std::getenv("BREVANTO_BENCH_ACCOUNTS")) accounts = std::atol(n);
        dir = std::filesystem::temp_directory_path() / ("brevanto-editor-bench-" + std::to_string(::getpid()));
        buildDemoDatabase(dir, accounts);
    }
    ~BenchDatabase() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string connectionString() const { return connectionStringOf(dir); }
};

// The statements that copy reclassification chart `from` (header, configuration, accounts) as
// chart `to`, so that a benchmark can correlate a chart of its own.
inline std::string copyReclChartSql(int from, int to, const std::string& description) {
    const std::string f = std::to_string(from), t = std::to_string(to);
    return "INSERT INTO PC01_DESCRPDC (PC01_CODICE, PC01_INDTIPOPDC, PC01_DESCR, PC01_NUMLIVELLI, PC01_MASKEDIT) "
           "  SELECT " + t + ", PC01_INDTIPOPDC, " + db::sqlQuoted(description) + ", PC01_NUMLIVELLI, PC01_MASKEDIT "
           "  FROM PC01_DESCRPDC WHERE PC01_CODICE = " + f + ";"
           "INSERT INTO PC02_CONFIGPDC (PC02_CODICE_PC01) VALUES (" + t + ");"
           "INSERT INTO PC03_ANAGPDC (PC03_CODICE_PC01, PC03_CONTO, PC03_DESCR, PC03_INDANALITICO, PC03_INDTIPOCONTO) "
           "  SELECT " + t + ", PC03_CONTO, PC03_DESCR, PC03_INDANALITICO, PC03_INDTIPOCONTO "
           "  FROM PC03_ANAGPDC WHERE PC03_CODICE_PC01 = " + f + ";";
}

inline BenchDatabase& database() {
    static BenchDatabase d;
    return d;
}

}  // namespace benchdb
