// Saving the reclassified account of the current row: the validation of the account the
// user typed (existence, analytic level, the customers'/suppliers' master conflict, account
// type), the existence test, and the single DELETE, UPDATE or INSERT on the kind's
// correlation table, after which the working row shows what the database holds.

#include "editor/AccountTypeCheck.h"
#include "editor/CorrelationSave.h"
#include "editor/FRMCG_CORRRICL.h"
#include "editor/MasterConflict.h"
#include "statements/HeaderStatements.h"
#include "editor/Required.h"

namespace editor {

bool FRMCG_CORRRICL::EsisteContoRiclassificato(const db::Variant& CodicePdcRicl, const db::Variant& ContoRicl) {
    bool exists = false;
    ErrorTrap trap{"EsisteContoRiclassificato", errorRoutine()};
    trap.procedure([&] {
        std::shared_ptr<db::Recordset> rs;
        trap([&] {
            rs = required(connection_, "connessione")
                     .Execute(accountExistsQuery(CodicePdcRicl.toText(), ContoRicl.toText()), nullptr,
                              db::ado::adCmdText);
        });
        trap([&] { exists = rs && rs->State() == db::ado::adStateOpen && !rs->Eof(); });
    });
    return exists;
}

bool FRMCG_CORRRICL::ControllaContoRiclassificato() {
    bool result = true;
    ErrorTrap trap{"ControllaContoRiclassificato", suppressErrors()};
    auto& box = *txtContoCoin_;
    // Refuses the account: the message, the focus back on the box.
    auto refuse = [&](int message, std::optional<db::Variant> par1 = std::nullopt,
                      std::optional<db::Variant> par2 = std::nullopt) {
        result = false;
        std::int32_t tipo = 2;
        trap([&] { ShowMessage(tipo, message, std::nullopt, par1, par2); });
        trap([&] { box.SetFocus(); });
    };
    // A type mismatch also gives the box and the row's description back their entry values.
    auto restoreEntryValues = [&] {
        trap([&] { box.setValue(ContoRiclAllIngresso.toText()); });
        trap([&] {
            if (onWorkingRow()) gridRecordset_->setValue("DESCRRICL", DescrRiclAllIngresso);
        });
        trap([&] { box.SetFocus(); });
    };
    trap.procedure([&] {
        const std::string v = ValoreNonVuoto(db::Variant(box.Value()), db::Variant("")).toText();
        if (v.empty()) return;   // an empty box asks for the correlation's removal

        if (!EsisteContoRiclassificato(db::Variant(txtCodiceRicl_->Text()), db::Variant(box.Value()))) {
            refuse(114);
            return;
        }

        const CorrelationKind k = kind();
        if (k == CorrelationKind::COIN || k == CorrelationKind::HYPE) {
            if (!box.IsAnalytic()) {
                refuse(110);
                return;
            }
        } else {
            std::string c;
            trap([&] { c = rowValue("CONTOPDC").toText(); });
            const std::string n = box.Value();
            const bool analytic = box.IsAnalytic();
            db::Variant mcV, mfV;
            trap([&] { GetMastroCliFor(mcV, mfV); });
            const std::string mc = mcV.toText(), mf = mfV.toText();
            if ((c == mf || c == mc) && !c.empty() && !analytic) {
                std::string holder;
                trap([&] { holder = otherMasterHolding(*gridRecordset_, mc, mf, c, n); });
                if (!holder.empty()) {
                    refuse(115, db::Variant(n), db::Variant(holder));
                    trap([&] {
                        gridRecordset_->setValue("CONTORICL", db::Variant::null());
                        gridRecordset_->setValue("DESCRRICL", db::Variant::null());
                    });
                    trap([&] { box.setValue(""); });
                    trap([&] { box.SetFocus(); });
                    return;
                }
            } else if (!analytic) {
                refuse(110);
                return;
            }
        }

        if (k == CorrelationKind::COIN) {
            auto& own = *pTxtContoCoIn_;
            trap([&] { showAnalyticAccount(own, connection_, txtCodicePdc_->Text(), rowValue("CONTOPDC").toText()); });
            if (own.AccountType() != box.AccountType()) {
                std::int32_t tipo = 4;
                int answer = 1;
                trap([&] { answer = ShowMessage(tipo, 113, std::nullopt, kTypeMessageLineBreak, std::nullopt, 256); });
                if (answer == 0) {
                    result = false;
                    restoreEntryValues();
                    return;
                }
            }
        } else {
            auto& own = *pTxtContoCoge_;
            trap([&] {
                showLedgerAccount(own, GetConnectIntercompany(), txtCodicePdc_->Text(), rowValue("CONTOPDC").toText());
            });
            const int t = own.AccountType();
            if (t >= 0 && t <= 3 && box.AccountType() != t) {
                result = false;
                std::int32_t tipo = 2;
                trap([&] { ShowMessage(tipo, typeMismatchMessage(t), std::nullopt, kTypeMessageLineBreak); });
                restoreEntryValues();
                return;
            }
        }
    });
    if (result && !box.Value().empty()) validated_.remember(box.Value(), currentRowKey());
    return result;
}

db::Variant FRMCG_CORRRICL::currentRowKey() const {
    try {
        return onWorkingRow() ? gridRecordset_->Bookmark() : db::Variant();
    } catch (const std::exception&) {
        return db::Variant();
    }
}

void FRMCG_CORRRICL::AggiornaCorrelazioniCG83_PC07_CGH0() {
    ErrorTrap trap{"AggiornaCorrelazioniCG83_PC07_CGH0", suppressErrors()};
    trap.procedure([&] {
        // Gather: the row's key from the header and the working row, the account the box
        // holds and the one the database holds for the row.
        std::string newAccount;
        trap([&] { newAccount = ValoreNonVuoto(db::Variant(txtContoCoin_->Value()), db::Variant("")).toText(); });
        const std::string previous = ContoRiclPrecedente;
        CorrelationKey key;
        trap([&] {
            key = correlationKey(kind(), txtCodicePdc_->Text(), txtCodIntercompany_->Text(), txtCodiceRicl_->Text(),
                                 rowValue("CONTOPDC").toText(), rowValue("SEGNO").toInt16());
        });

        // Call.
        SaveOutcome outcome;
        outcome.refused = true;   // without a connection nothing is stored
        if (connection_) outcome = saveCorrelation(*connection_, kind(), key, newAccount, previous, "editor");

        // Apply: the row and the bound fields show what the database holds, so that the
        // frame's own update (which copies the fields into the row) leaves the row so.
        if (outcome.refused) {
            traceSwallowedErrors("AggiornaCorrelazioniCG83_PC07_CGH0", outcome.errors);
            std::int32_t tipo = 3;
            ShowMessage(tipo, 108);
            db::Variant description;
            trap([&] {
                if (previous.empty())
                    description = db::Variant::null();
                else if (descrRiclPrecedenteFor_ == db::Variant(previous))
                    description = descrRiclPrecedente_;
                else
                    description = DecodificaContoCoin(db::Variant(previous));
            });
            trap([&] {
                gridRecordset_->setValue("CONTORICL", previous.empty() ? db::Variant::null() : db::Variant(previous));
                gridRecordset_->setValue("DESCRRICL", description);
            });
            trap([&] { txtContoCoin_->setValue(previous); });
            trap([&] { txtDescrRicl_->setText(description.toText()); });
            return;
        }
        db::Variant description = db::Variant::null();
        if (!newAccount.empty()) trap([&] { description = DecodificaContoCoin(db::Variant(newAccount)); });
        trap([&] {
            gridRecordset_->setValue("CONTORICL", newAccount.empty() ? db::Variant::null() : db::Variant(newAccount));
            gridRecordset_->setValue("DESCRRICL", description);
        });
        trap([&] { txtDescrRicl_->setText(description.toText()); });
        descrRiclPrecedente_ = description;
        descrRiclPrecedenteFor_ = db::Variant(newAccount);
    });
}

}  // namespace editor
