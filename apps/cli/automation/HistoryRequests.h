#pragma once
// The request through which a script undoes and redoes the correlation writes of the session
// on an open correlation editor, as its "Modifica" menu does, and lists what it could undo.
// docs/automation.md describes it.

namespace standalone {
class AutomationDriver;
}

namespace brevanto::cli {

// Adds the request "history" to the driver.
void addHistoryRequests(standalone::AutomationDriver& driver);

}  // namespace brevanto::cli
