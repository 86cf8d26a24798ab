#include "standalone/Services.h"

#include <cctype>
#include <cmath>

#include "db/Recordset.h"
#include "host/Cinterface.h"
#include "host/HostError.h"
#include "host/Values.h"
#include "standalone/components/Decoders.h"
#include "standalone/components/Finders.h"
#include "standalone/components/Programs.h"
#include "text/Text.h"

namespace standalone {

// ---- message centre --------------------------------------------------------------------

std::string StandaloneMessageCenter::text(long id, const std::vector<db::Variant>& params) {
    auto t = dictionary_.text(id);
    if (!t) return "[testo " + std::to_string(id) + " non presente nel dizionario]";
    return fillPlaceholders(*t, params);
}

int StandaloneMessageCenter::messageBox(const std::string& text, int style, const std::string& title,
                                        const db::Variant& /*owner*/) {
    host::MessageBoxRequest r;
    r.text = text;
    r.title = title;
    r.type = style;
    return dialogs_->message(r);
}

// ---- log ---------------------------------------------------------------------------------

void StandaloneLogService::takeError(long number, const std::string& description, const std::string& source) {
    error_ = host::ErrorInfo{number, description, source, {}};
}

int StandaloneLogService::showError(const std::string& title, const std::string& caption,
                                    const std::string& procedure, int style, const db::Variant& /*window*/) {
    host::ErrorReportRequest r;
    r.number = error_.number;
    r.description = error_.description;
    r.source = error_.source;
    r.procedure = procedure;
    r.title = title.empty() ? title_ : title;
    r.caption = caption;
    r.style = style;
    r.databaseErrors = adoErrors_;
    // The error is reported once; the next report starts clean.
    error_ = {};
    adoErrors_.clear();
    return host::normaliseErrorAnswer(dialogs_->errorReport(r));
}

std::int16_t StandaloneLogService::showMessage(long code, int type, const std::string& text,
                                               const std::string& detail, const db::Variant& /*window*/) {
    host::MessageBoxRequest r;
    r.text = text;
    r.title = title_;
    r.type = type;
    r.defaultButton = defaultButton_;
    r.detail = detail;
    r.code = code;
    defaultButton_ = 0;
    int answer = dialogs_->message(r);
    if (answer < -32768 || answer > 32767) answer = 0;
    return static_cast<std::int16_t>(answer);
}

// ---- utility -----------------------------------------------------------------------------

void StandaloneEditorUtility::initialise(std::shared_ptr<host::Cinterface> entry,
                                         std::shared_ptr<db::Connection> connection, const std::string& title,
                                         const db::Variant& /*window*/, const std::string& caption) {
    entry_ = entry;
    connection_ = std::move(connection);
    if (!title.empty()) title_ = title;
    caption_ = caption;
}

int StandaloneEditorUtility::reportError(const std::string& procedure, const host::ErrorInfo& error) {
    host::ErrorReportRequest r;
    r.number = error.number;
    r.description = error.description;
    r.source = error.source;
    r.procedure = procedure;
    r.title = title_;
    r.caption = caption_;
    r.style = 4370;
    r.databaseErrors = error.databaseErrors;
    if (r.databaseErrors.empty() && connection_) r.databaseErrors = connection_->Errors().items();
    return host::normaliseErrorAnswer(dialogs_->errorReport(r));
}

int StandaloneEditorUtility::showHostMessage(long code, int type, const std::vector<db::Variant>& params,
                                             int defaultButton) {
    host::MessageBoxRequest r;
    r.text = messages_ ? messages_->text(code, params) : "[messaggio " + std::to_string(code) + "]";
    r.title = title_;
    r.type = type;
    r.defaultButton = defaultButton;
    r.code = code;
    return dialogs_->message(r);
}

db::Variant StandaloneEditorUtility::valueOrDefault(const db::Variant& value, const db::Variant& fallback) {
    return host::valueOrDefault(value, fallback);
}

bool StandaloneEditorUtility::isEmptyRecordset(const std::shared_ptr<db::Recordset>& rs) {
    if (!rs || rs->State() != db::ado::adStateOpen) return true;
    return rs->Bof() && rs->Eof();
}

void StandaloneEditorUtility::closeRecordset(std::shared_ptr<db::Recordset>& rs) {
    if (rs && rs->State() == db::ado::adStateOpen) rs->Close();
    rs.reset();
}

void StandaloneEditorUtility::finish() {
    connection_.reset();
    entry_.reset();
}

// ---- factories ---------------------------------------------------------------------------

std::shared_ptr<host::LogService> StandaloneClassFactory::newLogService() {
    return std::make_shared<StandaloneLogService>(dialogs_);
}

std::shared_ptr<host::EditorUtility> StandaloneClassFactory::newEditorUtility() {
    return std::make_shared<StandaloneEditorUtility>(dialogs_, messages_);
}

std::shared_ptr<host::ConnectionProvider> StandaloneClassFactory::newConnectionProvider() {
    return std::make_shared<StandaloneConnectionProvider>();
}

std::shared_ptr<host::RecordsetFactory> StandaloneClassFactory::newRecordsetFactory() {
    return std::make_shared<StandaloneRecordsetFactory>();
}

std::shared_ptr<host::LedgerChartDecoder> StandaloneClassFactory::newLedgerChartDecoder() {
    return std::make_shared<StandaloneLedgerChartDecoder>();
}

std::shared_ptr<host::LedgerChartFinder> StandaloneClassFactory::newLedgerChartFinder() {
    return std::make_shared<StandaloneLedgerChartFinder>();
}

std::shared_ptr<host::ReclChartDecoder> StandaloneClassFactory::newReclChartDecoder() {
    return std::make_shared<StandaloneReclChartDecoder>();
}

std::shared_ptr<host::ReclChartFinder> StandaloneClassFactory::newReclChartFinder() {
    return std::make_shared<StandaloneReclChartFinder>();
}

std::shared_ptr<host::IntercompanyDecoder> StandaloneClassFactory::newIntercompanyDecoder() {
    return std::make_shared<StandaloneIntercompanyDecoder>();
}

std::shared_ptr<host::ReclProgramLauncher> StandaloneClassFactory::newReclProgramLauncher() {
    return std::make_shared<StandaloneReclProgramLauncher>(programPresenter(), eventLog());
}

std::shared_ptr<host::LedgerProgramLauncher> StandaloneClassFactory::newLedgerProgramLauncher() {
    return std::make_shared<StandaloneLedgerProgramLauncher>(programPresenter(), eventLog());
}

std::shared_ptr<host::IntercompanyProgram> StandaloneClassFactory::newIntercompanyProgram() {
    return std::make_shared<StandaloneIntercompanyProgram>(programPresenter(), eventLog());
}

std::shared_ptr<host::CorrelationReport> StandaloneClassFactory::newCorrelationReport() {
    return reportMaker_ ? reportMaker_() : nullptr;
}

void StandaloneClassFactory::setProgramPresenter(std::shared_ptr<host::ProgramPresenter> presenter) {
    presenter_ = std::move(presenter);
}

std::shared_ptr<host::ProgramPresenter> StandaloneClassFactory::programPresenter() {
    if (!presenter_) presenter_ = std::make_shared<RecordingProgramPresenter>();
    return presenter_;
}

std::shared_ptr<HostEventLog> StandaloneClassFactory::eventLog() {
    if (!events_) events_ = std::make_shared<HostEventLog>();
    return events_;
}

// ---- lookups -----------------------------------------------------------------------------

std::optional<long> bareCode(const db::Variant& code) {
    if (code.isText()) {
        const std::string t = text::trimWhitespace(code.toText());
        if (t.empty() || t.size() > 9) return std::nullopt;
        long v = 0;
        for (char c : t) {
            if (c < '0' || c > '9') return std::nullopt;
            v = v * 10 + (c - '0');
        }
        return v;
    }
    if (code.isNumeric() && code.type() != db::Variant::Type::Boolean) {
        double d = code.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && d >= 0 && d <= 999999999) return static_cast<long>(d);
    }
    return std::nullopt;
}

