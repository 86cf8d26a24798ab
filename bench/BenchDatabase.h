#pragma once
// The database the editor and print benchmarks share: the demo data plus
// BREVANTO_BENCH_ACCOUNTS generated accounts (default 100000) in chart 10, built on first use
// in a folder of its own and removed at exit.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "db/Connection.h"
#include "db/schema/DemoData.h"
#include "db/schema/Schema.h"

namespace benchdb {

struct BenchDatabase {
    std::filesystem::path dir;
    long accounts = 100000;
    BenchDatabase() {
        namespace fs = std::filesystem;
        if (const char* n = std::getenv("BREVANTO_BENCH_ACCOUNTS")) accounts = std::atol(n);
        dir = fs::temp_directory_path() / ("brevanto-editor-bench-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        auto host = db::Connection::create();
        host->Open(connectionString() + ";Create=1");
        db::schema::createHostSchema(*host);
        auto group = db::Connection::create();
        group->Open("Provider=SQLite;database=GRUPPO;Data Source=" + dir.string() + ";Create=1");
        db::schema::createHostSchema(*group);
        db::schema::DemoOptions options;
        options.generatedAccounts = accounts;
        db::schema::fillDemo(*host, *group, options);
    }
    ~BenchDatabase() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string connectionString() const { return "Provider=SQLite;database=BREVANTO;Data Source=" + dir.string(); }
};

inline BenchDatabase& database() {
    static BenchDatabase d;
    return d;
}

}  // namespace benchdb
