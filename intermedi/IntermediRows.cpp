// Editing one row of #CORRINTERMEDI: what happens when a row is shown (the account of the
// other sign is proposed for an empty row), the validation of the account typed in
// TXT_CONTOCOIN, the box's focus, leave, key, lookup and menu-key events, and the record
// frame's update, delete and undo, which hand the row to the saves.
//
// When the row is saved. The frame marks its row changed as soon as the account box commits
// a typed value (leaving the box, or one of its commit keys), and it saves a changed row
// (BeforeUpdate, then its own update that copies the bound controls into the row) before the
// cursor leaves it, whoever moves the cursor, and on CanClose. The DELETE and the UPDATE of an
// intermediary name the row's CONTORICL as the stored account, so the row must still hold the
// stored account when BeforeUpdate runs. Therefore neither the leave handler nor the key
// handler writes the new account into the row: the account travels in the box, the save
// builds its statement while the row still holds what the database holds, and only then the
// save (on success) and the frame's own update write the new account into the row. This holds
// for both ways of leaving a row: clicking another grid row (the box loses the focus first,
// then the grid moves the cursor and the frame saves) and the box's navigation keys (the key
// handler moves the cursor, the frame saves). After every save the bound controls are brought
// in line with the row, so that the frame's own update does not overwrite what the save
// decided (a refused statement keeps the stored account), and ContoRiclPrecedente becomes the
// account now stored, so that a second change of the same row updates instead of inserting.

#include "editor/AccountTypeCheck.h"
#include "intermedi/FRMCG_CORRINTERMEDI.h"
#include "editor/RowNavigation.h"

#include <stdexcept>
#include <utility>

#include "editor/IntermediCaller.h"
#include "editor/MasterConflict.h"
#include "editor/Required.h"
#include "host/Global.h"
#include "host/MessageCenter.h"