namespace {

void requireKnownLookup(const std::string& name) {
    if (name != StandaloneLookupCatalog::kCeeSchemes)
        throw host::HostError("lookup sconosciuto: '" + name + "'");
}

}  // namespace

host::LookupDefinition StandaloneLookupCatalog::prepare(const std::string& name, const db::Variant& /*option*/) {
    requireKnownLookup(name);
    host::LookupDefinition d;
    d.sql = "SELECT CG21_CODICE, CG21_DESCR FROM CG21_SCHEMACEE WITH(NOLOCK) ORDER BY CG21_CODICE";
    d.fields = {{"CG21_CODICE", "Codice", 1200}, {"CG21_DESCR", "Descrizione", 4800}};
    d.caption = "Schemi di bilancio CEE";
    d.lookupId = std::string(kCeeSchemes);
    return d;
}

host::DecodeDefinition StandaloneLookupCatalog::prepareDecode(const std::string& name, const db::Variant& code,
                                                              std::shared_ptr<kit::Control> target) {
    requireKnownLookup(name);
    host::DecodeDefinition d;
    auto n = bareCode(code);
    d.sql = n ? "SELECT CG21_DESCR FROM CG21_SCHEMACEE WITH(NOLOCK) WHERE CG21_CODICE = " + std::to_string(*n)
              : std::string("SELECT CG21_DESCR FROM CG21_SCHEMACEE WITH(NOLOCK) WHERE 1 = 0");
    d.fields.emplace_back("CG21_DESCR", std::move(target));
    return d;
}

