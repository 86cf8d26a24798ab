#pragma once
// The PostgreSQL databases of the benchmarks, in the throw-away cluster (PostgresCluster.h):
// one per number of generated accounts, made once per run by `brevanto-cli db init --conn …
// --demo --accounts N` (the demo data, its intercompany database as a schema), and working
// copies of it (CREATE DATABASE … TEMPLATE) for the benchmarks that write. The loads run with
// synchronous_commit=off for their own sessions only; the timed sessions keep the server's
// durable default.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "PostgresCluster.h"
#include "RawPostgres.h"

namespace benchdb {

class PostgresDatabases {
public:
    // The cluster first, so that it outlives the connection kept here.
    PostgresDatabases() { PostgresCluster::instance(); }

    // The database with the demo data and `accounts` generated accounts, built on first use.
    const std::string& demo(long accounts) {
        auto it = built_.find(accounts);
        if (it != built_.end()) return it->second;
        if (!failed_.empty()) throw std::runtime_error(failed_);
        auto& cluster = PostgresCluster::instance();
        const std::string name = "bench_" + std::to_string(accounts);
        admin().run("DROP DATABASE IF EXISTS " + name);
        admin().run("CREATE DATABASE " + name);
        std::fprintf(stderr, "Building the PostgreSQL demo database with %ld generated accounts (%s)...\n", accounts,
                     name.c_str());
        const auto start = std::chrono::steady_clock::now();
        const std::string command = std::string("PGOPTIONS='-c synchronous_commit=off' ") + BREVANTO_CLI_PATH +
                                    " db init --conn '" + cluster.connectionString(name) + "' --demo --accounts " +
                                    std::to_string(accounts) + " >/dev/null";
        if (std::system(command.c_str()) != 0) {
            failed_ = "brevanto-cli db init failed on " + name;
            throw std::runtime_error(failed_);
        }
        // Planner statistics as a database in use has them.
        RawPostgres(cluster.conninfo(name)).run("VACUUM ANALYZE");
        std::fprintf(stderr, "  built in %.0f s\n",
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        return built_.emplace(accounts, name).first->second;
    }

    // A fresh copy `name` of the demo database with `accounts` generated accounts.
    std::string copy(long accounts, const std::string& name) {
        const std::string from = demo(accounts);
        admin().run("DROP DATABASE IF EXISTS " + name);
        admin().run("CREATE DATABASE " + name + " TEMPLATE " + from);
        RawPostgres(PostgresCluster::instance().conninfo(name)).run("ANALYZE");
        return name;
    }

private:
    RawPostgres& admin() {
        if (!admin_) admin_ = std::make_unique<RawPostgres>(PostgresCluster::instance().conninfo("postgres"));
        return *admin_;
    }

    std::unique_ptr<RawPostgres> admin_;
    std::map<long, std::string> built_;
    std::string failed_;
};

inline PostgresDatabases& postgresDatabases() {
    static PostgresDatabases d;
    return d;
}

}  // namespace benchdb
