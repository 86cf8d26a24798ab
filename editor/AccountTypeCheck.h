#pragma once
// The account-type rule both correlation windows apply: a reclassified account must be of the
// type of the account it correlates. The correlated account's type is read through a hidden
// account box of the window, which decodes it in its own chart.

#include <memory>
#include <string>

#include "db/Connection.h"
#include "db/Variant.h"
#include "kit/AccountBoxes.h"

namespace editor {

// The line break the account-type messages receive as their first parameter.
inline const db::Variant kTypeMessageLineBreak{std::string("\r\n")};

// The message of a mismatch with a ledger account of type `ledgerType`: 112 "Conto non
// d'ordine.", 111 "Conto non patrimoniale.", 109 "Conto non economico.", otherwise 113.
int typeMismatchMessage(int ledgerType);

// Puts `account` of ledger chart `chart` into the hidden ledger box on `connection`, decoding
// it again when the box already holds that code (the chart or the database may have changed).
void showLedgerAccount(kit::LedgerAccountBox& box, std::shared_ptr<db::Connection> connection,
                       const std::string& chart, const std::string& account);

// Puts `account` of analytic chart `chart` into the hidden analytic box on `connection`.
void showAnalyticAccount(kit::CoinAccountBox& box, std::shared_ptr<db::Connection> connection,
                         const std::string& chart, const std::string& account);

}  // namespace editor
