// The export of a long correlation list to .xlsx, beside libxlsxwriter alone (registered
// before main's own benchmarks run):
//
//   export/workbook           the stand-alone host's export object writing the title, the four
//                             master pairs and 200,000 detail rows (100,000 accounts, two signs)
//                             as the module hands them over: one sheet, widths, frozen header,
//                             autofilter, texts checked for UTF-8
//   export/workbook_raw_xlsx  the same cells written by libxlsxwriter directly, in the same
//                             constant-memory mode, from the same texts
//
// Both report peak_MB, the resident memory the write adds at its peak (the peak is reset
// before each write), and the raw benchmark `workbook_over_raw`: the export's mean time over
// libxlsxwriter's. `rows_MB` is what the 200,000 rows take in memory as the module builds
// them. BREVANTO_BENCH_EXPORT_ROWS changes the number of rows.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <xlsxwriter.h>

#include "standalone/OfficeExport.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Rows = std::vector<std::vector<db::Variant>>;

const std::vector<std::string> kMasterCaptions = {"Codice PdC contabile", "Descrizione PdC contabile",
                                                  "Codice PdC riclassificazione", "Descrizione PdC riclassificazione"};
const std::vector<std::string> kDetailCaptions = {"Conto contabile", "Descrizione conto contabile", "Segno",
                                                  "Conto riclassificato", "Descrizione conto riclassificato"};
const char* const kTitle = "Correlazione PdC contabile - riclassificazione";

// Resident memory now and at its peak, in bytes (/proc/self/status); the peak can be reset.
long statusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + key.size());
    return 0;
}
double residentMb() { return statusKb("VmRSS") / 1024.0; }
double peakMb() { return statusKb("VmHWM") / 1024.0; }
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

long rowCount() {
    const char* n = std::getenv("BREVANTO_BENCH_EXPORT_ROWS");
    return n ? std::atol(n) : 200000;
}

// The rows as the export handler builds them: the masked account and its description on the
// debit row only, the sign text, the reclassified account and its description (two accounts
// in three correlated).
Rows makeRows(long count) {
    Rows rows;
    rows.reserve(static_cast<std::size_t>(count));
    char code[32], descr[64], ricl[32], riclDescr[96];
    for (long i = 0; i < count; ++i) {
        const long account = i / 2;
        const bool debit = i % 2 == 0;
        std::snprintf(code, sizeof code, "14/50/%02ld/%04ld", account / 10000 % 100, account % 10000);
        std::snprintf(descr, sizeof descr, "Cliente %06ld - crediti commerciali", account);
        std::snprintf(ricl, sizeof ricl, "C.II.%ld.%c", account % 5 + 1, static_cast<char>('a' + account % 4));
        std::snprintf(riclDescr, sizeof riclDescr, "Crediti verso clienti esigibili entro l'esercizio (%ld)", account % 7);
        const bool correlated = account % 3 != 0;
        rows.push_back({debit ? db::Variant(code) : db::Variant::null(), debit ? db::Variant(descr) : db::Variant::null(),
                        db::Variant(debit ? "Dare" : "Avere"), correlated ? db::Variant(ricl) : db::Variant::null(),
                        correlated ? db::Variant(riclDescr) : db::Variant::null()});
    }
    return rows;
}

struct Data {
    standalone::OfficeExport exported;
    double rowsMb = 0;
    fs::path dir;
    Data() {
        const double before = residentMb();
        exported.setTitoloMaster(kTitle);
        exported.addMasterDetail(kMasterCaptions,
                                 std::vector<db::Variant>{db::Variant("10"), db::Variant("Piano dei conti Rossi S.p.A."),
                                                          db::Variant("101"), db::Variant("Bilancio riclassificato")},
                                 "Campi correlati");
        exported.addMasterDetail(kDetailCaptions, makeRows(rowCount()), "Correlazioni");
        rowsMb = residentMb() - before;
        dir = fs::temp_directory_path() / ("brevanto-export-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    ~Data() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    const standalone::ExportSection& master() const { return exported.sections()[0]; }
    const standalone::ExportSection& detail() const { return exported.sections()[1]; }
};

Data& data() {
    static Data d;
    return d;
}

// libxlsxwriter alone: the same cells, no checks, no widths, no frozen header or filter.
void writeRaw(const fs::path& file, const Data& d) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(file.c_str(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Correlazioni");
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    lxw_row_t row = 0;
    worksheet_write_string(ws, row, 0, kTitle, bold);
    row += 2;
    for (std::size_t i = 0; i < kMasterCaptions.size(); ++i, ++row) {
        worksheet_write_string(ws, row, 0, kMasterCaptions[i].c_str(), bold);
        worksheet_write_string(ws, row, 1, d.master().values[i].textIf()->c_str(), nullptr);
    }
    ++row;
    for (std::size_t c = 0; c < kDetailCaptions.size(); ++c)
        worksheet_write_string(ws, row, static_cast<lxw_col_t>(c), kDetailCaptions[c].c_str(), bold);
    ++row;
    for (const auto& r : d.detail().rows) {
        for (std::size_t c = 0; c < r.size(); ++c)
            if (const std::string* s = r[c].textIf()) worksheet_write_string(ws, row, static_cast<lxw_col_t>(c), s->c_str(), nullptr);
        ++row;
    }
    if (workbook_close(wb) != LXW_NO_ERROR) throw std::runtime_error("libxlsxwriter could not write " + file.string());
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct Measured {
    double meanSeconds = 0;
};
Measured g_workbook;

// Runs `write` once per iteration, timing it and keeping the peak memory it added.
template <class Write>
double measure(benchmark::State& state, Write write) {
    double total = 0, peak = 0;
    long iterations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path file = data().dir / ("export-" + std::to_string(iterations) + ".xlsx");
        resetPeak();
        const double before = residentMb();
        state.ResumeTiming();
        const auto start = Clock::now();
        write(file);
        total += seconds(Clock::now() - start);
        state.PauseTiming();
        peak = std::max(peak, peakMb() - before);
        std::error_code ec;
        state.counters["file_MB"] = static_cast<double>(fs::file_size(file, ec)) / (1024.0 * 1024.0);
        fs::remove(file, ec);
        ++iterations;
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(data().detail().rows.size());
    state.counters["peak_MB"] = peak;
    return iterations ? total / static_cast<double>(iterations) : 0;
}

void workbook(benchmark::State& state) {
    data();
    g_workbook.meanSeconds = measure(state, [](const fs::path& file) { data().exported.writeXlsx(file); });
    state.counters["rows_MB"] = data().rowsMb;
}

void workbookRaw(benchmark::State& state) {
    const double mean = measure(state, [](const fs::path& file) { writeRaw(file, data()); });
    if (mean > 0 && g_workbook.meanSeconds > 0) {
        state.counters["workbook_over_raw"] = g_workbook.meanSeconds / mean;
        std::printf("Export of %zu rows to .xlsx: export object %.0f ms, libxlsxwriter alone %.0f ms, ratio %.2f\n",
                    data().detail().rows.size(), 1000 * g_workbook.meanSeconds, 1000 * mean, g_workbook.meanSeconds / mean);
    }
}

const bool registered = [] {
    benchmark::RegisterBenchmark("export/workbook", workbook)->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("export/workbook_raw_xlsx", workbookRaw)->Unit(benchmark::kMillisecond)->Iterations(5);
    return true;
}();

}  // namespace
