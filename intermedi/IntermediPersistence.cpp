// Saving one row of the intermediaries editor. The master account's own rows are stored in
// the kind's main correlation table by the calling editor's own save, loaded with this row's
// values; the intermediaries' rows get one DELETE, conditional INSERT or UPDATE on
// CG93_CORRINTERMEDIRICL (CGB4_CORRINTERMEDICONS in kind CONS). Either way the working row
// then shows what the database holds.

#include "intermedi/FRMCG_CORRINTERMEDI.h"

#include "db/Error.h"
#include "db/SqlText.h"
#include "editor/FRMCG_CORRRICL.h"
#include "editor/Required.h"
#include "editor/TrimmedBlanks.h"
#include "statements/IntermediStatements.h"
#include "journal/Journal.h"

namespace intermedi {

using editor::ErrorTrap;
using editor::required;

void FRMCG_CORRINTERMEDI::AggiornaCG83CollPdcRicl() {
    ErrorTrap trap{"AggiornaCG83CollPdcRicl", errorRoutine()};
    trap.procedure([&] {
        auto& ed = caller();
        trap([&] { ContoRiclNuovo = ValoreNonVuoto(db::Variant(txtContoCoin_->Value()), db::Variant("")); });
        const std::string n = ContoRiclNuovo.toText();
        std::string account;
        std::int16_t sign = 0;
        trap([&] {
            account = rowValue("CONTOPDC").toText();
            sign = rowValue("SEGNO").toInt16();
        });

        // The calling editor's row of the same account and sign: each account's sign 1 row
        // comes right before its sign 2 row.
        std::shared_ptr<db::Recordset> clone;
        trap([&] { clone = required(ed.WorkingRecordset(), "recordset della griglia chiamante").Clone(); });
        if (!clone) return;
        bool found = false;
        trap([&] {
            clone->MoveFirst();
            clone->Find("CONTOPDC = " + db::sqlQuoted(account));
            if (clone->Eof()) return;
            clone->Find("SEGNO = " + std::to_string(sign));
            found = !clone->Eof();
        });
        if (!found) return;

        trap([&] { ed.ContoRiclPrecedente = ContoRiclPrecedente; });
        trap([&] { ed.SegnoRiga = sign; });
        trap([&] { ed.AccountBox().setValue(txtContoCoin_->Value()); });
        trap([&] {
            setRowValue("CONTORICL", n.empty() ? db::Variant::null() : db::Variant(n));
            setRowValue("DESCRRICL", ed.DecodificaContoCoin(rowValue("CONTORICL")));
        });
        trap([&] { clone->setValue("SEGNO", cboSegnoInterm_->Value()); });
        trap([&] { ed.AccountBox().setValue(n); });
        trap([&] { ed.AccountDescriptionBox().setText(clone->value("DESCRRICL").toText()); });
        trap([&] { ed.SignCombo().setValue(clone->value("SEGNO")); });

        ed.SaveSource = "intermediari";
        ed.AggiornaCorrelazioniCG83_PC07_CGH0();
        ed.SaveSource = "editor";

        // The calling editor's box keeps the account when its statement went through and
        // gets the stored one back when the database refused it: the row follows it.
        trap([&] {
            const std::string stored = ValoreNonVuoto(db::Variant(ed.AccountBox().Value()), db::Variant("")).toText();
            setRowValue("CONTORICL", stored.empty() ? db::Variant::null() : db::Variant(stored));
            setRowValue("DESCRRICL", ed.DecodificaContoCoin(rowValue("CONTORICL")));
            recordset_->Update();
        });
        clone.reset();
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

        // Only this statement's errors count: the connection raises and fills its error
        // collection when the database refuses it.
        bool refused = false;
        long written = 0;
        trap([&] {
            auto& conn = required(ed.EditorConnection(), "connessione");
            conn.Errors().Clear();
            try {
                conn.Execute(statement, &written,
                             static_cast<int>(db::ado::adCmdText) | static_cast<int>(db::ado::adExecuteNoRecords));
            } catch (const db::Error&) {
                if (conn.Errors().Count() == 0) throw;
            }
            refused = conn.Errors().Count() > 0;
        });
        const std::string before = n.empty() || !previous.empty() ? stored : std::string();
        if (!refused && written > 0 && before != n) {
            try {
                journal::Step step;
                step.source = "intermediari";
                step.scope = journal::Scope{static_cast<int>(ed.kind()),
                                            editor::trimmedBlanks(ed.kind() == editor::CorrelationKind::CONS
                                                                      ? ed.CodIntercompanyText()
                                                                      : ed.CodicePdcText()),
                                            editor::trimmedBlanks(key.reclChart)};
                step.changes.push_back(journal::Change{journal::Rows::Intermediary,
                                                       journal::intermediaryKeyText(key.owner, key.tipoCf, key.intermediary),
                                                       key.sign, before, n});
                journal::session().record(required(ed.EditorConnection(), "connessione"), std::move(step));
            } catch (const std::exception&) {
                // the row is stored; only its place in the history is lost
            }
        }
        if (refused) {
            std::int32_t tipo = 3;
            trap([&] { ed.ShowMessage(tipo, 108); });
            trap([&] { ed.EditorConnection()->Errors().Clear(); });
        } else {
            trap([&] { setRowValue("CONTORICL", n.empty() ? db::Variant::null() : db::Variant(txtContoCoin_->Value())); });
        }
        trap([&] { setRowValue("DESCRRICL", ed.DecodificaContoCoin(rowValue("CONTORICL"))); });
    });
}

}  // namespace intermedi
