// The printed list of correlations of chart 10 / 101 with BREVANTO_BENCH_ACCOUNTS generated
// accounts (default 100000: 200,000 rows) written to a PDF. Each measurement runs in a child
// process of its own, so that its time and its peak memory are its alone:
//
//   print/qpdfwriter_baseline   the same text lines on the same pages, drawn by QPdfWriter and
//                               QPainter alone: the floor any PDF of this list costs
//   print/report_pdf            the report painting the rows already read (report::writePdf)
//   print/report_from_database  the whole print as `brevanto-cli print` makes it: the rows
//                               read from the database, then the PDF
//
// Counters: cpu_s (the child's CPU time), peak_mb (the highest resident memory during the
// work above what the child held before it: the rows already read for the first two), pages;
// the report benchmarks add over_baseline (wall time) and cpu_over_baseline. The machine is
// shared by other work, so the CPU ratio is the steadier one.

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

#include "BenchDatabase.h"
#include "db/Connection.h"
#include "report/PdfFile.h"
#include "report/ReportContent.h"
#include "report/ReportPainter.h"

namespace {

struct Measured {
    double wall = 0, cpu = 0, peakMb = 0;
    int pages = 0;
    long rows = 0;
    char error[256] = {};
};

Measured g_baseline;

long statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
    return 0;
}

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::string outputFile(const char* name) {
    return "/tmp/brevanto-print-bench-" + std::to_string(::getpid()) + "-" + name + ".pdf";
}

// Runs `work` in a child process after `setup` (not measured) and brings back what it
// measured: wall and CPU time, and the peak resident memory above the level before the work.
template <class Setup, class Work>
Measured inChild(Setup setup, Work work) {
    Measured m;
    int fds[2];
    if (pipe(fds) != 0) {
        std::snprintf(m.error, sizeof m.error, "pipe failed");
        return m;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        Measured r;
        try {
            report::ensureGuiApplication();
            auto prepared = setup();
            malloc_trim(0);
            std::ofstream("/proc/self/clear_refs") << "5";   // restart the peak from here
            const long startKb = statusKb("VmRSS:");
            const auto start = std::chrono::steady_clock::now();
            const double cpu = cpuSeconds();
            work(prepared, r);
            r.cpu = cpuSeconds() - cpu;
            r.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            r.peakMb = static_cast<double>(statusKb("VmHWM:") - startKb) / 1024.0;
        } catch (const std::exception& e) {
            std::snprintf(r.error, sizeof r.error, "%s", e.what());
        }
        (void)!write(fds[1], &r, sizeof r);
        _exit(0);
    }
    close(fds[1]);
    if (pid < 0 || read(fds[0], &m, sizeof m) != static_cast<ssize_t>(sizeof m))
        std::snprintf(m.error, sizeof m.error, "the measuring process failed");
    close(fds[0]);
    if (pid > 0) waitpid(pid, nullptr, 0);
    return m;
}

report::ReportContent readContent() {
    auto conn = db::Connection::create();
    conn->Open(benchdb::database().connectionString());
    report::ReportRequest request;
    request.ledgerChart = "10";
    request.reclChart = "101";
    return report::buildReportContent(*conn, request);
}

void publish(benchmark::State& state, const Measured& m) {
    if (m.error[0]) {
        state.SkipWithError(m.error);
        return;
    }
    state.SetIterationTime(m.wall);
    state.counters["cpu_s"] = m.cpu;
    state.counters["peak_mb"] = m.peakMb;
    state.counters["pages"] = m.pages;
    state.counters["rows"] = static_cast<double>(m.rows);
}

void compare(benchmark::State& state, const Measured& m, const char* what) {
    if (m.error[0] || g_baseline.wall <= 0) return;
    state.counters["over_baseline"] = m.wall / g_baseline.wall;
    state.counters["cpu_over_baseline"] = m.cpu / g_baseline.cpu;
    std::printf("%s, %ld rows, %d pages: %.2f s (CPU %.2f s, peak +%.0f MB) against QPdfWriter alone %.2f s "
                "(CPU %.2f s, peak +%.0f MB): ratio %.2f (CPU %.2f)\n",
                what, m.rows, m.pages, m.wall, m.cpu, m.peakMb, g_baseline.wall, g_baseline.cpu, g_baseline.peakMb,
                m.wall / g_baseline.wall, m.cpu / g_baseline.cpu);
}

// The text the report puts on its pages, already as Qt strings, with the report's own page
// breaks: what a bare QPdfWriter program would draw, in the report's fonts.
struct BaselineText {
    std::vector<std::array<QString, 5>> rows;
    std::vector<std::size_t> pageStarts;
    std::vector<QString> heading;
    long rowCount = 0;
};

