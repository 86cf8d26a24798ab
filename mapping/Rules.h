#pragma once
// The rules an account must pass to become a row's reclassified account, as when it is typed
// in the editor: it exists in the reclassification chart, it is at the analytic level (a
// customers'/suppliers' master may take a higher-level account no other master has), and it
// is of the type of the account being correlated.

#include <functional>
#include <optional>
#include <string>

#include "mapping/ChartData.h"

namespace mapping {

struct Refusal {
    int message = 0;    // the editor's message number (109 to 115), 0 for the mapping's own reasons
    std::string text;   // for the user
};

struct RuleOptions {
    // COIN asks before storing an account of another type; a bulk operation refuses it
    // unless the user accepted such accounts beforehand.
    bool acceptOtherTypeInAnalytic = false;
};

// The target a key will hold once the operation is done ("" for none): the master rule
// compares with the other master's targets as they will be.
using TargetAfter = std::function<std::string(const Key&)>;

// Why `target` cannot be stored for `key`; nothing when it can. An empty target always can
// (it removes the correlation). The account of `key` must be one of data.accounts.
std::optional<Refusal> checkTarget(const ChartData& data, const Key& key, const std::string& target,
                                   const TargetAfter& targetAfter, const RuleOptions& options = {});

}  // namespace mapping
