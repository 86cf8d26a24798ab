#pragma once
// The stand-alone host's services behind the host interfaces: message centre over the
// dictionary, log and utility classes whose boxes go through a Dialogs port, connection and
// recordset factories, the CEE scheme lookup and the global object.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "db/Connection.h"
#include "host/ClassFactory.h"
#include "host/Dialogs.h"
#include "host/Global.h"
#include "host/LookupCatalog.h"
#include "host/MessageCenter.h"
#include "host/ProgramPresenter.h"
#include "standalone/Dictionary.h"
#include "standalone/HostEventLog.h"
#include "standalone/Settings.h"

namespace standalone {

inline constexpr const char* kApplicationTitle = "Brevanto";

class StandaloneMessageCenter : public host::MessageCenter {
public:
    StandaloneMessageCenter(std::shared_ptr<host::Dialogs> dialogs, Dictionary dictionary = Dictionary::builtin())
        : dialogs_(std::move(dialogs)), dictionary_(std::move(dictionary)) {}
    std::string text(long id, const std::vector<db::Variant>& params = {}) override;
    int messageBox(const std::string& text, int style, const std::string& title,
                   const db::Variant& owner = {}) override;
    const Dictionary& dictionary() const { return dictionary_; }

private:
    std::shared_ptr<host::Dialogs> dialogs_;
    Dictionary dictionary_;
};

class StandaloneLogService : public host::LogService {
public:
    explicit StandaloneLogService(std::shared_ptr<host::Dialogs> dialogs, std::string title = kApplicationTitle)
        : dialogs_(std::move(dialogs)), title_(std::move(title)) {}
    using host::LogService::takeError;
    void initialise(std::shared_ptr<host::Cinterface> entry) override { entry_ = entry; }
    void takeError(long number, const std::string& description, const std::string& source) override;
    void takeAdoErrors(const db::Errors& errors) override { adoErrors_ = errors.items(); }
    int showError(const std::string& title, const std::string& caption, const std::string& procedure,
                  int style, const db::Variant& window) override;
    void setDefaultButton(int button) override { defaultButton_ = button; }
    std::int16_t showMessage(long code, int type, const std::string& text, const std::string& detail,
                             const db::Variant& window) override;
    void finish() override { finished_ = true; }
    void detach() override { entry_.reset(); }

    std::shared_ptr<host::Cinterface> entry() const { return entry_.lock(); }
    bool finished() const { return finished_; }

private:
    std::shared_ptr<host::Dialogs> dialogs_;
    std::string title_;
    std::weak_ptr<host::Cinterface> entry_;
    host::ErrorInfo error_;
    std::vector<db::ErrorItem> adoErrors_;
    int defaultButton_ = 0;
    bool finished_ = false;
};

class StandaloneEditorUtility : public host::EditorUtility {
public:
    StandaloneEditorUtility(std::shared_ptr<host::Dialogs> dialogs, std::shared_ptr<host::MessageCenter> messages,
                            std::string title = kApplicationTitle)
        : dialogs_(std::move(dialogs)), messages_(std::move(messages)), title_(std::move(title)) {}
    void start() override { started_ = true; }
    void initialise(std::shared_ptr<host::Cinterface> entry, std::shared_ptr<db::Connection> connection,
                    const std::string& title, const db::Variant& window, const std::string& caption) override;
    int reportError(const std::string& procedure, const host::ErrorInfo& error) override;
    int showHostMessage(long code, int type, const std::vector<db::Variant>& params = {},
                        int defaultButton = 0) override;
    db::Variant valueOrDefault(const db::Variant& value, const db::Variant& fallback) override;
    bool isEmptyRecordset(const std::shared_ptr<db::Recordset>& rs) override;
    void closeRecordset(std::shared_ptr<db::Recordset>& rs) override;
    void finish() override;

    bool started() const { return started_; }

private:
    std::shared_ptr<host::Dialogs> dialogs_;
    std::shared_ptr<host::MessageCenter> messages_;
    std::string title_;
    std::string caption_;
    std::weak_ptr<host::Cinterface> entry_;
    std::shared_ptr<db::Connection> connection_;
    bool started_ = false;
};

class StandaloneConnectionProvider : public host::ConnectionProvider {
public:
    std::shared_ptr<db::Connection> newConnection() override { return db::Connection::create(); }
};

class StandaloneRecordsetFactory : public host::RecordsetFactory {
public:
    std::shared_ptr<db::Recordset> newRecordset() override { return db::Recordset::create(); }
};

class StandaloneClassFactory : public host::ClassFactory {
public:
    StandaloneClassFactory(std::shared_ptr<host::Dialogs> dialogs, std::shared_ptr<host::MessageCenter> messages)
        : dialogs_(std::move(dialogs)), messages_(std::move(messages)) {}
    std::shared_ptr<host::LogService> newLogService() override;
    std::shared_ptr<host::EditorUtility> newEditorUtility() override;
    std::shared_ptr<host::ConnectionProvider> newConnectionProvider() override;
    std::shared_ptr<host::RecordsetFactory> newRecordsetFactory() override;

