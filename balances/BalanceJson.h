#pragma once
// A balance import's preview as JSON, the same for `brevanto-cli balances import --json` and
// the automation driver's "balances" requests. Amounts are numbers in euro with two decimals.

#include <nlohmann/json.hpp>

#include "balances/BalanceImport.h"

namespace balances {

// `all`: the unchanged rows too.
nlohmann::ordered_json previewJson(const BalancePreview& preview, bool all);

}  // namespace balances
