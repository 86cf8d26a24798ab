#include "editor/AccountTypeCheck.h"

namespace editor {

int typeMismatchMessage(int ledgerType) {
    switch (ledgerType) {
        case 0: return 112;
        case 1: return 111;
        case 2: return 109;
        default: return 113;
    }
}

void showLedgerAccount(kit::LedgerAccountBox& box, std::shared_ptr<db::Connection> connection,
                       const std::string& chart, const std::string& account) {
    box.setConnection(std::move(connection));
    box.setChartCode(db::Variant(chart).toInt16());
    if (box.Text() == account)
        box.Redecode();
    else
        box.setText(account);
}

void showAnalyticAccount(kit::CoinAccountBox& box, std::shared_ptr<db::Connection> connection,
                         const std::string& chart, const std::string& account) {
    box.setConnection(std::move(connection));
    box.setChartCode(db::Variant(chart));
    box.setValue(account);
}

}  // namespace editor
