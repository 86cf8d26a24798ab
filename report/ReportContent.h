#pragma once
// What the printed list of correlations shows: the heading (kind, company, charts, time), the
// working rows of the chosen charts exactly as the editor lists them, and the closing totals.
// The rows are read with the same statements as `brevanto-cli list`, on the connection given.

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "apps/cli/WorkingRows.h"

namespace db {
class Connection;
}

namespace report {

using brevanto::cli::Kind;
using brevanto::cli::WorkingRow;

// A print of one kind (COGE, HYPE or CONS) on the header codes as typed.
struct ReportRequest {
    Kind kind = Kind::COGE;
    std::string ledgerChart;     // COGE, HYPE; in CONS only shown (the structure decides)
    std::string reclChart;
    std::string intercompany;    // CONS
    std::string company = "1";
};

struct HeadingLine {
    std::string label;
    std::string value;
};

struct ReportTotals {
    long accounts = 0;
    std::array<long, 2> correlated{};     // by sign: [0] Dare, [1] Avere
    std::array<long, 2> uncorrelated{};
};

struct ReportContent {
    Kind kind = Kind::COGE;
    std::string title;
    std::vector<HeadingLine> heading;
    std::string printedAt;               // "dd/mm/yyyy hh:mm"
    std::vector<WorkingRow> rows;
    ReportTotals totals;
};

// A print the report cannot make (a missing or unknown code, a chart of the wrong type);
// the text is for the user.
class ReportRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

const char* reportTitle(Kind kind);
// "Dare" for 1, "Avere" for 2, "" otherwise.
const char* signText(int segno);
ReportTotals countTotals(const std::vector<WorkingRow>& rows);
// The local time as the heading shows it.
std::string currentTimeText();

// Reads the heading and the rows on `conn` (the working table is made in its session).
// ReportRefused for a request the user must correct (COIN included: it has no print);
// db::Error when the database refuses a statement. A chart without accounts gives no rows.
ReportContent buildReportContent(db::Connection& conn, const ReportRequest& request);

}  // namespace report