    std::shared_ptr<host::LedgerChartDecoder> newLedgerChartDecoder() override;
    std::shared_ptr<host::LedgerChartFinder> newLedgerChartFinder() override;
    std::shared_ptr<host::ReclChartDecoder> newReclChartDecoder() override;
    std::shared_ptr<host::ReclChartFinder> newReclChartFinder() override;
    std::shared_ptr<host::IntercompanyDecoder> newIntercompanyDecoder() override;
    std::shared_ptr<host::ReclProgramLauncher> newReclProgramLauncher() override;
    std::shared_ptr<host::LedgerProgramLauncher> newLedgerProgramLauncher() override;
    std::shared_ptr<host::IntercompanyProgram> newIntercompanyProgram() override;
    // Made by the maker the program installs (the report needs Qt, which this host leaves
    // to the programs); nullptr without one.
    std::shared_ptr<host::CorrelationReport> newCorrelationReport() override;
    using ReportMaker = std::function<std::shared_ptr<host::CorrelationReport>()>;
    void setReportMaker(ReportMaker maker) { reportMaker_ = std::move(maker); }

    // Where the programs opened from the code fields are shown and recorded. Until set, a
    // recording presenter that answers nothing and a log of the factory's own.
    void setProgramPresenter(std::shared_ptr<host::ProgramPresenter> presenter);
    std::shared_ptr<host::ProgramPresenter> programPresenter();
    void setEventLog(std::shared_ptr<HostEventLog> events) { events_ = std::move(events); }

private:
    std::shared_ptr<HostEventLog> eventLog();

    std::shared_ptr<host::Dialogs> dialogs_;
    std::shared_ptr<host::MessageCenter> messages_;
    std::shared_ptr<host::ProgramPresenter> presenter_;
    std::shared_ptr<HostEventLog> events_;
    ReportMaker reportMaker_;
};

// Lookups of the stand-alone host: "LKP_CODPDCRICLCEE" over the CEE schemes (CG21_SCHEMACEE).
class StandaloneLookupCatalog : public host::LookupCatalog {
public:
    static constexpr const char* kCeeSchemes = "LKP_CODPDCRICLCEE";
    host::LookupDefinition prepare(const std::string& name, const db::Variant& option) override;
    // The code is written into the statement only when it is a whole number; anything else
    // gives a statement that finds no row.
    host::DecodeDefinition prepareDecode(const std::string& name, const db::Variant& code,
                                         std::shared_ptr<kit::Control> target) override;
};

// A code written bare into SQL: a whole number from 0 to 999999999 given as a number or as
// digits (blanks around allowed); nothing otherwise.
std::optional<long> bareCode(const db::Variant& code);

class StandaloneGlobal : public host::Global {
public:
    StandaloneGlobal(Settings settings, std::shared_ptr<host::MessageCenter> messages,
                     std::shared_ptr<host::LookupCatalog> lookups, std::shared_ptr<host::ClassFactory> classes,
                     std::shared_ptr<HostEventLog> log);

    std::int32_t companyCode() const override { return settings_.companyCode; }
    std::int16_t ledgerLevelCount() const override { return settings_.ledgerLevels; }
    std::string hostConnectionString() const override { return settings_.connectionString; }
    host::LedgerParameters loadLedgerParameters(const db::Variant& chart) override;
    host::LedgerParameters ledgerParameters() const override { return parameters_; }
    void setCurrentProgram(std::shared_ptr<host::Cinterface> program) override;
    std::shared_ptr<host::Cinterface> currentProgram() const override { return current_; }
    void setSecondProgram(std::shared_ptr<host::Cinterface> program) override;
    std::shared_ptr<host::Cinterface> secondProgram() const override { return second_; }
    void programClosing(host::Cinterface& program) override;
    void applicationNotice(std::shared_ptr<db::Object> application) override;
    std::shared_ptr<host::MessageCenter> messageCenter() override { return messages_; }
    std::shared_ptr<host::LookupCatalog> lookupCatalog() override { return lookups_; }
    std::shared_ptr<host::ClassFactory> classFactory() override { return classes_; }

    const Settings& settings() const { return settings_; }
    // The connection on which the ledger-chart parameters are read; without one the global
    // object opens its own on the host connection string when first needed.
    void setParametersConnection(std::shared_ptr<db::Connection> connection) { connection_ = std::move(connection); }

private:
    Settings settings_;
    std::shared_ptr<host::MessageCenter> messages_;
    std::shared_ptr<host::LookupCatalog> lookups_;
    std::shared_ptr<host::ClassFactory> classes_;
    std::shared_ptr<HostEventLog> log_;
    std::shared_ptr<db::Connection> connection_;
    host::LedgerParameters parameters_;
    std::shared_ptr<host::Cinterface> current_, second_;
};

}  // namespace standalone
