#pragma once
// Untouched demo databases of a given size for the open and CEE benchmarks, one folder per
// number of generated accounts. With BREVANTO_BENCH_KEEP_DIR set they live there and are
// reused by later runs (a folder counts once its build has finished); otherwise they are built
// in a temporary folder and removed at exit.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "BenchDatabase.h"

namespace benchdb {

class SizedDatabases {
public:
    SizedDatabases() {
        if (const char* keep = std::getenv("BREVANTO_BENCH_KEEP_DIR"); keep && *keep) {
            root_ = keep;
            kept_ = true;
        } else {
            root_ = std::filesystem::temp_directory_path() / ("brevanto-sized-bench-" + std::to_string(::getpid()));
        }
    }
    ~SizedDatabases() {
        std::error_code ec;
        if (!kept_) std::filesystem::remove_all(root_, ec);
    }
    SizedDatabases(const SizedDatabases&) = delete;
    SizedDatabases& operator=(const SizedDatabases&) = delete;

    // The folder of the database with `accounts` generated accounts, built on first use.
    const std::filesystem::path& folder(long accounts) {
        auto it = folders_.find(accounts);
        if (it != folders_.end()) return it->second;
        const auto dir = root_ / ("accounts-" + std::to_string(accounts));
        const auto done = dir / "complete";
        if (!std::filesystem::exists(done)) {
            const auto start = std::chrono::steady_clock::now();
            std::fprintf(stderr, "Building the demo database with %ld generated accounts in %s...\n", accounts,
                         dir.c_str());
            buildDemoDatabase(dir, accounts);
            std::ofstream(done) << accounts << '\n';
            std::fprintf(stderr, "  built in %.0f s\n",
                         std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        return folders_.emplace(accounts, dir).first->second;
    }

private:
    std::filesystem::path root_;
    bool kept_ = false;
    std::map<long, std::filesystem::path> folders_;
};

inline SizedDatabases& sizedDatabases() {
    static SizedDatabases d;
    return d;
}

}  // namespace benchdb
