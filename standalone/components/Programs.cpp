#include "standalone/components/Programs.h"

#include "db/Recordset.h"
#include "host/Cinterface.h"
#include "host/Global.h"
#include "host/HostError.h"
#include "kit/CodeEditBox.h"
#include "kit/ConnectionCache.h"
#include "kit/Form.h"
#include "kit/WindowSystem.h"
#include "standalone/Services.h"
#include "standalone/components/ComponentSql.h"

namespace standalone {

namespace {

nlohmann::json jsonOf(const db::Variant& v) {
    if (v.isEmpty() || v.isNull() || v.isObject()) return nullptr;
    if (v.isText()) return v.toText();
    if (v.type() == db::Variant::Type::Boolean) return v.toInt64() != 0;
    if (v.type() == db::Variant::Type::Integer) return v.toInt64();
    return v.toDouble();
}

std::string hostConnection(const std::shared_ptr<host::Global>& global) {
    return global ? global->hostConnectionString() : std::string();
}

// The request of a chart browser: the chart's accounts positioned on `account`, or the list
// of charts positioned on `chart` (asked for, or when `chart` is not a chart number).
host::ProgramRequest chartRequest(const char* program, const db::Variant& chart, const db::Variant& account,
                                  bool isLedger, const std::shared_ptr<host::Global>& global,
                                  const std::shared_ptr<kit::Control>& connectField, bool chartList = false) {
    host::ProgramRequest r;
    r.program = program;
    r.chart = chart;
    r.account = account;
    r.connectionString = hostConnection(global);
    r.returnsChoice = connectField != nullptr;
    host::LookupDefinition listing;
    if (bareCode(chart) && !chartList) {
        listing = isLedger ? components::ledgerAccountsListing(chart) : components::reclAccountsListing(chart);
        r.position = components::trimmedText(account);
    } else {
        listing = isLedger ? components::ledgerChartsListing() : components::reclChartsListing("");
        r.position = components::codeText(chart);
    }
    r.sql = std::move(listing.sql);
    r.fields = std::move(listing.fields);
    r.caption = std::move(listing.caption);
    return r;
}

}  // namespace

// ---- presenter for tests and automation -----------------------------------------------

std::optional<std::string> RecordingProgramPresenter::run(const host::ProgramRequest& request) {
    requests_.push_back(request);
    if (answers_.empty()) return std::nullopt;
    auto a = std::move(answers_.front());
    answers_.pop_front();
    return a;
}

// ---- browser ---------------------------------------------------------------------------

ProgramBrowser::ProgramBrowser(std::shared_ptr<host::ProgramPresenter> presenter, std::shared_ptr<HostEventLog> events)
    : presenter_(presenter ? std::move(presenter) : std::make_shared<RecordingProgramPresenter>()),
      events_(events ? std::move(events) : std::make_shared<HostEventLog>()) {}

bool ProgramBrowser::open(const host::ProgramRequest& request, const std::shared_ptr<kit::Control>& target) {
    nlohmann::json fields = {{"program", request.program},
                             {"chart", jsonOf(request.chart)},
                             {"account", jsonOf(request.account)},
                             {"mode", request.mode}};
    fields["connectField"] = target ? nlohmann::json(target->name()) : nlohmann::json(nullptr);
    events_->record("program", std::move(fields));
    auto choice = presenter_->run(request);
    if (!choice || !target || !request.returnsChoice) return false;
    target->setText(*choice);
    events_->record("programChoice", {{"program", request.program}, {"value", *choice}, {"target", target->name()}});
    return true;
}

// ---- launchers -------------------------------------------------------------------------

bool ChartProgram::open(const db::Variant& chart, const db::Variant& account,
                        const std::shared_ptr<kit::Control>& connectField, bool chartList) {
    return browser_.open(chartRequest(program_, chart, account, ledgerCharts_, global_, connectField, chartList),
                         connectField);
}

// ---- intercompany structures -------------------------------------------------------------

void StandaloneIntercompanyProgram::init(std::shared_ptr<host::Cinterface> entry, std::shared_ptr<kit::Control> box,
                                         const db::Variant& text, const db::Variant& mode) {
    entry_ = entry;
    box_ = std::move(box);
    text_ = text;
    mode_ = mode;
    initialised_ = true;
}

bool StandaloneIntercompanyProgram::run() {
    if (!initialised_ || !box_) throw host::HostError("programma delle strutture intercompany avviato senza casella");
    auto mode = bareCode(mode_);
    if (!mode || (*mode != kMaintenance && *mode != kSearch))
        throw host::HostError("modalità del programma delle strutture intercompany non valida: '" +
                              components::trimmedText(mode_) + "'");
    std::string connect;
    if (auto entry = entry_.lock())
        if (auto global = entry->ClsGlobal()) connect = global->hostConnectionString();
    if (*mode == kSearch) return search(connect);

    host::ProgramRequest r;
    r.program = host::kIntercompanyProgram;
    r.chart = text_;
    r.mode = kMaintenance;
    r.connectionString = connect;
    auto listing = components::intercompanyStructuresListing();
    r.sql = std::move(listing.sql);
    r.fields = std::move(listing.fields);
    r.caption = std::move(listing.caption);
    r.position = components::codeText(text_);
    r.returnsChoice = true;
    return browser_.open(r, box_);
}

bool StandaloneIntercompanyProgram::search(const std::string& connect) {
    events_->record("program", {{"program", host::kIntercompanyProgram},
                                {"chart", jsonOf(text_)},
                                {"account", nullptr},
                                {"mode", static_cast<int>(kSearch)},
                                {"connectField", box_->name()}});
    auto listing = components::intercompanyStructuresListing();
    std::shared_ptr<db::Connection> fallback;
    if (auto entry = entry_.lock()) fallback = entry->Connection();
    if (!fallback)
        if (auto* code = dynamic_cast<kit::CodeEditBox*>(box_.get())) fallback = code->Connection();
    auto* windows = box_->form().windowSystemOrNull();
    if (!windows) throw host::HostError("nessuna finestra di ricerca per le strutture intercompany");
    auto rs = kit::runBoxQuery(listing.sql, connect, fallback);
    if (!rs || rs->State() != db::ado::adStateOpen) return false;
    std::string idLookup;
    if (auto* code = dynamic_cast<kit::CodeEditBox*>(box_.get())) idLookup = code->IDLookup();
    auto choice = windows->lookups().pick(
        kit::LookupRequest{listing.caption, listing.fields, rs, components::trimmedText(text_), idLookup});
    if (!choice || *choice < 0 || *choice >= rs->viewSize()) return false;
    const db::RowRef row = rs->viewRow(*choice);
    if (row.empty()) return false;
    std::string code = row.front().toText();
    box_->setText(code);
    events_->record("programChoice",
                    {{"program", host::kIntercompanyProgram}, {"value", code}, {"target", box_->name()}});
    return true;
}

}  // namespace standalone
