#include "mapping/Rules.h"

#include "db/SqlText.h"
#include "mapping/Rows.h"
#include "resources/ModuleMessages.h"
#include "text/Text.h"

namespace mapping {

namespace {

Refusal refusal(int message, const std::string& par1 = {}, const std::string& par2 = {}) {
    std::string text = resources::moduleMessage(message).value_or("Conto non valido.");
    text = db::replaceAll(std::move(text), "%1", par1);
    text = db::replaceAll(std::move(text), "%2", par2);
    return Refusal{message, std::move(text)};
}

// The message of a type mismatch, by the type of the account being correlated.
int typeMessage(int ledgerType) {
    switch (ledgerType) {
        case 0: return 112;   // not a memorandum account
        case 1: return 111;   // not a balance-sheet account
        case 2: return 109;   // not a profit-and-loss account
        default: return 113;  // not of the same type
    }
}

}  // namespace

std::optional<Refusal> checkTarget(const ChartData& data, const Key& key, const std::string& target,
                                   const TargetAfter& targetAfter, const RuleOptions& options) {
    if (target.empty()) return std::nullopt;
    const ReclAccount* recl = data.reclAccount(target);
    if (!recl) return refusal(114);
    const LedgerAccount* own = data.account(key.account);
    const CorrelationKind kind = data.scope.kind;

    if (kind == CorrelationKind::COIN || kind == CorrelationKind::HYPE) {
        if (!recl->analytic) return refusal(110);
    } else {
        const std::string& c = key.account;
        const std::string& mc = data.customersMaster;
        const std::string& mf = data.suppliersMaster;
        if (!c.empty() && (c == mc || c == mf) && !recl->analytic) {
            // A master may take a higher-level account, unless the other master has it.
            const bool customers = c == mc;
            const std::string& other = customers ? mf : mc;
            if (!other.empty()) {
                for (int sign : {1, 2})
                    if (target == text::trimWhitespace(targetAfter(Key{other, sign})))
                        return refusal(115, target, customers ? "fornitori" : "clienti");
            }
        } else if (!recl->analytic) {
            return refusal(110);
        }
    }

    const int ownType = own ? own->type : -1;
    if (kind == CorrelationKind::COIN) {
        if (ownType != recl->type && !options.acceptOtherTypeInAnalytic) return refusal(113);
    } else if (ownType >= 0 && ownType <= 3 && recl->type != ownType) {
        return refusal(typeMessage(ownType));
    }
    return std::nullopt;
}

}  // namespace mapping
