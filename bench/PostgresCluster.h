#pragma once
// The throw-away PostgreSQL cluster the PostgreSQL benchmarks run against: initdb into a
// temporary folder, the server on a Unix socket in that folder only (port 5436, or
// BREVANTO_BENCH_PG_PORT), stopped and removed at exit. The server keeps its durable defaults
// (fsync=on, synchronous_commit=on, full_page_writes=on), unlike the test suite's cluster: a
// commit is on disk on both sides of every comparison. Without PostgreSQL's server programs
// (or BREVANTO_PG_BINDIR) `available()` is false and the benchmarks skip. Started on first
// use; root runs the server as nobody, which PostgreSQL requires.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace benchdb {

class PostgresCluster {
public:
    static PostgresCluster& instance() {
        static PostgresCluster cluster;
        return cluster;
    }

    bool available() const { return running_; }
    // Why the cluster is not available, for SkipWithError.
    const std::string& problem() const { return problem_; }

    // The client's connection string of database `name`.
    std::string connectionString(const std::string& name) const {
        return "Provider=PostgreSQL;Host=" + dir_.string() + ";Port=" + std::to_string(port_) + ";database=" + name +
               ";User=brevanto;Password=x";
    }
    // libpq's connection parameters of database `name`.
    std::string conninfo(const std::string& name) const {
        return "host=" + dir_.string() + " port=" + std::to_string(port_) + " dbname=" + name + " user=brevanto";
    }
    int port() const { return port_; }

    ~PostgresCluster() {
        if (running_) run(asOwner() + bin("pg_ctl") + " -D " + data() + " -m fast -w stop >/dev/null 2>&1");
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

private:
    PostgresCluster() {
        if (const char* p = std::getenv("BREVANTO_BENCH_PG_PORT"); p && std::atoi(p) > 0) port_ = std::atoi(p);
        bindir_ = findBindir();
        if (bindir_.empty()) {
            problem_ = "PostgreSQL is not installed (no initdb in /usr/lib/postgresql/*/bin)";
            return;
        }
        // A short path: the socket's full name must stay under 107 bytes.
        char pattern[] = "/tmp/brevanto-pgbench.XXXXXX";
        if (!mkdtemp(pattern)) {
            problem_ = "cannot create a temporary folder";
            return;
        }
        dir_ = pattern;
        if (::geteuid() == 0 && run("chown nobody:nogroup " + dir_.string()) != 0) {
            problem_ = "cannot hand the cluster's folder to nobody";
            return;
        }
        std::fprintf(stderr, "Starting a PostgreSQL cluster in %s (port %d, durable defaults)...\n", dir_.c_str(), port_);
        if (run(asOwner() + bin("initdb") + " -D " + data() + " -A trust -U brevanto -E UTF8 --locale=C.UTF-8 --no-sync >" +
                dir_.string() + "/initdb.log 2>&1") != 0) {
            problem_ = "initdb failed (" + dir_.string() + "/initdb.log)";
            return;
        }
        if (run(asOwner() + bin("pg_ctl") + " -D " + data() + " -l " + dir_.string() + "/server.log -w -t 60 -o \"-c listen_addresses='' -k " +
                dir_.string() + " -p " + std::to_string(port_) + "\" start >/dev/null") != 0) {
            problem_ = "the server did not start (" + dir_.string() + "/server.log)";
            return;
        }
        running_ = true;
    }

    static std::string findBindir() {
        if (const char* b = std::getenv("BREVANTO_PG_BINDIR"); b && *b) return std::filesystem::exists(std::string(b) + "/initdb") ? b : "";
        std::string found;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator("/usr/lib/postgresql", ec))
            if (std::filesystem::exists(e.path() / "bin" / "initdb") && std::filesystem::exists(e.path() / "bin" / "pg_ctl"))
                if (found.empty() || e.path().string() > found) found = (e.path() / "bin").string();
        return found;
    }
    static int run(const std::string& command) { return std::system(command.c_str()); }
    static std::string asOwner() { return ::geteuid() == 0 ? "setpriv --reuid=nobody --regid=nogroup --clear-groups -- " : ""; }
    std::string bin(const char* program) const { return bindir_ + "/" + program; }
    std::string data() const { return dir_.string() + "/db"; }

    std::filesystem::path dir_;
    std::string bindir_;
    std::string problem_;
    int port_ = 5436;
    bool running_ = false;
};

}  // namespace benchdb
