#include "apps/cli/automation/MappingRequests.h"

#include <map>
#include <memory>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "apps/cli/automation/EditorRequests.h"
#include "apps/cli/PreviewJson.h"
#include "kit/Form.h"
#include "mapping/BulkFill.h"
#include "mapping/Check.h"
#include "mapping/EditorLink.h"
#include "mapping/Transfer.h"
#include "standalone/automation/AutomationDriver.h"
#include "statement/PreviewExport.h"

namespace brevanto::cli {

namespace {

using nlohmann::json;

std::string text(const json& r, const char* key) { return requestText(r, key); }

json keyJson(const mapping::Key& key) { return {{"account", key.account}, {"sign", key.sign}}; }

json planJson(const mapping::Plan& plan) {
    json counts = json::object();
    for (int s = 0; s < mapping::kRowStatusCount; ++s)
        counts[mapping::statusName(static_cast<mapping::RowStatus>(s))] = plan.counts[s];
    json rows = json::array();
    for (const auto& r : plan.rows) {
        if (r.status == mapping::RowStatus::Unchanged) continue;
        rows.push_back({{"line", r.line},
                        {"account", r.key.account},
                        {"sign", r.key.sign},
                        {"before", r.before},
                        {"wanted", r.wanted},
                        {"after", r.after},
                        {"status", mapping::statusName(r.status)},
                        {"reason", r.reason}});
    }
    return {{"summary", plan.summary()}, {"counts", counts}, {"writes", plan.writes()}, {"rows", rows}};
}

class MappingRequests {
public:
    explicit MappingRequests(standalone::AutomationDriver& driver) : driver_(driver) {}

    json serve(const json& r) {
        const std::string action = text(r, "action");
        kit::Form& window = driver_.requestWindow(r);
        if (window.name() != "FRMCG_CORRRICL") throw std::runtime_error("la finestra " + window.name() + " non è un editor di correlazioni");
        const auto& settings = driver_.host().settings;
        mapping::EditorLink link(window, kindOfEntry(driver_.requestProgId(r)), settings.connectionString,
                                 std::to_string(settings.companyCode));
        if (action == "check") return check(link, r);
        if (action == "export") return exportTo(link, r);
        if (action == "preview") return preview(link, window, r);
        if (action == "apply") return apply(link, window);
        if (action == "discard") {
            const bool had = previews_.erase(window.hWnd()) > 0;
            return {{"discarded", had}};
        }
        if (action == "goTo") {
            const mapping::Key key{text(r, "account"), r.value("sign", 1)};
            return {{"moved", link.goTo(key)}, {"current", current(link)}};
        }
        throw std::runtime_error("azione sconosciuta \"" + action + "\" (check, export, preview, apply, discard, goTo)");
    }

private:
    struct Preview {
        mapping::Plan plan;
    };

    static json current(const mapping::EditorLink& link) {
        auto key = link.currentKey();
        return key ? keyJson(*key) : json(nullptr);
    }

    json check(mapping::EditorLink& link, const json& r) {
        mapping::ChartData data = link.load();
        mapping::CheckReport report = mapping::checkCorrelations(link.connection(), data);
        const long limit = r.value("limit", 50L);
        json groups = json::array();
        for (const mapping::CheckGroup group : mapping::kCheckGroups) {
            json findings = json::array();
            for (const auto& f : report.findings)
                if (f.group == group && static_cast<long>(findings.size()) < limit)
                    findings.push_back({{"account", f.key.account},
                                        {"sign", f.key.sign},
                                        {"target", f.target},
                                        {"detail", f.detail}});
            groups.push_back({{"id", mapping::groupId(group)},
                              {"title", mapping::groupTitle(group)},
                              {"information", mapping::isInformation(group)},
                              {"count", report.count(group)},
                              {"findings", findings}});
        }
        return {{"scope", mapping::describeScope(data.scope)}, {"problems", report.hasProblems()}, {"groups", groups}};
    }

    json exportTo(mapping::EditorLink& link, const json& r) {
        const std::string file = text(r, "file");
        if (!mapping::formatOfPath(file)) throw std::runtime_error("il file deve avere estensione .xlsx o .csv");
        mapping::ChartData data = link.load();
        return {{"rows", mapping::exportCorrelations(data, file)}, {"file", file}};
    }