namespace intermedi {

using editor::ErrorTrap;
using editor::required;
using editor::suppressErrors;


db::Variant FRMCG_CORRINTERMEDI::currentRowKey() const {
    try {
        return onRow() ? recordset_->Bookmark() : db::Variant();
    } catch (const std::exception&) {
        return db::Variant();
    }
}

void FRMCG_CORRINTERMEDI::FME_INTERMEDI_ConfirmUpdate(int reason, int& decision) {
    try {
        const editor::PendingRow row =
            editor::pendingRow(txtContoCoin_->Value(), ContoRiclPrecedente.toText(), validated_, currentRowKey());
        decision = editor::decideRowUpdate(
            reason, row,
            [&] {
                auto messages = required(ClsChiamante, "classe chiamante").ClsGlobal()->messageCenter();
                return editor::askSaveBeforeClosing(required(messages, "MessageCenter"),
                                                    editor::currentLedgerAccountText(*grid_), Caption());
            },
            [&] { return ControllaContoRiclassificato(); });
    } catch (const std::exception&) {
        // Whatever cannot be checked is not written.
        decision = kit::DecisionStay;
    }
    leaveRefused_ = decision == kit::DecisionStay;
}

// ---- a row is shown ------------------------------------------------------------------------

void FRMCG_CORRINTERMEDI::FME_INTERMEDI_ChangeStatus(int fenm_status, int /*fenm_reason*/) {
    ErrorTrap trap{"FME_INTERMEDI_ChangeStatus", errorRoutine()};
    trap.procedure([&] {
        trap([&] {
            auto options = gridNav_->Options();
            options[2] = false;
            gridNav_->setOptions(options);
        });
        if (fenm_status != kit::StatusShowing) return;
        validated_.forget();
        leavingByTab_ = false;
        trap([&] {
            if (onRow()) txtContoIntermedio_->setText(formatSubAccount(rowValue("CONTOPDC").toText()));
        });
        if (!loading_) {
            trap([&] { ContoRiclPrecedente = ValoreNonVuoto(rowValue("CONTORICL"), db::Variant("")); });
            std::string proposal;
            trap([&] { proposal = ProponiContoRiclassificato(); });
            if (!ValoreNonVuoto(db::Variant(proposal), db::Variant("")).toText().empty()) {
                // Pre-filled from the other sign of the same sub-account: a proposal, stored
                // only once the user confirms it.
                trap([&] { txtContoCoin_->setValue(proposal); });
                trap([&] { txtDescrRiclInterm_->setText(caller().DecodificaContoCoin(db::Variant(proposal)).toText()); });
                trap([&] {
                    setRowValue("CONTORICL", db::Variant(txtContoCoin_->Value()));
                    setRowValue("DESCRRICL", db::Variant(txtDescrRiclInterm_->Text()));
                });
                trap([&] {
                    if (frame_) frame_->Propose(editor::kProposalHint);
                });
            }
        }
        // The box's entry values belong to the row shown: the navigation keys move from row
        // to row while the focus stays in the box, and a refused account goes back to this
        // row's value.
        trap([&] {
            ContoRiclAllIngresso = db::Variant(txtContoCoin_->Value());
            DescrRiclAllIngresso = onRow() ? rowValue("DESCRRICL") : db::Variant();
        });
    });
}

std::string FRMCG_CORRINTERMEDI::ProponiContoRiclassificato() {
    if (!onRow()) return "";
    if (!ValoreNonVuoto(rowValue("CONTORICL"), db::Variant("")).toText().empty()) return "";
    auto clone = recordset_->Clone();
    clone->setAbsolutePosition(recordset_->AbsolutePosition());
    const db::Variant sign = rowValue("SEGNO");
    const int s = sign.isBlank() ? 0 : sign.toInt32();
    db::Variant taken;
    if (s == 1) {
        if (!clone->Eof()) clone->MoveNext();
        if (!clone->Eof()) taken = clone->value("CONTORICL");
    } else if (s == 2) {
        if (!clone->Bof()) clone->MovePrevious();
        if (!clone->Bof() && !clone->Eof()) taken = clone->value("CONTORICL");
    }
    return ValoreNonVuoto(taken, db::Variant("")).toText();
}

// ---- validation ----------------------------------------------------------------------------

bool FRMCG_CORRINTERMEDI::ControllaContoRiclassificato() {
    bool result = true;
    ErrorTrap trap{"ControllaContoRiclassificato", suppressErrors()};
    auto& box = *txtContoCoin_;
    auto show = [&](int message, std::int32_t tipo, std::optional<db::Variant> par1 = std::nullopt,
                    std::optional<db::Variant> par2 = std::nullopt, std::optional<std::int32_t> button = 0) {
        std::int16_t answer = 0;
        trap([&] { answer = caller().ShowMessage(tipo, message, std::nullopt, par1, par2, button); });
        return answer;
    };
    auto restoreEntryValues = [&] {
        trap([&] { box.setValue(ContoRiclAllIngresso.toText()); });
        trap([&] {
            if (onRow()) setRowValue("DESCRRICL", DescrRiclAllIngresso);
        });
        trap([&] { box.SetFocus(); });
    };
    trap.procedure([&] {
        const std::string c = ValoreNonVuoto(db::Variant(box.Value()), db::Variant("")).toText();
        if (c.empty()) return;
        auto& ed = caller();
        const editor::CorrelationKind kind = ed.kind();

        bool exists = false;
        trap([&] { exists = ed.EsisteContoRiclassificato(db::Variant(ed.CodiceRiclText()), db::Variant(c)); });
        if (!exists) {
            result = false;
            show(114, 2);
            trap([&] { box.SetFocus(); });
            return;
        }

        std::string row;
        trap([&] { row = rowValue("CONTOPDC").toText(); });
        const std::string customers = mastroClienti_.toText(), suppliers = mastroFornitori_.toText();
        const bool masterRow = !row.empty() && (row == customers || row == suppliers);
        const bool ledgerKind = kind == editor::CorrelationKind::COGE || kind == editor::CorrelationKind::CONS;
        if (ledgerKind && masterRow && !box.IsAnalytic()) {
            std::string holder;
            trap([&] {
                holder = editor::otherMasterHolding(required(recordset_, "recordset degli intermedi"), customers,
                                                    suppliers, row, c);
            });
            if (!holder.empty()) {
                result = false;
                show(115, 2, db::Variant(c), db::Variant(holder));
                trap([&] {
                    recordset_->setValue("CONTORICL", db::Variant::null());
                    recordset_->setValue("DESCRRICL", db::Variant::null());
                });
                trap([&] { box.setValue(""); });
                trap([&] { box.SetFocus(); });
                return;
            }
        } else if (!box.IsAnalytic()) {
            result = false;
            show(110, 2);
            trap([&] { box.SetFocus(); });
            return;
        }

        if (kind == editor::CorrelationKind::COIN) {
            auto& own = ed.HiddenCoinAccountBox();
            trap([&] { editor::showAnalyticAccount(own, ed.EditorConnection(), ed.CodicePdcText(), row); });
            if (own.AccountType() != box.AccountType()) {
                if (show(113, 4, editor::kTypeMessageLineBreak, std::nullopt, 256) == 0) {
                    result = false;
                    restoreEntryValues();
                }
            }
            return;
        }
        auto& ledger = ed.HiddenLedgerAccountBox();
        trap([&] { editor::showLedgerAccount(ledger, ed.GetConnectIntercompany(), ed.CodicePdcText(), row); });
        const int t = ledger.AccountType();
        if (t >= 0 && t <= 3 && box.AccountType() != t) {
            result = false;
            show(editor::typeMismatchMessage(t), 2, editor::kTypeMessageLineBreak);
            restoreEntryValues();
        }
    });
    if (result && !box.Value().empty()) validated_.remember(box.Value(), currentRowKey());
    return result;
}

// ---- the account box -----------------------------------------------------------------------

void FRMCG_CORRINTERMEDI::TXT_CONTOCOIN_GotFocus() {
    try {
        ContoRiclAllIngresso = db::Variant(txtContoCoin_->Value());
        DescrRiclAllIngresso = onRow() ? rowValue("DESCRRICL") : db::Variant();
    } catch (const std::exception&) {
        // no row to remember
    }
}

void FRMCG_CORRINTERMEDI::TXT_CONTOCOIN_LostFocus(bool& Cancel) {
    ErrorTrap trap{"TXT_CONTOCOIN_LostFocus", suppressErrors()};
    const bool byTab = std::exchange(leavingByTab_, false);
    trap.procedure([&] {
        const editor::LeaveAccount leave =
            editor::leaveAccountBox(trap, frame_.get(), byTab, [&] { return ControllaContoRiclassificato(); });
        if (leave == editor::LeaveAccount::Refused) Cancel = true;
        if (leave != editor::LeaveAccount::Accepted) return;
        trap([&] {
            txtDescrRiclInterm_->setText(caller().DecodificaContoCoin(db::Variant(txtContoCoin_->Value())).toText());
        });
        // The account itself reaches the row through the save (see the top of this file).
        trap([&] {
            if (onRow()) setRowValue("DESCRRICL", db::Variant(txtDescrRiclInterm_->Text()));
        });
    });
}

void FRMCG_CORRINTERMEDI::TXT_CONTOCOIN_KeyDown(int key, int /*shift*/) {
    ErrorTrap trap{"TXT_CONTOCOIN_KeyDown", suppressErrors()};
    trap.procedure([&] {
        const bool rowKey = editor::isRowNavigationKey(key);
        leavingByTab_ = key == kit::keys::Tab;
        if (rowKey || key == kit::keys::Enter) {
            bool accepted = true;
            const editor::PendingRow row =
                editor::pendingRow(txtContoCoin_->Value(), ContoRiclPrecedente.toText(), validated_, currentRowKey());
            if (editor::validatesOnKey(key, row)) trap([&] { accepted = ControllaContoRiclassificato(); });
            if (!accepted) {
                trap([&] { txtContoCoin_->FocusInput(); });
                return;
            }
            trap([&] {
                if (frame_) frame_->ConfirmProposal();
            });
        }
        if (!editor::isCommitKey(key)) return;
        trap([&] {
            if (!onRow()) return;
            const std::string value = txtContoCoin_->Value();
            const bool empty = ValoreNonVuoto(db::Variant(value), db::Variant("")).toText().empty();
            setRowValue("DESCRRICL", empty ? db::Variant("") : caller().DecodificaContoCoin(db::Variant(value)));
        });
        if (!editor::isRowNavigationKey(key)) return;
        trap([&] {
            if (!onRow()) return;
            editor::moveByKey(*recordset_, key);
        });
    });
}

void FRMCG_CORRINTERMEDI::TXT_CONTOCOIN_StartLookup(bool& /*Cancel*/, std::string& str_SQL,
                                                    kit::LookupFields& Arr_Fields, std::string& Str_Caption,
                                                    std::string& Str_Connect) {
    try {
        caller().EseguiLookupAnagraficaPdCCoin(*txtContoCoin_, str_SQL, Arr_Fields, Str_Caption, Str_Connect);
    } catch (const std::exception&) {
        // no lookup
    }
}

void FRMCG_CORRINTERMEDI::TXT_CONTOCOIN_MenuKey(const std::string& key) {
    if (key != "Kgestione") return;
    try {
        caller().EseguiProgrammaAnagraficaPdC(
            *txtContoCoin_, ValoreNonVuoto(db::Variant(txtContoCoin_->Value()), db::Variant("")));
    } catch (const std::exception&) {
        // the program does not open
    }
}

// ---- record frame --------------------------------------------------------------------------

void FRMCG_CORRINTERMEDI::FME_INTERMEDI_BeforeUpdate(bool& /*fbol_Cancel*/) {
    SalvaCorrelazioneIntermedi();
}

void FRMCG_CORRINTERMEDI::FME_INTERMEDI_BeforeDelete(bool& fbol_Cancel) {
    try {
        txtContoCoin_->setValue("");
    } catch (const std::exception&) {
        // the save below then sees the box as it is
    }
    SalvaCorrelazioneIntermedi();
    // Deleting removes the correlation, never the row.
    fbol_Cancel = true;
    if (frame_) frame_->RefreshRecord();
}

void FRMCG_CORRINTERMEDI::FME_INTERMEDI_BeforeUndo(bool& fbol_Cancel) {
    fbol_Cancel = true;
    ErrorTrap trap{"FME_INTERMEDI_BeforeUndo", suppressErrors()};
    trap.procedure([&] {
        trap([&] {
            auto& rs = required(recordset_, "recordset degli intermedi");
            rs.setValue("CONTORICL", db::Variant(""));
            rs.setValue("DESCRRICL", db::Variant(""));
            rs.Update();
        });
    });
    if (frame_) frame_->RefreshRecord();
}

void FRMCG_CORRINTERMEDI::SalvaCorrelazioneIntermedi() {
    ErrorTrap trap{"SalvaCorrelazioneIntermedi", suppressErrors()};
    trap.procedure([&] {
        if (RecordsetVuoto(recordset_)) return;
        std::string c;
        trap([&] { c = ValoreNonVuoto(rowValue("CONTOPDC"), db::Variant("")).toText(); });
        const bool master = !c.empty() && (c == mastroClienti_.toText() || c == mastroFornitori_.toText());
        trap([&] {
            if (master)
                AggiornaCG83CollPdcRicl();
            else
                AggiornaCG93CollPdcRicl();
        });
        // What the save decided is what the frame's own update may copy into the row, and
        // the account now stored is where the next change of this row starts from.
        trap([&] {
            if (!onRow()) return;
            txtContoCoin_->setValue(ValoreNonVuoto(rowValue("CONTORICL"), db::Variant("")).toText());
            txtDescrRiclInterm_->setText(rowValue("DESCRRICL").toText());
            ContoRiclPrecedente = ValoreNonVuoto(rowValue("CONTORICL"), db::Variant(""));
        });
    });
}

}  // namespace intermedi
