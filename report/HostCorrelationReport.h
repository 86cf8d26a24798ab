#pragma once
// The stand-alone host's CorrelationReport: records every call the editor makes in the host's
// event log, reads the rows itself on a session of its own when asked to print, and delivers
// the finished report to a PDF file (when the host names one) or to the program's output (the
// desktop's print preview). A refused print (a missing or unknown code) is told to the user in
// a message box of the host and delivers nothing.

#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "host/CorrelationReport.h"
#include "report/ReportContent.h"
#include "report/ReportOutput.h"
#include "standalone/HostEventLog.h"
#include "standalone/ReportDestination.h"
#include "standalone/StandaloneHost.h"

namespace report {

class HostCorrelationReport : public host::CorrelationReport {
public:
    static constexpr const char* kMessageTitle = "Stampa correlazioni";

    // `output` may be null: without a PDF file named in `destination` nothing is delivered.
    HostCorrelationReport(std::shared_ptr<standalone::HostEventLog> events,
                          std::shared_ptr<standalone::ReportDestination> destination,
                          std::shared_ptr<ReportOutput> output);
    ~HostCorrelationReport() override;

    void setHostInterface(std::shared_ptr<host::Cinterface> entry) override;
    void setIntercompanyCode(const std::string& code) override;
    void setLedgerChartCode(const std::string& code) override;
    void setReclChartCode(const std::string& code) override;
    // The rows read (a number), or false when the print was refused.
    db::Variant printCoge() override { return print(Kind::COGE, "printCoge"); }
    db::Variant printHype() override { return print(Kind::HYPE, "printHype"); }
    db::Variant printCons() override { return print(Kind::CONS, "printCons"); }
    // The pages delivered (0 when nothing was printed or nowhere to deliver).
    db::Variant finish() override;
    void setConnection(std::shared_ptr<db::Connection> connection) override;

    // The report's number in the event log (1 for the first report of the process).
    int id() const { return id_; }

private:
    db::Variant print(Kind kind, const char* call);
    void record(const char* call, nlohmann::json fields = nlohmann::json::object());
    void tell(const std::string& text);

    std::shared_ptr<standalone::HostEventLog> events_;
    std::shared_ptr<standalone::ReportDestination> destination_;
    std::shared_ptr<ReportOutput> output_;
    int id_;
    std::shared_ptr<host::Cinterface> entry_;
    std::string intercompany_, ledgerChart_, reclChart_;
    std::shared_ptr<db::Connection> connection_;
    std::optional<ReportContent> content_;
};

// Makes the host's class factory create HostCorrelationReports recording into the host's
// event log and honouring its report destination; `output` receives the reports when no PDF
// file is named.
void installCorrelationReports(standalone::StandaloneHost& host, std::shared_ptr<ReportOutput> output = nullptr);

}  // namespace report
