#pragma once
// The port through which a host program (chart and account maintenance, intercompany
// structures) is shown: the desktop shell opens a window over the request's rows, tests and
// the automation driver record the request and answer from a queue.

#include <optional>
#include <string>

#include "db/Variant.h"
#include "kit/CodeEditBox.h"

namespace host {

// Program names, as recorded and as the presenter receives them.
inline constexpr const char* kReclChartProgram = "reclChart";            // PC01 charts and accounts
inline constexpr const char* kLedgerChartProgram = "ledgerChart";        // CG10 charts and CG24 accounts
inline constexpr const char* kIntercompanyProgram = "intercompanyStructure";   // CGC0 structures

struct ProgramRequest {
    std::string program;           // one of the names above
    db::Variant chart;             // chart (or structure) the program opens on; Empty for none
    db::Variant account;           // account to position on; Empty for none
    int mode = 0;                  // 0 maintenance, 1 search
    std::string connectionString;  // the database the program reads
    // What the program shows: a read-only statement, its columns (the first is the key),
    // a caption and the key of the row to position on ("" for the first row).
    std::string sql;
    kit::LookupFields fields;
    std::string caption;
    std::string position;
    // True when a box waits for the key of the row the user chooses.
    bool returnsChoice = false;
};

class ProgramPresenter {
public:
    virtual ~ProgramPresenter() = default;
    // Returns when the program closes: the key of the row the user chose to hand back, or
    // nothing (closed without a choice, or nothing to hand back).
    virtual std::optional<std::string> run(const ProgramRequest& request) = 0;
};

}  // namespace host
