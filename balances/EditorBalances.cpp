#include "balances/EditorBalances.h"

#include "mapping/Rows.h"

namespace balances {

BalanceTarget editorBalanceTarget(const mapping::EditorLink& link, const std::string& date) {
    if (!kindHasBalances(link.kind())) throw mapping::EditorBusy(kNoBalancesInAnalytic);
    std::string why;
    const auto scope = link.scope(&why);
    if (!scope) throw mapping::EditorBusy(why);
    if (!mapping::detail::isCode(scope->chart) || !mapping::detail::isCode(scope->company))
        throw mapping::EditorBusy("Il piano dei conti dell'elenco non è un codice valido: \"" + scope->chart + "\".");
    return {std::stoi(scope->company), std::stoi(scope->chart), date};
}

}  // namespace balances