// ---- global object ---------------------------------------------------------------------

StandaloneGlobal::StandaloneGlobal(Settings settings, std::shared_ptr<host::MessageCenter> messages,
                                   std::shared_ptr<host::LookupCatalog> lookups,
                                   std::shared_ptr<host::ClassFactory> classes, std::shared_ptr<HostEventLog> log)
    : settings_(std::move(settings)), messages_(std::move(messages)), lookups_(std::move(lookups)),
      classes_(std::move(classes)), log_(log ? std::move(log) : std::make_shared<HostEventLog>()) {}

host::LedgerParameters StandaloneGlobal::loadLedgerParameters(const db::Variant& chart) {
    parameters_ = {};
    auto code = bareCode(chart);
    if (!code) return parameters_;
    if (!connection_ || connection_->State() != db::ado::adStateOpen) {
        auto c = db::Connection::create();
        c->Open(settings_.connectionString);   // db::Error to the caller; retried next time
        connection_ = std::move(c);
    }
    auto rs = connection_->Execute("SELECT CG36_CODICE, CG36_CONTO_CG24 FROM CG36_PRSPDC WITH(NOLOCK)"
                                   " WHERE CG36_GRUPPO_CG10 = " + std::to_string(*code));
    host::LedgerParameters p;
    bool haveCustomers = false, haveSuppliers = false;
    if (rs && rs->State() == db::ado::adStateOpen) {
        while (!rs->Eof()) {
            db::Variant setting = rs->value("CG36_CODICE");
            if (setting.isNumeric()) {
                long s = static_cast<long>(setting.toInt64());
                if (s == 10 && !haveCustomers) {
                    p.customersMaster = rs->value("CG36_CONTO_CG24").toText();
                    haveCustomers = true;
                } else if (s == 20 && !haveSuppliers) {
                    p.suppliersMaster = rs->value("CG36_CONTO_CG24").toText();
                    haveSuppliers = true;
                }
            }
            rs->MoveNext();
        }
    }
    parameters_ = p;
    return parameters_;
}

namespace {

nlohmann::json programCaption(const std::shared_ptr<host::Cinterface>& program) {
    if (!program) return nullptr;
    return program->Caption().isObject() ? std::string() : program->Caption().toText();
}

}  // namespace

void StandaloneGlobal::setCurrentProgram(std::shared_ptr<host::Cinterface> program) {
    log_->record("currentProgram", {{"set", program != nullptr}, {"caption", programCaption(program)}});
    current_ = std::move(program);
}

void StandaloneGlobal::setSecondProgram(std::shared_ptr<host::Cinterface> program) {
    log_->record("secondProgram", {{"set", program != nullptr}, {"caption", programCaption(program)}});
    second_ = std::move(program);
}

void StandaloneGlobal::programClosing(host::Cinterface& program) {
    log_->record("programClosing", {{"caption", program.Caption().isObject() ? std::string() : program.Caption().toText()},
                                    {"current", current_.get() == &program}});
}

void StandaloneGlobal::applicationNotice(std::shared_ptr<db::Object> application) {
    log_->record("applicationNotice", {{"hasApplication", application != nullptr}});
}

}  // namespace standalone
