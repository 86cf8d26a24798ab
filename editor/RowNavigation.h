#pragma once
// The reclassified-account box's keys, shared by the correlation editor and the
// intermediaries editor: which keys move to another row, which commit the typed account, and
// how each move lands at the ends of the rows.

#include <functional>

#include "editor/ErrorTrap.h"

namespace db {
class Recordset;
}
namespace kit {
class RecordFrame;
}

namespace editor {

// Down, Up, Page Down, Page Up.
bool isRowNavigationKey(int key);
// The navigation keys, Enter and Tab.
bool isCommitKey(int key);

// Moves the working recordset for a navigation key: Down and Up by one row within the rows;
// Page Down ten rows forward, or to the last row when that reaches the count; Page Up ten rows
// back, or to the first row when the position would fall below 2. Other keys do nothing.
void moveByKey(db::Recordset& rs, int key);

// The account box is being left (LostFocus). A proposal left other than by Tab stays a
// proposal: nothing is checked or kept. Otherwise `validate` runs under `trap`; an accepted
// account turns a proposal into the row's value, a refused one keeps the focus in the box.
enum class LeaveAccount { KeepProposal, Refused, Accepted };
LeaveAccount leaveAccountBox(ErrorTrap& trap, kit::RecordFrame* frame, bool byTab,
                             const std::function<bool()>& validate);

}  // namespace editor
