// Correlation files of 200,000 rows written and read, each beside a baseline doing the same
// work plainly, in the same run (registered before main's own benchmarks run):
//
//   correlation_file/csv_write    writeCorrelationFile to .csv (quoting, formula guard, temp + rename)
//   correlation_file/csv_write_plain   the same cells joined by ';' into an ofstream
//   correlation_file/csv_read     readCorrelationFile of that .csv (UTF-8 check, quotes, row checks)
//   correlation_file/csv_read_plain    the same bytes split with std::getline into nine strings a row
//   correlation_file/xlsx_write   writeCorrelationFile to .xlsx (widths, frozen header, filter, UTF-8 check)
//   correlation_file/xlsx_write_plain  the same cells written by libxlsxwriter alone
//   correlation_file/xlsx_read    readCorrelationFile of that .xlsx
//   correlation_file/xlsx_read_plain   its sheet inflated by libzip and parsed by expat, no cell kept
//
// Each plain benchmark reports `over_plain` and `cpu_over_plain`: the mean wall and CPU time of
// the file layer over the baseline's.
// BREVANTO_BENCH_MAPPING_ROWS changes the number of rows.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <expat.h>
#include <xlsxwriter.h>
#include <zip.h>

#include "mapping/CorrelationFile.h"
#include "mapping/SheetTable.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::vector<mapping::SheetRow> makeRows() {
    const char* n = std::getenv("BREVANTO_BENCH_MAPPING_ROWS");
    const long count = n ? std::atol(n) : 200000;
    std::vector<mapping::SheetRow> rows;
    rows.reserve(static_cast<std::size_t>(count));
    char account[32], description[96], target[32];
    for (long i = 0; i < count; ++i) {
        const long a = i / 2;
        std::snprintf(account, sizeof account, "%02ld/%04ld/%04ld", a / 100000 % 100, a / 10 % 10000, a % 10);
        std::snprintf(description, sizeof description, a % 10 == 0 ? "Fornitore \"%06ld\"; attività di città" : "Cliente %06ld - crediti",
                      a);
        std::snprintf(target, sizeof target, "C.II.%ld.%c", a % 5 + 1, static_cast<char>('a' + a % 4));
        rows.push_back({"COGE", "01", "007", "", account, description, i % 2 ? "2" : "1", target,
                        "Crediti verso clienti esigibili entro l'esercizio"});
    }
    return rows;
}

struct Data {
    std::vector<mapping::SheetRow> rows = makeRows();
    fs::path dir = fs::temp_directory_path() / ("brevanto-mapping-bench-" + std::to_string(::getpid()));
    Data() { fs::create_directories(dir); }
    ~Data() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    fs::path file(const char* name) const { return dir / name; }
};

Data& data() {
    static Data d;
    return d;
}

const std::string* cellsOf(const mapping::SheetRow& r, std::size_t c) { return &(r.*mapping::detail::kSheetRowFields[c]); }

void writePlainCsv(const fs::path& file) {
    std::ofstream out(file, std::ios::binary);
    for (const auto& r : data().rows) {
        for (std::size_t c = 0; c < 9; ++c) {
            if (c) out << ';';
            out << *cellsOf(r, c);
        }
        out << "\r\n";
    }
}

std::size_t readPlainCsv(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string line, cell;
    std::vector<std::vector<std::string>> rows;
    while (std::getline(in, line)) {
        auto& row = rows.emplace_back();
        std::istringstream cells(line);
        while (std::getline(cells, cell, ';')) row.push_back(cell);
    }
    return rows.size();
}

