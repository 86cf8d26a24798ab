#pragma once
// The trial balance an open correlation editor works with: its company and ledger chart (COGE
// and HYPE: the header's chart; CONS: the structure's chart). The analytic kind COIN has no
// ledger balances.

#include <string>

#include "balances/BalanceStore.h"
#include "mapping/EditorLink.h"

namespace balances {

inline constexpr const char* kNoBalancesInAnalytic =
    "La correlazione analitica non ha bilanci di verifica: i saldi sono dei conti del piano dei conti generale.";

// True for the kinds whose ledger accounts have balances.
constexpr bool kindHasBalances(mapping::CorrelationKind kind) { return kind != mapping::CorrelationKind::COIN; }

// The target of the editor's list at `date`; mapping::EditorBusy (a text for the user) while no
// list is loaded or in COIN.
BalanceTarget editorBalanceTarget(const mapping::EditorLink& link, const std::string& date);

}  // namespace balances
