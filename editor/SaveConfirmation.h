#pragma once
// What both correlation windows decide before their record frame writes a changed row: an
// account is written only once validation has accepted it on that row, and closing a window
// with an unsaved account asks the user first. Proposals never get here: the frame discards
// them unless the user confirmed them.

#include <functional>
#include <string>

#include "db/Variant.h"

namespace host {
class MessageCenter;
}
namespace kit {
class QueryGrid;
}

namespace editor {

// The tooltip of a pre-filled account in the account box and in the grid.
inline constexpr const char* kProposalHint = "Conto proposto: Invio per confermare";

// The close question's buttons (message-box style 3, question icon) and their answers.
inline constexpr int kCloseQuestionStyle = 3 + 32;
inline constexpr int kAnswerSi = 1;
inline constexpr int kAnswerNo = 0;
inline constexpr int kAnswerAnnulla = 2;

// The account validation accepted last, and on which row: a row key that validated an
// account once is not asked again (the account-type question would be).
class ValidatedAccount {
public:
    void remember(const std::string& account, const db::Variant& row) {
        account_ = account;
        row_ = row;
    }
    void forget() {
        account_.clear();
        row_ = db::Variant();
    }
    bool covers(const std::string& account, const db::Variant& row) const {
        return !account.empty() && account == account_ && !row.isEmpty() && row == row_;
    }

private:
    std::string account_;
    db::Variant row_;
};

// The row being written, as the form sees it.
struct PendingRow {
    std::string account;         // what the account box holds
    std::string storedAccount;   // what the database holds for the row ("" none)
    bool validated = false;      // validation accepted `account` on this row already
};

// The row as it stands now.
inline PendingRow pendingRow(const std::string& account, const std::string& storedAccount,
                             const ValidatedAccount& validated, const db::Variant& rowKey) {
    return PendingRow{account, storedAccount, validated.covers(account, rowKey)};
}

// Whether a key pressed in the account box runs the validation first: the row keys always,
// Enter only for an account that is new for the row and not accepted on it yet.
bool validatesOnKey(int key, const PendingRow& row);

// The decision (kit::UpdateDecision) for a changed row about to be written for `reason`
// (kit::UpdateReason). `askOnClose` shows the close question and returns its answer;
// `validate` runs the account validation with its messages.
int decideRowUpdate(int reason, const PendingRow& row, const std::function<int()>& askOnClose,
                    const std::function<bool()>& validate);

// Asks "Salvare la correlazione del conto %1?" with Sì / No / Annulla; returns the answer.
int askSaveBeforeClosing(host::MessageCenter& messages, const std::string& ledgerAccount, const std::string& title);

// The ledger account of the grid's current row as the grid shows it ("" when none).
std::string currentLedgerAccountText(const kit::QueryGrid& grid);

}  // namespace editor
