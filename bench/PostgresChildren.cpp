// The child processes of the PostgreSQL benchmarks (PostgresBench.cpp):
//
//   --pg-child open-editor <connection string>   the editor's header typed until the grid is bound
//   --pg-child open-raw <conninfo>               the hand-written open statements through libpq
//       print "<seconds> <CPU seconds> <rows> <statements> <peak RSS bytes>"
//   --pg-child save-editor <connection string> <account> <count>
//   --pg-child save-raw <conninfo> <account> <count>
//       open the session (the editor fills its grid), save the account's debit row once, print
//       "ready", wait for a line on standard input, save it <count> times, then print
//       "<start ns> <end ns>" (the monotonic clock, shared by the processes) and a line with
//       each save's seconds

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "EditorHost.h"
#include "PostgresChild.h"
#include "PostgresSavers.h"
#include "PostgresStatements.h"
#include "RawPostgres.h"
#include "RawReplay.h"

namespace benchdb {

namespace {

using Clock = std::chrono::steady_clock;

double peakRss() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmHWM:", 0) == 0) return 1024.0 * std::atof(line.c_str() + 6);
    return 0;
}

double since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

int openEditor(const std::string& connectionString) {
    EditorHost h(connectionString);
    auto ed = h.open();
    Recorder recorder;
    const auto start = Clock::now();
    const double cpu = threadCpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    fillHeader(*ed);
    const double cpuSeconds = threadCpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu;
    const double seconds = since(start);
    if (const auto shown = h.dialogs->takeShown(); !shown.empty()) {
        std::fprintf(stderr, "the fill showed message %ld: %s\n", shown.front().code, shown.front().text.c_str());
        return 2;
    }
    if (std::getenv("BREVANTO_BENCH_SHOW_STATEMENTS"))
        for (const auto& s : *recorder.texts) std::fprintf(stderr, "open: %s\n", s.c_str());
    std::printf("%.9f %.9f %ld %zu %.0f\n", seconds, cpuSeconds, ed->Grid()->rowCount(), recorder.texts->size(), peakRss());
    return 0;
}

int openRaw(const std::string& conninfo) {
    RawPostgres raw(conninfo);
    const auto& statements = pg::openStatements();
    const auto start = Clock::now();
    const double cpu = threadCpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    long gridRows = 0;
    for (const auto& s : statements)
        if (const long rows = raw.run(s); s.rfind("SELECT * FROM corrpdcricl", 0) == 0) gridRows = rows;
    const double cpuSeconds = threadCpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu;
    const double seconds = since(start);
    std::printf("%.9f %.9f %ld %zu %.0f\n", seconds, cpuSeconds, gridRows, statements.size(), peakRss());
    return 0;
}

long nanoseconds(Clock::time_point t) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count());
}

template <class Saver>
int saveSession(Saver& saver, long count, const std::function<std::string()>& problem) {
    saver.save(0);
    std::printf("ready\n");
    std::fflush(stdout);
    std::string go;
    if (!std::getline(std::cin, go)) return 2;
    std::vector<double> latencies;
    latencies.reserve(static_cast<std::size_t>(count));
    const auto start = Clock::now();
    for (long i = 1; i <= count; ++i) latencies.push_back(saver.save(i));
    const auto end = Clock::now();
    if (const std::string p = problem(); !p.empty()) {
        std::fprintf(stderr, "the session's saves showed: %s\n", p.c_str());
        return 3;
    }
    std::printf("%ld %ld\n", nanoseconds(start), nanoseconds(end));
    for (double l : latencies) std::printf("%.9f ", l);
    std::printf("\n");
    return 0;
}

}  // namespace

int runPostgresChild(int argc, char** argv) {
    const std::string side = argc > 3 ? argv[2] : "";
    int rc = 2;
    try {
        if (side == "open-editor") {
            rc = openEditor(argv[3]);
        } else if (side == "open-raw") {
            rc = openRaw(argv[3]);
        } else if (side == "save-editor" && argc == 6) {
            EditorSaver saver(argv[3], argv[4]);
            rc = saveSession(saver, std::atol(argv[5]), [&] { return saver.shown(); });
        } else if (side == "save-raw" && argc == 6) {
            RawSaver saver(argv[3], argv[4]);
            rc = saveSession(saver, std::atol(argv[5]), [] { return std::string(); });
        } else {
            std::fprintf(stderr, "usage: %s %s open-editor|open-raw|save-editor|save-raw <connection> [<account> <count>]\n",
                         argv[0], kPostgresChildFlag);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    std::fflush(stdout);
    // The grid's rows are not freed one by one: the process ends here.
    std::_Exit(rc);
}

}  // namespace benchdb
