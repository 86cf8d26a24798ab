#pragma once
// The request through which a script imports a trial balance for an open correlation
// editor's company and ledger chart, as the desktop's Bilancio menu does: a preview that
// stays open until it is applied or discarded. docs/automation.md describes it.

namespace standalone {
class AutomationDriver;
}

namespace brevanto::cli {

// Adds the request "balances" to the driver.
void addBalanceRequests(standalone::AutomationDriver& driver);

}  // namespace brevanto::cli