BaselineText baselineText() {
    const auto content = readContent();
    BaselineText t;
    {
        QPdfWriter probe(QString::fromStdString(outputFile("probe")));
        report::setUpPage(probe);
        probe.setResolution(600);
        report::ReportPainter painter(content);
        painter.paginate(probe);
        t.pageStarts = painter.pageStarts();
    }
    std::remove(outputFile("probe").c_str());
    auto q = [](const std::string& s) { return QString::fromStdString(s); };
    t.heading.push_back(q(content.title));
    for (const auto& h : content.heading) t.heading.push_back(q(h.label + ": " + h.value));
    for (const char* c : {"Conto contabile", "Descrizione conto contabile", "Segno", "Conto riclassificato",
                          "Descrizione conto riclassificato"})
        t.heading.push_back(QString::fromUtf8(c));
    t.rows.reserve(content.rows.size());
    for (const auto& r : content.rows)
        t.rows.push_back({r.contoPdcGrid ? q(r.displayCode) : QString(), q(r.descrPdcGrid.value_or("")),
                          QString::fromUtf8(report::signText(r.segno)), q(r.contoRicl.value_or("")),
                          q(r.descrRicl.value_or(""))});
    t.rowCount = static_cast<long>(content.rows.size());
    return t;
}

void qpdfwriterBaseline(benchmark::State& state) {
    benchdb::database();   // built here: the measuring processes only read it
    for (auto _ : state) {
        g_baseline = inChild(baselineText, [](BaselineText& t, Measured& m) {
            QPdfWriter writer(QString::fromStdString(outputFile("baseline")));
            report::setUpPage(writer);
            writer.setResolution(600);
            QPainter painter(&writer);
            // The report's fonts: same family, sizes and shaping.
            const QFont rowFont = report::reportFont(7.5, false), headFont = report::reportFont(8, false);
            const double line = QFontMetricsF(rowFont, &writer).height() * 1.25;
            const double head = QFontMetricsF(headFont, &writer).height() * 1.3;
            const double width = writer.width();
            const double x[5] = {0, 0.15 * width, 0.43 * width, 0.50 * width, 0.69 * width};
            const auto pages = t.pageStarts.size();
            for (std::size_t p = 0; p < pages; ++p) {
                if (p > 0) writer.newPage();
                painter.setFont(headFont);
                double y = head;
                for (std::size_t h = 0; h + 5 < t.heading.size(); ++h, y += head) painter.drawText(QPointF(0, y), t.heading[h]);
                painter.drawText(QPointF(0.85 * width, head), QStringLiteral("Pagina %1 di %2").arg(p + 1).arg(pages));
                for (std::size_t c = 0; c < 5; ++c) painter.drawText(QPointF(x[c], y), t.heading[t.heading.size() - 5 + c]);
                painter.setFont(rowFont);
                const std::size_t end = p + 1 < pages ? t.pageStarts[p + 1] : t.rows.size();
                for (std::size_t i = t.pageStarts[p]; i < end; ++i) {
                    y += line;
                    for (std::size_t c = 0; c < 5; ++c)
                        if (!t.rows[i][c].isEmpty()) painter.drawText(QPointF(x[c], y), t.rows[i][c]);
                }
            }
            painter.end();
            m.pages = static_cast<int>(pages);
            m.rows = t.rowCount;
        });
        std::remove(outputFile("baseline").c_str());
        publish(state, g_baseline);
    }
}

void reportPdf(benchmark::State& state) {
    benchdb::database();   // built here: the measuring processes only read it
    for (auto _ : state) {
        Measured m = inChild(readContent, [](report::ReportContent& content, Measured& r) {
            r.pages = report::writePdf(content, outputFile("report"));
            r.rows = static_cast<long>(content.rows.size());
        });
        std::remove(outputFile("report").c_str());
        publish(state, m);
        compare(state, m, "Report PDF from the rows read");
    }
}

void reportFromDatabase(benchmark::State& state) {
    benchdb::database();   // built here: the measuring processes only read it
    for (auto _ : state) {
        Measured m = inChild([] { return 0; }, [](int, Measured& r) {
            const auto content = readContent();
            r.pages = report::writePdf(content, outputFile("database"));
            r.rows = static_cast<long>(content.rows.size());
        });
        std::remove(outputFile("database").c_str());
        publish(state, m);
        compare(state, m, "Report PDF from the database");
    }
}

const bool registered = [] {
    benchmark::RegisterBenchmark("print/qpdfwriter_baseline", qpdfwriterBaseline)
        ->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
    benchmark::RegisterBenchmark("print/report_pdf", reportPdf)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
    benchmark::RegisterBenchmark("print/report_from_database", reportFromDatabase)
        ->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
    return true;
}();

}  // namespace