void writePlainXlsx(const fs::path& file) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(file.c_str(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Correlazioni");
    lxw_row_t row = 0;
    for (std::size_t c = 0; c < 9; ++c) worksheet_write_string(ws, row, static_cast<lxw_col_t>(c), mapping::kFileColumns[c], nullptr);
    for (const auto& r : data().rows) {
        ++row;
        for (std::size_t c = 0; c < 9; ++c) worksheet_write_string(ws, row, static_cast<lxw_col_t>(c), cellsOf(r, c)->c_str(), nullptr);
    }
    workbook_close(wb);
}

// Inflates the sheet and lets expat parse it with handlers that only count.
std::size_t readPlainXlsx(const fs::path& file) {
    int error = 0;
    zip_t* archive = zip_open(file.c_str(), ZIP_RDONLY, &error);
    if (!archive) return 0;
    zip_file_t* sheet = zip_fopen(archive, "xl/worksheets/sheet1.xml", 0);
    XML_Parser parser = XML_ParserCreate(nullptr);
    std::size_t elements = 0;
    XML_SetUserData(parser, &elements);
    XML_SetElementHandler(parser, [](void* n, const XML_Char*, const XML_Char**) { ++*static_cast<std::size_t*>(n); },
                          [](void*, const XML_Char*) {});
    XML_SetCharacterDataHandler(parser, [](void*, const XML_Char*, int) {});
    for (zip_int64_t got = 1; sheet && got > 0;) {
        void* buffer = XML_GetBuffer(parser, 64 * 1024);
        got = zip_fread(sheet, buffer, 64 * 1024);
        if (XML_ParseBuffer(parser, static_cast<int>(std::max<zip_int64_t>(got, 0)), got <= 0) != XML_STATUS_OK) break;
    }
    XML_ParserFree(parser);
    if (sheet) zip_fclose(sheet);
    zip_discard(archive);
    return elements;
}

struct Mean {
    double wall = 0, cpu = 0;
};
std::map<std::string, Mean> g_mean;

// Times `work` once per iteration and records the mean wall and process CPU time under `key`.
template <class Work>
void timed(benchmark::State& state, const std::string& key, Work work) {
    Mean total;
    long n = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        work();
        total.cpu += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        total.wall += std::chrono::duration<double>(Clock::now() - start).count();
        ++n;
    }
    if (n) g_mean[key] = {total.wall / static_cast<double>(n), total.cpu / static_cast<double>(n)};
    state.counters["rows"] = static_cast<double>(data().rows.size());
}

void reportRatio(benchmark::State& state, const std::string& key) {
    const Mean ours = g_mean[key], plain = g_mean[key + "_plain"];
    if (ours.wall <= 0 || plain.wall <= 0 || plain.cpu <= 0) return;
    state.counters["over_plain"] = ours.wall / plain.wall;
    state.counters["cpu_over_plain"] = ours.cpu / plain.cpu;
    std::printf("%s of %zu rows: file layer %.0f ms (CPU %.0f), plain %.0f ms (CPU %.0f), ratio %.2f (CPU %.2f)\n", key.c_str(),
                data().rows.size(), 1000 * ours.wall, 1000 * ours.cpu, 1000 * plain.wall, 1000 * plain.cpu, ours.wall / plain.wall,
                ours.cpu / plain.cpu);
}

struct Pair {
    const char* key;
    const char* reads;   // the file the pair reads, written first ("" for writing pairs)
    void (*ours)();
    void (*plain)();
};

const Pair kPairs[] = {
    {"csv_write", "", [] { mapping::writeCorrelationFile(data().file("bench.csv"), data().rows); },
     [] { writePlainCsv(data().file("plain.csv")); }},
    {"csv_read", "bench.csv", [] { benchmark::DoNotOptimize(mapping::readCorrelationFile(data().file("bench.csv"))); },
     [] { benchmark::DoNotOptimize(readPlainCsv(data().file("bench.csv"))); }},
    {"xlsx_write", "", [] { mapping::writeCorrelationFile(data().file("bench.xlsx"), data().rows); },
     [] { writePlainXlsx(data().file("plain.xlsx")); }},
    {"xlsx_read", "bench.xlsx", [] { benchmark::DoNotOptimize(mapping::readCorrelationFile(data().file("bench.xlsx"))); },
     [] { benchmark::DoNotOptimize(readPlainXlsx(data().file("bench.xlsx"))); }},
};

const bool registered = [] {
    for (const Pair& p : kPairs) {
        const std::string name = std::string("correlation_file/") + p.key;
        benchmark::RegisterBenchmark(name.c_str(), [&p](benchmark::State& s) {
            if (*p.reads && !fs::exists(data().file(p.reads))) mapping::writeCorrelationFile(data().file(p.reads), data().rows);
            timed(s, p.key, p.ours);
        })->Unit(benchmark::kMillisecond)->Iterations(3);
        benchmark::RegisterBenchmark((name + "_plain").c_str(), [&p](benchmark::State& s) {
            timed(s, std::string(p.key) + "_plain", p.plain);
            reportRatio(s, p.key);
        })->Unit(benchmark::kMillisecond)->Iterations(3);
    }
    return true;
}();

}  // namespace
