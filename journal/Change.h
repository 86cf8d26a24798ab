#pragma once
// What the history records: a step is one write the user made (a saved row, an import, a
// bulk fill, a CEE run, an undo), with the correlations it changed.

#include <string>
#include <vector>

namespace journal {

// Which correlations a step changed: the kind (0 COGE, 1 COIN, 2 HYPE, 3 CONS), the first key
// column of the kind's table (the chart, the intercompany structure in CONS) and the
// reclassification chart. An editor's window undoes the steps of its own scope.
struct Scope {
    int kind = 0;
    std::string ledger;
    std::string reclChart;
    bool operator==(const Scope&) const = default;
};

// The table a change is in: the kind's correlation table, or the intermediaries' one.
enum class Rows { Correlation, Intermediary };

struct Change {
    Rows rows = Rows::Correlation;
    // The account; for an intermediary "owner/TIPOCF/intermediary" (owner: the company, or the
    // structure in CONS), as intermediaryKeyText writes it.
    std::string account;
    int sign = 1;
    std::string before;   // "" none
    std::string after;    // "" none
};

struct Step {
    long id = 0;             // number within this session
    std::string source;      // "editor", "intermediari", "CEE", "importazione", "riempimento", "annullamento", "ripristino"
    std::string user;        // the login name
    std::string time;        // "AAAA-MM-GG HH:MM:SS", local time
    Scope scope;
    std::vector<Change> changes;
    long refersTo = 0;       // an undo or redo: the step it undid or redid
};

inline constexpr const char* kUndoSource = "annullamento";
inline constexpr const char* kRedoSource = "ripristino";

// "importazione, 12 correlazioni" / "editor, conto 1010 in Dare".
std::string describe(const Step& step);
// "owner/TIPOCF/intermediary".
std::string intermediaryKeyText(const std::string& owner, int tipoCf, int intermediary);

// The login name of the user running the program.
std::string currentUser();
// Now, "AAAA-MM-GG HH:MM:SS" in local time.
std::string now();

}  // namespace journal
