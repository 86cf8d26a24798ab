#include "standalone/ScriptedDialogs.h"

#include <utility>

#include "standalone/HostEventLog.h"

namespace standalone {

std::string formatErrorReport(const host::ErrorReportRequest& r) {
    std::string text = "Errore n. " + std::to_string(r.number) + ": " +
                       (r.description.empty() ? std::string("errore sconosciuto") : r.description);
    if (!r.procedure.empty()) text += "\nProcedura: " + r.procedure;
    if (!r.source.empty()) text += "\nOrigine: " + r.source;
    for (const auto& item : r.databaseErrors) {
        text += "\nErrore del database: " + item.description + " (codice nativo " +
                std::to_string(item.nativeError) + ", SQLSTATE " + item.sqlState + ")";
    }
    return text;
}

int ScriptedDialogs::nextAnswer(int fallback) {
    if (answers_.empty()) return fallback;
    int a = answers_.front();
    answers_.pop_front();
    return a;
}

int ScriptedDialogs::message(const host::MessageBoxRequest& r) {
    ShownBox box;
    box.kind = ShownBox::Kind::Message;
    box.code = r.code;
    box.type = r.type;
    box.title = r.title;
    box.text = r.text;
    box.detail = r.detail;
    box.defaultButton = r.defaultButton;
    box.answer = nextAnswer(1);
    if (log_) {
        log_->record("messageBox", {{"code", box.code}, {"type", box.type}, {"title", box.title},
                                    {"text", box.text}, {"detail", box.detail},
                                    {"defaultButton", box.defaultButton}, {"answer", box.answer}});
    }
    shown_.push_back(box);
    return box.answer;
}

int ScriptedDialogs::errorReport(const host::ErrorReportRequest& r) {
    ShownBox box;
    box.kind = ShownBox::Kind::ErrorReport;
    box.code = r.number;
    box.type = r.style;
    box.title = r.title;
    box.text = formatErrorReport(r);
    box.detail = r.caption;
    box.procedure = r.procedure;
    box.databaseErrors = r.databaseErrors;
    box.answer = nextAnswer(3);
    if (log_) {
        nlohmann::json items = nlohmann::json::array();
        for (const auto& i : r.databaseErrors)
            items.push_back({{"description", i.description}, {"nativeError", i.nativeError}, {"sqlState", i.sqlState}});
        log_->record("errorReport", {{"number", r.number}, {"description", r.description},
                                     {"procedure", r.procedure}, {"title", r.title}, {"caption", r.caption},
                                     {"style", r.style}, {"databaseErrors", items}, {"answer", box.answer}});
    }
    shown_.push_back(box);
    return box.answer;
}

std::vector<ShownBox> ScriptedDialogs::takeShown() { return std::exchange(shown_, {}); }

}  // namespace standalone
