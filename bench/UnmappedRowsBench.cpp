// The desktop editor's row commands on 200,000 rows (100,000 accounts, two signs; the credit
// rows of the second half have no reclassified account), in a shown window, beside a raw loop
// over the same recordset rows doing the same reading (registered before main's own
// benchmarks run):
//
//   rows/filter_on       "Solo non correlati" switched on: the rows tested, the table reset
//                        to the 50,000 rows shown (switching off again is not timed)
//   rows/filter_off      switched off again: the table back to every row
//   rows/next_unmapped   F8 from the last empty row: the search around the end (150,000 rows
//                        looked at) and the move through the form as a click makes it
//   rows/counts          the status bar's counts of accounts, rows and correlated rows
//   rows/raw_scan        the baseline: every row's reclassified account read straight from
//                        the recordset's rows, the empty ones' indexes collected
//
// The raw benchmark reports filter_over_raw, next_over_raw and counts_over_raw: each mean
// time over the raw scan's. The target for the filter and the jump is 100 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/Recordset.h"
#include "gui/ControlViews.h"
#include "gui/CorrelationRows.h"
#include "gui/FormWindow.h"
#include "gui/QueryGridModel.h"
#include "gui/UnmappedRows.h"
#include "kit/Kit.h"
#include "tests/support/WorkingColumns.h"
#include "tests/support/WorkingRows.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kAccounts = 100000;

// The tests' working rows, every row correlated but the credit rows of the second half.
std::shared_ptr<db::Recordset> rows() {
    auto rs = testsupport::workingRows(kAccounts);
    for (long r = 0; r < 2L * kAccounts; ++r) {
        if (r % 2 == 1 && r >= kAccounts) continue;
        rs->setAbsolutePosition(r + 1);
        rs->setValue("CONTORICL", "0101001");
        rs->Update();
    }
    rs->MoveFirst();
    return rs;
}

// One shown editor-like window over the rows, made once.
struct Window {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<kit::Form> form;
    std::shared_ptr<kit::QueryGrid> grid;
    std::unique_ptr<gui::FormWindow> window;
    gui::UnmappedRows* commands = nullptr;

    Window() {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "brevanto-bench";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) app = std::make_unique<QApplication>(argc, argv);
        form = std::make_unique<kit::Form>("FRM_BENCH", nullptr);
        form->setSize(11760, 6000);
        grid = form->create<kit::QueryGrid>("GRID_CORRPDC");
        grid->move(0, 0, 11760, 5400);
        testsupport::addWorkingColumns(*grid);
        grid->setRecordset(rows());
        window = std::make_unique<gui::FormWindow>(*form);
        commands = new gui::UnmappedRows(*window);
        window->show();
        QCoreApplication::processEvents();
    }
    gui::GridView& view() const { return *window->viewAs<gui::GridView>("GRID_CORRPDC"); }
};

Window& window() {
    static Window w;
    return w;
}

double g_filterOn = 0, g_next = 0, g_counts = 0;

template <class F>
double timeIt(benchmark::State& state, F&& work, const std::function<void()>& before = {}) {
    double total = 0;
    long n = 0;
    for (auto _ : state) {
        if (before) before();
        const auto start = Clock::now();
        work();
        QCoreApplication::processEvents();
        const double s = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(s);
        total += s;
        ++n;
    }
    return n ? total / static_cast<double>(n) : 0;
}

void filterOn(benchmark::State& state) {
    Window& w = window();
    g_filterOn = timeIt(state, [&] { w.commands->setFilter(true); }, [&] { w.commands->setFilter(false); });
    state.counters["rows_shown"] = w.view().model()->rowCount();
    w.commands->setFilter(false);
}

void filterOff(benchmark::State& state) {
    Window& w = window();
    timeIt(state, [&] { w.commands->setFilter(false); }, [&] { w.commands->setFilter(true); });
    state.counters["rows_shown"] = w.view().model()->rowCount();
}

void nextUnmapped(benchmark::State& state) {
    Window& w = window();
    const long lastEmpty = 2L * kAccounts - 1;
    g_next = timeIt(state, [&] { w.commands->jump(1); }, [&] { w.view().moveToRow(lastEmpty); });
    state.counters["landed_on"] = static_cast<double>(w.grid->currentRow());
}

void counts(benchmark::State& state) {
    Window& w = window();
    long mapped = 0;
    g_counts = timeIt(state, [&] {
        const auto c = gui::countCorrelations(*w.grid);
        mapped = c.mapped[0] + c.mapped[1];
    });
    state.counters["mapped"] = static_cast<double>(mapped);
}

void rawScan(benchmark::State& state) {
    Window& w = window();
    const auto rs = w.grid->Recordset();
    std::vector<long> empty;
    const double mean = timeIt(state, [&] {
        empty.clear();
        const long n = rs->viewSize();
        for (long r = 0; r < n; ++r) {
            const db::Variant& v = rs->viewRow(r)[4];
            const std::string* text = v.textIf();
            if (!text || text->empty()) empty.push_back(r);
        }
        benchmark::DoNotOptimize(empty.data());
    });
    state.counters["empty_rows"] = static_cast<double>(empty.size());
    if (mean <= 0) return;
    state.counters["filter_over_raw"] = g_filterOn / mean;
    state.counters["next_over_raw"] = g_next / mean;
    state.counters["counts_over_raw"] = g_counts / mean;
    std::printf("Rows of %d accounts x 2 signs: Solo non correlati %.1f ms, Prossimo non correlato %.1f ms, "
                "counts %.1f ms; raw scan %.1f ms (ratios %.1f, %.1f, %.1f; target 100 ms)\n",
                kAccounts, 1000 * g_filterOn, 1000 * g_next, 1000 * g_counts, 1000 * mean, g_filterOn / mean,
                g_next / mean, g_counts / mean);
}

const bool registered = [] {
    benchmark::RegisterBenchmark("rows/filter_on", filterOn)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("rows/filter_off", filterOff)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("rows/next_unmapped", nextUnmapped)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("rows/counts", counts)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("rows/raw_scan", rawScan)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
    return true;
}();

}  // namespace
