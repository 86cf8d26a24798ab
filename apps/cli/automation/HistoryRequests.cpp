#include "apps/cli/automation/HistoryRequests.h"

#include <nlohmann/json.hpp>

#include "apps/cli/HistoryJson.h"
#include "apps/cli/automation/EditorRequests.h"
#include "journal/Journal.h"
#include "kit/Form.h"
#include "mapping/EditorLink.h"
#include "mapping/Undo.h"
#include "standalone/automation/AutomationDriver.h"

namespace brevanto::cli {

namespace {

using nlohmann::json;

json stepJson(const journal::Step& s) {
    return {{"step", s.id}, {"source", s.source}, {"text", journal::describe(s)}, {"user", s.user},
            {"time", s.time}, {"changes", changesJson<json>(s.changes)}};
}

json state(const mapping::EditorLink& link, const mapping::Scope& scope) {
    auto key = link.currentKey();
    return {{"undo", mapping::undoText(scope)},
            {"redo", mapping::redoText(scope)},
            {"historyProblem", journal::session().historyProblem()},
            {"current", key ? json{{"account", key->account}, {"sign", key->sign}} : json(nullptr)}};
}

json serve(standalone::AutomationDriver& driver, const json& r) {
    const std::string action = requestText(r, "action");
    kit::Form& window = driver.requestWindow(r);
    if (window.name() != "FRMCG_CORRRICL")
        throw std::runtime_error("la finestra " + window.name() + " non è un editor di correlazioni");
    const auto& settings = driver.host().settings;
    mapping::EditorLink link(window, kindOfEntry(driver.requestProgId(r)), settings.connectionString,
                             std::to_string(settings.companyCode));
    if (action == "list") {
        std::string why;
        const auto scope = link.scope(&why);
        if (!scope) throw std::runtime_error(why);
        json steps = json::array();
        for (const auto& s : journal::session().undoable(mapping::journalScope(*scope))) steps.push_back(stepJson(s));
        json reply = state(link, *scope);
        reply["steps"] = std::move(steps);
        return reply;
    }
    if (action != "undo" && action != "redo" && action != "undoAll")
        throw std::runtime_error("azione sconosciuta \"" + action + "\" (undo, redo, undoAll, list)");
    const mapping::Scope scope = link.requireReady();
    json reply;
    const auto here = link.currentKey();
    if (action == "undoAll") {
        int done = 0;
        std::string refusal;
        try {
            done = mapping::undoAll(link.connection(), scope);
        } catch (const std::exception& e) {
            refusal = e.what();
        }
        link.refresh();
        if (here) link.goTo(*here);
        if (!refusal.empty()) throw std::runtime_error(refusal);
        reply["undone"] = done;
    } else {
        const bool undo = action == "undo";
        const auto step = undo ? mapping::undoLast(link.connection(), scope) : mapping::redoLast(link.connection(), scope);
        reply[undo ? "undone" : "redone"] = step ? stepJson(*step) : json(nullptr);
        if (step) {
            link.refresh();
            const auto& first = step->changes.front();
            if (first.rows == journal::Rows::Correlation) link.goTo(mapping::Key{first.account, first.sign});
            else if (here) link.goTo(*here);
        }
    }
    reply.update(state(link, scope));
    return reply;
}

}  // namespace

void addHistoryRequests(standalone::AutomationDriver& driver) {
    driver.addRequest("history", [&driver](const json& r) { return serve(driver, r); });
}

}  // namespace brevanto::cli
