#include "report/HostCorrelationReport.h"

#include "db/Error.h"
#include "host/Cinterface.h"
#include "host/Global.h"
#include "host/MessageCenter.h"
#include "report/PdfFile.h"

namespace report {

namespace {

constexpr int kWarningBox = 48;

int nextReportId() {
    static int last = 0;
    return ++last;
}

}  // namespace

HostCorrelationReport::HostCorrelationReport(std::shared_ptr<standalone::HostEventLog> events,
                                             std::shared_ptr<standalone::ReportDestination> destination,
                                             std::shared_ptr<ReportOutput> output)
    : events_(std::move(events)), destination_(std::move(destination)), output_(std::move(output)), id_(nextReportId()) {
    record("create");
}

HostCorrelationReport::~HostCorrelationReport() {
    if (connection_ && connection_->State() == db::ado::adStateOpen) connection_->Close();
    record("release");
}

void HostCorrelationReport::record(const char* call, nlohmann::json fields) {
    if (!events_) return;
    fields["report"] = id_;
    fields["call"] = call;
    events_->record("report", std::move(fields));
}

void HostCorrelationReport::tell(const std::string& text) {
    auto global = entry_ ? entry_->ClsGlobal() : nullptr;
    auto messages = global ? global->messageCenter() : nullptr;
    if (messages) messages->messageBox(text, kWarningBox, kMessageTitle);
}

void HostCorrelationReport::setHostInterface(std::shared_ptr<host::Cinterface> entry) {
    entry_ = std::move(entry);
    record("setHostInterface", {{"value", entry_ ? nlohmann::json("entry class") : nlohmann::json(nullptr)}});
}

void HostCorrelationReport::setIntercompanyCode(const std::string& code) {
    intercompany_ = code;
    record("setIntercompanyCode", {{"value", code}});
}

void HostCorrelationReport::setLedgerChartCode(const std::string& code) {
    ledgerChart_ = code;
    record("setLedgerChartCode", {{"value", code}});
}

void HostCorrelationReport::setReclChartCode(const std::string& code) {
    reclChart_ = code;
    record("setReclChartCode", {{"value", code}});
}

db::Variant HostCorrelationReport::print(Kind kind, const char* call) {
    content_.reset();
    auto global = entry_ ? entry_->ClsGlobal() : nullptr;
    if (!global) {
        record(call, {{"result", false}, {"error", "host interface not set"}});
        return false;
    }
    ReportRequest request;
    request.kind = kind;
    request.ledgerChart = ledgerChart_;
    request.reclChart = reclChart_;
    request.intercompany = intercompany_;
    request.company = std::to_string(global->companyCode());
    try {
        if (!connection_) {
            connection_ = db::Connection::create();
            connection_->Open(global->hostConnectionString());
        }
        content_ = buildReportContent(*connection_, request);
    } catch (const ReportRefused& e) {
        tell(e.what());
        record(call, {{"result", false}, {"refused", e.what()}});
        return false;
    } catch (const db::Exception& e) {
        const std::string text = std::string("Stampa non riuscita per un errore del database: ") + e.what();
        tell(text);
        record(call, {{"result", false}, {"error", e.what()}});
        return false;
    }
    const long rows = static_cast<long>(content_->rows.size());
    record(call, {{"result", rows}});
    return rows;
}

db::Variant HostCorrelationReport::finish() {
    nlohmann::json fields;
    int pages = 0;
    if (content_) {
        try {
            if (destination_ && !destination_->pdfFile.empty()) {
                pages = writePdf(*content_, destination_->pdfFile);
                fields["file"] = destination_->pdfFile.string();
            } else if (output_) {
                pages = output_->deliver(*content_);
            }
        } catch (const ReportError& e) {
            tell(e.what());
            fields["error"] = e.what();
        }
        content_.reset();
    }
    fields["result"] = pages;
    record("finish", std::move(fields));
    return pages;
}

void HostCorrelationReport::setConnection(std::shared_ptr<db::Connection> connection) {
    if (connection_ && connection_ != connection && connection_->State() == db::ado::adStateOpen) connection_->Close();
    connection_ = std::move(connection);
    record("setConnection", {{"value", connection_ ? nlohmann::json("connection") : nlohmann::json(nullptr)}});
}

void installCorrelationReports(standalone::StandaloneHost& host, std::shared_ptr<ReportOutput> output) {
    host.classes->setReportMaker([events = host.events, destination = host.reports, output]() {
        return std::make_shared<HostCorrelationReport>(events, destination, output);
    });
}

}  // namespace report
