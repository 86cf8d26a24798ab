// The editor's message and error routines: ShowMessage over the module's string table and
// the log, VisualizzaErrore (the reporter of most procedures) and the reporters the error
// traps use.

#include <stdexcept>

#include "db/SqlText.h"
#include "editor/FRMCG_CORRRICL.h"
#include "host/MessageCenter.h"
#include "resources/ModuleMessages.h"

namespace editor {

std::shared_ptr<ModuleApplication> moduleApplication() {
    static const auto app = std::make_shared<ModuleApplication>();
    return app;
}

namespace {

std::string tableText(const db::Variant& id) {
    const int n = id.toInt16();
    auto text = resources::moduleMessage(n);
    if (!text) throw std::out_of_range("il messaggio " + std::to_string(n) + " non è presente nella tabella dei messaggi");
    return *text;
}

}  // namespace

std::int16_t FRMCG_CORRRICL::ShowMessage(std::int32_t& Tipo, const db::Variant& CodiceErr,
                                        const std::optional<db::Variant>& CodiceDett,
                                        const std::optional<db::Variant>& ValPar1,
                                        const std::optional<db::Variant>& ValPar2,
                                        std::optional<std::int32_t> DefaultButton) {
    std::int16_t answer = 0;
    ErrorTrap trap{"ShowMessage", errorRoutine()};
    trap.procedure([&] {
        std::string text, detail;
        trap([&] { text = tableText(CodiceErr); });
        trap([&] {
            if (ValPar1) text = db::replaceAll(text, "%1", ValPar1->toText());
        });
        trap([&] {
            if (ValPar2) text = db::replaceAll(text, "%2", ValPar2->toText());
        });
        trap([&] { detail = CodiceDett ? tableText(*CodiceDett) : std::string(); });
        trap([&] {
            if (!log_) throw std::logic_error("Classe Log non settata");
            log_->setDefaultButton(DefaultButton.value_or(0));
        });
        trap([&] {
            if (!log_) throw std::logic_error("Classe Log non settata");
            answer = log_->showMessage(CodiceErr.toInt32(), Tipo, text, detail, db::Variant(hWnd()));
        });
    });
    return answer;
}

std::int32_t FRMCG_CORRRICL::VisualizzaErrore(const std::string& SubOrFunctionName) {
    if (!log_) {
        try {
            if (auto g = global())
                if (auto mc = g->messageCenter()) mc->messageBox("Classe Log non settata", 0, "Attenzione", db::Variant());
        } catch (const std::exception&) {
            // with neither log nor message centre there is nobody left to tell
        }
        return kAnswerAbort;
    }
    try {
        log_->takeError(currentError_);
        if (connection_) log_->takeAdoErrors(connection_->Errors());
        return log_->showError(moduleApplication()->title, Caption(), SubOrFunctionName, 4370, db::Variant(hWnd()));
    } catch (const std::exception&) {
        return kAnswerAbort;
    }
}

void FRMCG_CORRRICL::rememberError(const TrappedError& e) {
    if (e.exception)
        currentError_ = host::errorFrom(*e.exception);
    else
        currentError_ = host::ErrorInfo{host::kErrApplication, e.description, kFormName, {}};
}

ErrorReporter FRMCG_CORRRICL::errorRoutine() {
    return [this](const TrappedError& e) {
        rememberError(e);
        return VisualizzaErrore(e.procedure);
    };
}

ErrorReporter FRMCG_CORRRICL::utilityRoutine() {
    return [this](const TrappedError& e) {
        rememberError(e);
        // The utility exists from the last step of the load on; an error before it (the
        // log, the connection) goes to the editor's own error routine instead.
        if (!utility_) return VisualizzaErrore(e.procedure);
        return utility_->reportError(e.procedure, currentError_);
    };
}

}  // namespace editor
