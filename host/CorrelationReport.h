#pragma once
// The host's printed list of correlations. The editor creates one per print, hands it the
// chart codes of its kind and asks it to print; what the report reads and where it goes is
// the host's business. Calls in the order of a print:
//
//   setHostInterface(entry)                          the entry class that prints
//   setIntercompanyCode / setLedgerChartCode / setReclChartCode
//   printCoge() | printHype() | printCons()          one per kind
//   finish()                                         delivers what was printed
//   setHostInterface(nullptr), setConnection(nullptr)
//
// The values the print operations and finish return are informative only.

#include <memory>
#include <string>

#include "db/Connection.h"
#include "db/Variant.h"
#include "host/Fwd.h"

namespace host {

class CorrelationReport : public db::Object {
public:
    ~CorrelationReport() override = default;

    // The entry class whose host objects (global object, connection string, company) the
    // report uses; nullptr lets go of it.
    virtual void setHostInterface(std::shared_ptr<Cinterface> entry) = 0;
    // Header codes as typed ("" when the field is empty).
    virtual void setIntercompanyCode(const std::string& code) = 0;
    virtual void setLedgerChartCode(const std::string& code) = 0;
    virtual void setReclChartCode(const std::string& code) = 0;

    virtual db::Variant printCoge() = 0;
    virtual db::Variant printHype() = 0;
    virtual db::Variant printCons() = 0;
    // Common to every kind: hands what the print operation produced to its destination.
    virtual db::Variant finish() = 0;

    // The session the report reads its rows on (its own unless one is handed over);
    // nullptr closes and releases it.
    virtual void setConnection(std::shared_ptr<db::Connection> connection) = 0;
};

}  // namespace host
