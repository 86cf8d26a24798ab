#pragma once
// The completeness check of an editor's list, as the check dialog shows it.

#include <vector>

#include "gui/CheckDialog.h"
#include "mapping/EditorLink.h"

namespace gui {

// Runs the check on the link's connection; throws with a text for the user when it cannot.
std::vector<CheckGroup> checkGroups(mapping::EditorLink& link);

}  // namespace gui