    // The wanted rows of the request's source: "import", "copySign", "copyFrom" or "assign".
    json preview(mapping::EditorLink& link, kit::Form& window, const json& r) {
        const mapping::Scope scope = link.requireReady();
        mapping::RuleOptions options;
        options.acceptOtherTypeInAnalytic = r.value("acceptOtherType", false);
        const std::string source = text(r, "source");
        mapping::Plan plan;
        std::vector<std::string> fileProblems;
        if (source == "import") {
            auto imported = mapping::previewImport(link.connection(), text(r, "file"), scope, scope.company, options);
            fileProblems = imported.fileProblems;
            plan = std::move(imported.plan);
        } else {
            mapping::ChartData data = link.load();
            std::vector<mapping::Desired> wanted;
            if (source == "copySign") {
                wanted = mapping::copyOtherSign(data, r.value("from", 1));
            } else if (source == "copyFrom") {
                const std::string from = text(r, "from");
                mapping::CopySource copy;
                copy.from = from == "recl" ? mapping::CopySource::From::ReclChart
                            : from == "database" ? mapping::CopySource::From::Database
                            : from == "ledger" ? mapping::CopySource::From::LedgerChart
                                               : throw std::runtime_error("\"from\" vale ledger, recl o database");
                copy.code = text(r, "code");
                wanted = mapping::copyFrom(data, mapping::readCopySource(link.connection(), data.scope, copy),
                                           r.value("overwrite", false));
            } else if (source == "assign") {
                std::vector<long> rows;
                for (const auto& v : r.value("rows", json::array())) rows.push_back(v.get<long>());
                wanted = mapping::assignTarget(link.keysOfRows(rows), text(r, "target"));
            } else {
                throw std::runtime_error("origine sconosciuta \"" + source + "\" (import, copySign, copyFrom, assign)");
            }
            plan = mapping::makePlan(data, wanted, options);
        }
        json reply = planJson(plan);
        reply["fileProblems"] = fileProblems;
        if (fileProblems.empty())
            previews_[window.hWnd()] = Preview{std::move(plan)};
        else
            previews_.erase(window.hWnd());
        return reply;
    }

    json apply(mapping::EditorLink& link, kit::Form& window) {
        auto it = previews_.find(window.hWnd());
        if (it == previews_.end()) throw std::runtime_error("nessuna anteprima aperta su questa finestra");
        const mapping::Plan plan = std::move(it->second.plan);
        previews_.erase(it);   // applied or refused, the preview is closed as the dialog closes
        const long written = link.applyAndRefresh(plan);
        return {{"written", written}, {"current", current(link)}};
    }

    standalone::AutomationDriver& driver_;
    std::map<long, Preview> previews_;   // by window handle
};

// "Anteprima bilancio riclassificato" of the editor's list at a kept date (the latest when
// "date" is not given), optionally written to an .xlsx "file".
json statementPreview(standalone::AutomationDriver& driver, const json& r) {
    kit::Form& window = driver.requestWindow(r);
    if (window.name() != "FRMCG_CORRRICL") throw std::runtime_error("la finestra " + window.name() + " non è un editor di correlazioni");
    const auto& settings = driver.host().settings;
    mapping::EditorLink link(window, kindOfEntry(driver.requestProgId(r)), settings.connectionString,
                             std::to_string(settings.companyCode));
    const std::optional<std::string> date = r.contains("date") ? std::optional<std::string>(text(r, "date")) : std::nullopt;
    // Reading only: an account being typed does not stop it.
    std::string why;
    const auto scope = link.scope(&why);
    if (!scope) throw std::runtime_error(why);
    statement::checkPreviewRequest(*scope, date);
    const auto loaded = statement::loadPreview(link.connection(), link.load(), date);
    json out = json::parse(previewJson(loaded).dump(-1, ' ', false, json::error_handler_t::replace));
    if (r.contains("file")) {
        statement::writePreviewXlsx(loaded, text(r, "file"));
        out["file"] = text(r, "file");
    }
    return out;
}

}  // namespace

void addMappingRequests(standalone::AutomationDriver& driver) {
    auto requests = std::make_shared<MappingRequests>(driver);
    driver.addRequest("mapping", [requests](const json& r) { return requests->serve(r); });
    driver.addRequest("preview", [&driver](const json& r) { return statementPreview(driver, r); });
}

}  // namespace brevanto::cli
