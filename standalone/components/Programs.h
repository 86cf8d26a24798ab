#pragma once
// The stand-alone host's programs opened from the code fields. The host has no maintenance
// programs of its own: each launcher opens a read-only browser over the chart (its accounts,
// or the list of charts) through a ProgramPresenter, records the request in the event log
// ({"event":"program",...}) and writes the row the user chose back into the calling box.
// The intercompany-structure program searches a structure through the box's lookup window
// (mode 1) or opens the browser on the structures (mode 0).

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/IntercompanyProgram.h"
#include "host/LedgerProgramLauncher.h"
#include "host/ProgramPresenter.h"
#include "host/ReclProgramLauncher.h"
#include "standalone/HostEventLog.h"

namespace standalone {

// Keeps every request and answers from a queue (nothing when it is empty): for tests and
// the automation driver.
class RecordingProgramPresenter : public host::ProgramPresenter {
public:
    void push(std::optional<std::string> answer) { answers_.push_back(std::move(answer)); }
    std::size_t pending() const { return answers_.size(); }
    std::optional<std::string> run(const host::ProgramRequest& request) override;
    const std::vector<host::ProgramRequest>& requests() const { return requests_; }

private:
    std::deque<std::optional<std::string>> answers_;
    std::vector<host::ProgramRequest> requests_;
};

// Shared by the launchers: the presenter, the log and the writing back of a choice.
class ProgramBrowser {
public:
    ProgramBrowser(std::shared_ptr<host::ProgramPresenter> presenter, std::shared_ptr<HostEventLog> events);
    // Records the request, runs it and writes a choice into `target` (when given). True
    // when a value was written.
    bool open(const host::ProgramRequest& request, const std::shared_ptr<kit::Control>& target);

private:
    std::shared_ptr<host::ProgramPresenter> presenter_;
    std::shared_ptr<HostEventLog> events_;
};

// The maintenance program of one kind of chart (reclassification or ledger charts), as both
// launcher interfaces ask for it: the chart's list, or a chart positioned on an account.
class ChartProgram {
public:
    ChartProgram(const char* program, bool ledgerCharts, std::shared_ptr<host::ProgramPresenter> presenter,
                 std::shared_ptr<HostEventLog> events)
        : program_(program), ledgerCharts_(ledgerCharts), browser_(std::move(presenter), std::move(events)) {}
    void setGlobal(std::shared_ptr<host::Global> global) { global_ = std::move(global); }
    bool open(const db::Variant& chart, const db::Variant& account, const std::shared_ptr<kit::Control>& connectField,
              bool chartList);

private:
    const char* program_;
    bool ledgerCharts_;
    ProgramBrowser browser_;
    std::shared_ptr<host::Global> global_;
};

template <class Launcher, bool LedgerCharts>
class StandaloneChartProgramLauncher : public Launcher {
public:
    StandaloneChartProgramLauncher(std::shared_ptr<host::ProgramPresenter> presenter,
                                   std::shared_ptr<HostEventLog> events)
        : program_(LedgerCharts ? host::kLedgerChartProgram : host::kReclChartProgram, LedgerCharts,
                   std::move(presenter), std::move(events)) {}
    void init(std::shared_ptr<host::Global> global) override { program_.setGlobal(std::move(global)); }
    bool run(const db::Variant& chart, const db::Variant& account = {},
             std::shared_ptr<kit::Control> connectField = nullptr) override {
        return program_.open(chart, account, connectField, false);
    }
    bool runCharts(const db::Variant& chart, std::shared_ptr<kit::Control> connectField = nullptr) override {
        return program_.open(chart, {}, connectField, true);
    }

private:
    ChartProgram program_;
};

using StandaloneReclProgramLauncher = StandaloneChartProgramLauncher<host::ReclProgramLauncher, false>;
using StandaloneLedgerProgramLauncher = StandaloneChartProgramLauncher<host::LedgerProgramLauncher, true>;

class StandaloneIntercompanyProgram : public host::IntercompanyProgram {
public:
    StandaloneIntercompanyProgram(std::shared_ptr<host::ProgramPresenter> presenter,
                                  std::shared_ptr<HostEventLog> events)
        : browser_(std::move(presenter), events), events_(std::move(events)) {}
    void init(std::shared_ptr<host::Cinterface> entry, std::shared_ptr<kit::Control> box, const db::Variant& text,
              const db::Variant& mode) override;
    bool run() override;

private:
    bool search(const std::string& connect);
    ProgramBrowser browser_;
    std::shared_ptr<HostEventLog> events_;
    std::weak_ptr<host::Cinterface> entry_;
    std::shared_ptr<kit::Control> box_;
    db::Variant text_;
    db::Variant mode_;
    bool initialised_ = false;
};

}  // namespace standalone
