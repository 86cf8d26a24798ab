#pragma once
// The requests through which a script uses an open correlation editor's mapping commands, as
// the desktop's Correlazioni menu offers them: the check, the export, a preview (of a file's
// import or of a bulk fill) that stays open until it is applied or discarded, and going to a
// row. docs/automation.md describes them.

namespace standalone {
class AutomationDriver;
}

namespace brevanto::cli {

// Adds the request "mapping" to the driver.
void addMappingRequests(standalone::AutomationDriver& driver);

}  // namespace brevanto::cli
