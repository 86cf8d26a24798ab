#pragma once
// The host's global object (ClsGlobal): company and chart facts, the host connection string,
// current-program tracking and the shared host services.

#include <cstdint>
#include <memory>
#include <string>

#include "db/Variant.h"
#include "host/Fwd.h"

namespace host {

// Per-chart settings of a ledger chart: its customers' and suppliers' master accounts
// ("" when the chart has none).
struct LedgerParameters {
    std::string customersMaster;   // setting code 10
    std::string suppliersMaster;   // setting code 20
};

class Global : public db::Object {
public:
    ~Global() override = default;

    // Current company; written bare where statements carry "<DITTA>".
    virtual std::int32_t companyCode() const = 0;
    // Level count of the current company's ledger chart.
    virtual std::int16_t ledgerLevelCount() const = 0;
    virtual std::string hostConnectionString() const = 0;

    // Reads the ledger-chart parameters of `chart` and keeps them as the current ones.
    // A chart code that is not a number gives empty parameters. db::Error on a database failure.
    virtual LedgerParameters loadLedgerParameters(const db::Variant& chart) = 0;
    virtual LedgerParameters ledgerParameters() const = 0;

    // The program the user works in; nullptr for none.
    virtual void setCurrentProgram(std::shared_ptr<Cinterface> program) = 0;
    virtual std::shared_ptr<Cinterface> currentProgram() const = 0;
    virtual void setSecondProgram(std::shared_ptr<Cinterface> program) = 0;
    virtual std::shared_ptr<Cinterface> secondProgram() const = 0;

    // A program is closing (the editor passes its entry class).
    virtual void programClosing(Cinterface& program) = 0;
    // A window announces the application object to the host.
    virtual void applicationNotice(std::shared_ptr<db::Object> application) = 0;

    virtual std::shared_ptr<MessageCenter> messageCenter() = 0;
    virtual std::shared_ptr<LookupCatalog> lookupCatalog() = 0;
    // Creates the per-window host classes (log, utility, connection provider, recordset factory).
    virtual std::shared_ptr<ClassFactory> classFactory() = 0;
};

}  // namespace host
