#include "editor/RowNavigation.h"

#include "db/Recordset.h"
#include "kit/Control.h"
#include "kit/RecordFrame.h"

namespace editor {

bool isRowNavigationKey(int key) {
    return key == kit::keys::Down || key == kit::keys::Up || key == kit::keys::PageDown || key == kit::keys::PageUp;
}

bool isCommitKey(int key) { return isRowNavigationKey(key) || key == kit::keys::Enter || key == kit::keys::Tab; }

void moveByKey(db::Recordset& rs, int key) {
    const long position = rs.AbsolutePosition();
    const long count = rs.RecordCount();
    switch (key) {
        case kit::keys::Down:
            if (position < count) rs.MoveNext();
            break;
        case kit::keys::Up:
            if (position > 1) rs.MovePrevious();
            break;
        case kit::keys::PageDown:
            if (position + 10 >= count)
                rs.MoveLast();
            else
                rs.Move(10);
            break;
        case kit::keys::PageUp:
            if (position - 10 < 2)
                rs.MoveFirst();
            else
                rs.Move(-10);
            break;
        default: break;
    }
}

LeaveAccount leaveAccountBox(ErrorTrap& trap, kit::RecordFrame* frame, bool byTab,
                             const std::function<bool()>& validate) {
    if (frame && frame->isProposal() && !byTab) return LeaveAccount::KeepProposal;
    bool accepted = true;
    trap([&] { accepted = validate(); });
    if (!accepted) return LeaveAccount::Refused;
    trap([&] {
        if (frame) frame->ConfirmProposal();
    });
    return LeaveAccount::Accepted;
}

}  // namespace editor
