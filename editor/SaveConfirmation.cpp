#include "editor/SaveConfirmation.h"

#include "db/SqlText.h"
#include "editor/RowNavigation.h"
#include "text/Text.h"
#include "host/MessageCenter.h"
#include "kit/QueryGrid.h"
#include "kit/RecordFrame.h"

namespace editor {

int decideRowUpdate(int reason, const PendingRow& row, const std::function<int()>& askOnClose,
                    const std::function<bool()>& validate) {
    // Nothing new for the database: the row's own update only brings the row into line.
    if (text::trimSpaces(row.account) == text::trimSpaces(row.storedAccount)) return kit::DecisionWrite;
    if (reason == kit::UpdateOnClose) {
        const int answer = askOnClose();
        if (answer == kAnswerNo) return kit::DecisionDiscard;
        if (answer != kAnswerSi) return kit::DecisionStay;
    }
    // An emptied box removes the correlation: there is nothing to validate.
    if (text::trimSpaces(row.account).empty() || row.validated) return kit::DecisionWrite;
    return validate() ? kit::DecisionWrite : kit::DecisionStay;
}

bool validatesOnKey(int key, const PendingRow& row) {
    if (isRowNavigationKey(key)) return true;
    return key == kit::keys::Enter && row.account != row.storedAccount && !row.validated;
}

int askSaveBeforeClosing(host::MessageCenter& messages, const std::string& ledgerAccount, const std::string& title) {
    const std::string text = db::replaceAll("Salvare la correlazione del conto %1?", "%1", ledgerAccount);
    return messages.messageBox(text, kCloseQuestionStyle, title);
}

std::string currentLedgerAccountText(const kit::QueryGrid& grid) {
    const long row = grid.currentRow();
    if (row < 0) return {};
    const auto& columns = grid.columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].field != "CONTOPDCGRID") continue;
        const int column = static_cast<int>(i);
        // An account is shown on its debit row only; its credit row comes right after it.
        std::string text = text::trimSpaces(grid.cellText(row, column));
        if (text.empty() && row > 0) text = text::trimSpaces(grid.cellText(row - 1, column));
        return text;
    }
    return {};
}

}  // namespace editor
