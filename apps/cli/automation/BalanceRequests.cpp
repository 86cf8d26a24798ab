#include "apps/cli/automation/BalanceRequests.h"

#include <map>
#include <memory>

#include "apps/cli/automation/EditorRequests.h"
#include "balances/Amounts.h"
#include "balances/BalanceJson.h"
#include "balances/EditorBalances.h"
#include "kit/Form.h"
#include "standalone/automation/AutomationDriver.h"

namespace brevanto::cli {

namespace {

using nlohmann::json;

class BalanceRequests {
public:
    explicit BalanceRequests(standalone::AutomationDriver& driver) : driver_(driver) {}

    json serve(const json& r) {
        const std::string action = requestText(r, "action");
        kit::Form& window = driver_.requestWindow(r);
        if (window.name() != "FRMCG_CORRRICL") throw std::runtime_error("la finestra " + window.name() + " non è un editor di correlazioni");
        if (action == "discard") return {{"discarded", previews_.erase(window.hWnd()) > 0}};
        const auto& settings = driver_.host().settings;
        mapping::EditorLink link(window, kindOfEntry(driver_.requestProgId(r)), settings.connectionString,
                                 std::to_string(settings.companyCode));
        if (action == "preview") return preview(link, window, r);
        if (action == "apply") return apply(link, window);
        throw std::runtime_error("azione sconosciuta \"" + action + "\" (preview, apply, discard)");
    }

private:
    json preview(mapping::EditorLink& link, kit::Form& window, const json& r) {
        const std::string date = requestText(r, "date");
        if (!balances::isoDate(date)) throw std::runtime_error("data non valida \"" + date + "\" (AAAA-MM-GG)");
        const balances::BalanceTarget target = balances::editorBalanceTarget(link, date);
        balances::BalancePreview preview = balances::previewBalanceImport(link.connection(), requestText(r, "file"), target);
        json reply = balances::previewJson(preview, r.value("all", false));
        if (preview.fileProblems.empty())
            previews_[window.hWnd()] = std::move(preview);
        else
            previews_.erase(window.hWnd());
        return reply;
    }

    json apply(mapping::EditorLink& link, kit::Form& window) {
        auto it = previews_.find(window.hWnd());
        if (it == previews_.end()) throw std::runtime_error("nessuna anteprima di bilancio aperta su questa finestra");
        const balances::BalancePreview preview = std::move(it->second);
        previews_.erase(it);   // applied or refused, the preview is closed as the dialog closes
        if (!preview.applicable())
            throw std::runtime_error(preview.count(balances::RowStatus::Refused) > 0
                                         ? "ci sono righe rifiutate: nulla è stato scritto"
                                         : "il bilancio è già quello del file: nulla da scrivere");
        return {{"written", balances::applyBalanceImport(link.connection(), preview)},
                {"data", preview.target.date},
                {"summary", preview.summary()}};
    }

    standalone::AutomationDriver& driver_;
    std::map<long, balances::BalancePreview> previews_;   // by window handle
};

}  // namespace

void addBalanceRequests(standalone::AutomationDriver& driver) {
    auto requests = std::make_shared<BalanceRequests>(driver);
    driver.addRequest("balances", [requests](const json& r) { return requests->serve(r); });
}

}  // namespace brevanto::cli
