// Saving one row of the intermediaries editor. The master account's own rows are stored in
// the kind's main correlation table by the editors' common save (editor::saveCorrelation);
// the intermediaries' rows get one DELETE, conditional INSERT or UPDATE on
// CG93_CORRINTERMEDIRICL (CGB4_CORRINTERMEDICONS in kind CONS). Either way the working row
// then shows what the database holds.

#include "intermedi/FRMCG_CORRINTERMEDI.h"

#include "db/Connection.h"
#include "db/SqlText.h"
#include "editor/CorrelationSave.h"
#include "editor/IntermediCaller.h"
#include "editor/Required.h"
#include "text/Text.h"
#include "statements/IntermediStatements.h"
#include "journal/Journal.h"

namespace intermedi {

using editor::ErrorTrap;
using editor::required;

void FRMCG_CORRINTERMEDI::AggiornaCG83CollPdcRicl() {
    ErrorTrap trap{"AggiornaCG83CollPdcRicl", errorRoutine()};
    trap.procedure([&] {
        auto& ed = caller();
        // Gather: the master's account and sign under the calling editor's header, the
        // account the box holds and the one the database holds for the row.
        trap([&] { ContoRiclNuovo = ValoreNonVuoto(db::Variant(txtContoCoin_->Value()), db::Variant("")); });
        const std::string n = ContoRiclNuovo.toText();
        const std::string previous = ContoRiclPrecedente.toText();
        std::string account;
        std::int16_t sign = 0;
        trap([&] {
            account = rowValue("CONTOPDC").toText();
            sign = rowValue("SEGNO").toInt16();
        });
        const editor::CorrelationKind kind = ed.kind();
        const editor::CorrelationKey key =
            editor::correlationKey(kind, ed.CodicePdcText(), ed.CodIntercompanyText(), ed.CodiceRiclText(), account, sign);

        // Call.
        editor::SaveOutcome outcome;
        outcome.refused = true;   // without a connection nothing is stored
        if (auto connection = ed.EditorConnection())
            outcome = editor::saveCorrelation(*connection, kind, key, n, previous, "intermediari");

        // Apply: this row, and the calling editor's row of the same account and sign, show
        // what the database holds.
        if (outcome.refused) {
            editor::traceSwallowedErrors("AggiornaCG83CollPdcRicl", outcome.errors);
            std::int32_t tipo = 3;
            trap([&] { ed.ShowMessage(tipo, 108); });
        }
        const std::string stored = outcome.refused ? previous : n;
        const db::Variant storedValue = stored.empty() ? db::Variant::null() : db::Variant(stored);
        trap([&] {
            setRowValue("CONTORICL", storedValue);
            setRowValue("DESCRRICL", ed.DecodificaContoCoin(storedValue));
            recordset_->Update();
        });
        trap([&] {
            auto callerRows = required(ed.WorkingRecordset(), "recordset della griglia chiamante").Clone();
            callerRows->setFilter("CONTOPDC = " + db::sqlQuoted(account) + " AND SEGNO = " + std::to_string(sign));
            if (callerRows->Eof()) return;
            callerRows->setValue("CONTORICL", storedValue);
            callerRows->setValue("DESCRRICL", stored.empty() ? db::Variant::null() : rowValue("DESCRRICL"));
        });
    });
}

void FRMCG_CORRINTERMEDI::AggiornaCG93CollPdcRicl() {
    ErrorTrap trap{"AggiornaCG93CollPdcRicl", errorRoutine()};
    trap.procedure([&] {
        auto& ed = caller();
        trap([&] { ContoRiclNuovo = ValoreNonVuoto(db::Variant(txtContoCoin_->Value()), db::Variant("")); });
        const std::string n = ContoRiclNuovo.toText();
        const std::string previous = ValoreNonVuoto(ContoRiclPrecedente, db::Variant("")).toText();

        IntermediKey key;
        std::string stored;   // K: what the row holds now, the account the database holds
        trap([&] {
            const bool cons = ed.kind() == editor::CorrelationKind::CONS;
            key.cons = cons;
            key.owner = cons ? ed.CodIntercompanyText() : std::to_string(company_);
            key.tipoCf = tipoCf_;
            key.intermediary = intermediaryOfCode(ValoreNonVuoto(rowValue("CONTOPDC"), db::Variant("")).toText());
            key.reclChart = ed.CodiceRiclText();
            key.sign = rowValue("SEGNO").toInt32();
            stored = ValoreNonVuoto(rowValue("CONTORICL"), db::Variant("")).toText();
        });
        std::string statement;
        if (n.empty())
            statement = deleteIntermediStatement(key, stored);
        else if (previous.empty())
            statement = conditionalInsertIntermediStatement(key, n);
        else
            statement = updateIntermediStatement(key, n, stored);

        // A refusal travels in the result; the connection's collection is left empty.
        db::ExecuteResult run;
        trap([&] {
            auto& conn = required(ed.EditorConnection(), "connessione");
            run = conn.TryExecute(statement);
            conn.Errors().Clear();
        });
        const bool refused = !run.ok;
        const long written = run.recordsAffected;
        const std::string before = n.empty() || !previous.empty() ? stored : std::string();
        if (!refused && written > 0 && before != n) {
            try {
                journal::Step step;
                step.source = "intermediari";
                step.scope = journal::Scope{static_cast<int>(ed.kind()),
                                            text::trimSpaces(ed.kind() == editor::CorrelationKind::CONS
                                                                      ? ed.CodIntercompanyText()
                                                                      : ed.CodicePdcText()),
                                            text::trimSpaces(key.reclChart)};
                step.changes.push_back(journal::Change{journal::Rows::Intermediary,
                                                       journal::intermediaryKeyText(key.owner, key.tipoCf, key.intermediary),
                                                       key.sign, before, n});
                journal::session().record(required(ed.EditorConnection(), "connessione"), std::move(step));
            } catch (const std::exception&) {
                // the row is stored; only its place in the history is lost
            }
        }
        if (refused) {
            editor::traceSwallowedErrors("AggiornaCG93CollPdcRicl", run.errors);
            std::int32_t tipo = 3;
            trap([&] { ed.ShowMessage(tipo, 108); });
        } else {
            trap([&] { setRowValue("CONTORICL", n.empty() ? db::Variant::null() : db::Variant(txtContoCoin_->Value())); });
        }
        trap([&] { setRowValue("DESCRRICL", ed.DecodificaContoCoin(rowValue("CONTORICL"))); });
    });
}

}  // namespace intermedi
