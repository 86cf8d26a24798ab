// The correlation grid and its record frame, as the first activation sets them up: the sign
// list, the grid's columns, the grid recordset on the working table, the record frame with
// its bound fields and the navigator bar; and what they do while the user works: the frame's
// status changes with the proposal for an empty row, its update, delete, undo and new-record
// events, the grid's row change and cell texts, the navigator's buttons, the account search
// box TXT_CONTO and the new-correlation button.

#include <algorithm>
#include <utility>

#include "db/SqlText.h"
#include "editor/CorrelationGridSetup.h"
#include "editor/FRMCG_CORRRICL.h"
#include "editor/Required.h"
#include "statements/WorkingTableStatements.h"
#include "host/MessageCenter.h"
#include "text/Mask.h"
#include "kit/FlagScope.h"

namespace editor {

namespace {

bool sameRowValue(const db::Variant& a, const db::Variant& b) {
    if (a.isBlank() || b.isBlank()) return a.isBlank() && b.isBlank();
    return a == b || a.toText() == b.toText();
}

}  // namespace

void FRMCG_CORRRICL::CaricaComboSegno() {
    ErrorTrap trap{"CaricaComboSegno", suppressErrors()};
    trap.procedure([&] {
        trap([&] { cboSegno_->Clear(); });
        trap([&] { cboSegno_->AddItem("Dare", 1); });
        trap([&] { cboSegno_->AddItem("Avere", 2); });
    });
}

void FRMCG_CORRRICL::INITGRID_CORRPDC() {
    ErrorTrap trap{"INITGRID_CORRPDC", errorRoutine()};
    trap.procedure([&] {
        setUpCorrelationGrid(trap, *grid_, entry_, [this] { return global()->messageCenter(); },
                             {"Descrizione conto contabile", "Conto riclassificato", 3630});
    });
}

void FRMCG_CORRRICL::ImpostaVirtualFrame() {
    ErrorTrap trap{"ImpostaVirtualFrame", errorRoutine()};
    trap.procedure([&] {
        bool tableMade = false;
        trap([&] { tableMade = CreaTabella(); });
        const std::string query = workingTableReadingQuery(kWorkingTable);
        trap([&] {
            recordsetFactory_ = classFactory()->newRecordsetFactory();
            gridRecordset_ = required(recordsetFactory_, "RecordsetFactory").newRecordset();
        });
        trap([&] {
            auto& rs = required(gridRecordset_, "recordset della griglia");
            rs.setActiveConnection(connection_);
            rs.setSource(query);
            // Without the working table (its failure has been told once) the grid stays
            // empty: opening it would only repeat the failure.
            if (tableMade) rs.Open();
        });
        trap([&] {
            frame_ = fmeCorrricl_;
            frameHostInterface_ = entry_;
            frame_->Init(frameHostInterface_, connection_, gridRecordset_, query, "", gridNav_.get(), grid_.get());
            // The frame may hand back another host interface; the editor keeps what it got.
            if (auto back = std::dynamic_pointer_cast<host::Cinterface>(frameHostInterface_)) entry_ = back;
        });
        trap([&] {
            for (kit::Control* c : std::initializer_list<kit::Control*>{
                     txtKey_.get(), txtDescrPdc_.get(), cboSegno_.get(), txtContoCoin_.get(), txtDescrRicl_.get()})
                required(frame_, "record frame").BindControl(*c);
            frame_->KeyControl(*txtKey_);
        });
        trap([&] {
            std::shared_ptr<db::Object> hostInterface = entry_;
            gridNav_->Init(hostInterface, frame_.get());
            gridNav_->setOptions({false, false, true, false, true, true, false});
        });
        trap([&] { required(frame_, "record frame").setStatus(kit::StatusNew); });
    });
}

// ---- the current working row ---------------------------------------------------------------

bool FRMCG_CORRRICL::onWorkingRow() const {
    return gridRecordset_ && gridRecordset_->State() == db::ado::adStateOpen && !gridRecordset_->Bof() &&
           !gridRecordset_->Eof();
}

db::Variant FRMCG_CORRRICL::rowValue(const char* field) const {
    return required(gridRecordset_, "recordset della griglia").value(field);
}

void FRMCG_CORRRICL::setRowValue(const char* field, const db::Variant& value) {
    auto& rs = required(gridRecordset_, "recordset della griglia");
    if (!sameRowValue(rs.value(field), value)) rs.setValue(field, value);
}

// ---- record frame --------------------------------------------------------------------------

void FRMCG_CORRRICL::FME_CORRRICL_ChangeStatus(int fenm_status, int /*fenm_reason*/) {
    ErrorTrap trap{"FME_CORRRICL_ChangeStatus", errorRoutine()};
    trap.procedure([&] {
        if (fenm_status == kit::StatusShowing) {
            validated_.forget();
            trap([&] {
                txtConto_->setText(rowValue("CONTOPDC").toText());
                txtConto_->setTabStop(false);
            });
            trap([&] {
                ContoRiclPrecedente = rowValue("CONTORICL").toText();
                descrRiclPrecedente_ = rowValue("DESCRRICL");
                descrRiclPrecedenteFor_ = db::Variant(ContoRiclPrecedente);
            });
            if (!gridLoading_) {
                trap([&] {
                    const std::string proposal = ProponiContoRiclassificato();
                    if (proposal.empty()) return;
                    // Pre-filled from the other sign of the same account: a proposal, written
                    // only once the user confirms it.
                    txtContoCoin_->setValue(proposal);
                    const db::Variant description = DecodificaContoCoin(db::Variant(txtContoCoin_->Value()));
                    txtDescrRicl_->setText(description.toText());
                    ContoRiclPrecedente = rowValue("CONTORICL").toText();
                    gridRecordset_->setValue("CONTORICL", db::Variant(txtContoCoin_->Value()));
                    gridRecordset_->setValue("DESCRRICL", db::Variant(txtDescrRicl_->Text()));
                    if (frame_) frame_->Propose(kProposalHint);
                });
            }
            // The box's entry values belong to the row being edited: the focus often stays in
            // the box while its navigation keys move from row to row, and a refused account
            // must go back to this row's value, not to the one of the row the focus came in on.
            trap([&] {
                ContoRiclAllIngresso = txtContoCoin_->Value();
                DescrRiclAllIngresso = rowValue("DESCRRICL");
            });
            trap([&] {
                txtCodicePdc_->setTabStop(false);
                txtCodiceRicl_->setTabStop(false);
                txtCodIntercompany_->setTabStop(false);
            });
        } else if (fenm_status == kit::StatusNew) {
            trap([&] {
                if (kind() == CorrelationKind::CONS)
                    txtCodIntercompany_->setTabStop(true);
                else
                    txtCodicePdc_->setTabStop(true);
                txtCodiceRicl_->setTabStop(true);
            });
            trap([&] {
                if (activated_ && txtConto_->TabStop()) txtConto_->FocusInput();
            });
        }
    });
}

std::string FRMCG_CORRRICL::ProponiContoRiclassificato() {
    if (!txtContoCoin_->Value().empty() || !onWorkingRow()) return "";
    auto clone = gridRecordset_->Clone();
    clone->setBookmark(gridRecordset_->Bookmark());
    const db::Variant sign = gridRecordset_->value("SEGNO");
    const int s = sign.isBlank() ? 0 : sign.toInt32();
    if (s == 1 && !clone->Eof()) {
        clone->MoveNext();
        if (!clone->Eof()) return clone->value("CONTORICL").toText();
    } else if (s == 2 && !clone->Bof()) {
        clone->MovePrevious();
        if (!clone->Bof()) return clone->value("CONTORICL").toText();
    }
    return "";
}

// The frame's own handlers let no error out into the frame (which is in the middle of a
// move or a save): a failing step is skipped.
void FRMCG_CORRRICL::FME_CORRRICL_BeforeUpdate(bool& /*fbol_Cancel*/) {
    ErrorTrap trap{"FME_CORRRICL_BeforeUpdate", suppressErrors()};
    trap.procedure([&] { trap([&] { AggiornaCorrelazioniCG83_PC07_CGH0(); }); });
}

void FRMCG_CORRRICL::FME_CORRRICL_ConfirmUpdate(int reason, int& decision) {
    try {
        const PendingRow row =
            pendingRow(txtContoCoin_->Value(), ContoRiclPrecedente, validated_, currentRowKey());
        decision = decideRowUpdate(
            reason, row,
            [&] {
                return askSaveBeforeClosing(*global()->messageCenter(), currentLedgerAccountText(*grid_), Caption());
            },
            [&] { return ControllaContoRiclassificato(); });
    } catch (const std::exception&) {
        // Whatever cannot be checked is not written.
        decision = kit::DecisionStay;
    }
    leaveRefused_ = decision == kit::DecisionStay;
}

void FRMCG_CORRRICL::FME_CORRRICL_AfterUpdate(int /*fenm_operationresult*/) {
    ContoRiclPrecedente = txtContoCoin_->Value();
}

void FRMCG_CORRRICL::FME_CORRRICL_BeforeDelete(bool& fbol_Cancel) {
    ErrorTrap trap{"FME_CORRRICL_BeforeDelete", suppressErrors()};
    trap.procedure([&] {
        trap([&] {
            ContoRiclPrecedente = txtContoCoin_->Value();
            txtContoCoin_->setValue("");
        });
        trap([&] { AggiornaCorrelazioniCG83_PC07_CGH0(); });
    });
    // Deleting removes the correlation, never the row.
    fbol_Cancel = true;
    if (frame_) frame_->RefreshRecord();
}

void FRMCG_CORRRICL::FME_CORRRICL_BeforeUndo(bool& fbol_Cancel) {
    fbol_Cancel = true;
    ErrorTrap trap{"FME_CORRRICL_BeforeUndo", suppressErrors()};
    trap.procedure([&] {
        trap([&] {
            gridRecordset_->setValue("CONTORICL", db::Variant(""));
            gridRecordset_->setValue("DESCRRICL", db::Variant(""));
            gridRecordset_->Update();
        });
    });
    if (frame_) frame_->RefreshRecord();
}

void FRMCG_CORRRICL::FME_CORRRICL_BeforeAddNew(bool& fbol_Cancel) {
    fbol_Cancel = false;
    txtConto_->setTabStop(true);
    txtConto_->setText("");
}

// ---- grid ----------------------------------------------------------------------------------

void FRMCG_CORRRICL::GRID_CORRPDC_RowChanged() {
    ErrorTrap trap{"GRID_CORRPDC_RowChanged", errorRoutine()};
    trap.procedure([&] {
        if (gridLoading_ || !onWorkingRow()) return;
        trap([&] { txtContoCoin_->setValue(rowValue("CONTORICL").toText()); });
        trap([&] { ImpostaCorrelazioneIntermediCliFor(); });
        trap([&] {
            if (frame_ && frame_->Status() == kit::StatusShowing && rowValue("CONTORICL").isBlank())
                txtContoCoin_->FocusInput();
        });
    });
}

void FRMCG_CORRRICL::GRID_CORRPDC_CellText(std::string& text, const std::string& field) {
    // The analytic kind's column already holds the analytic account's display form.
    if (field != "CONTOPDCGRID" || kind() == CorrelationKind::COIN) return;
    text = text::applyMask(FormattaConto(0), text, text::MaskFill::FromRight);
}

// ---- navigator -----------------------------------------------------------------------------

void FRMCG_CORRRICL::GRIDNAV_ButtonPressed(const std::string& button) {
    // The row was kept because its account was refused: the focus stays in the account box.
    if (std::exchange(leaveRefused_, false) && frame_ && frame_->isChanged()) return;
    if (button == "Nuovo")
        txtConto_->FocusInput();
    else
        grid_->SetFocus();
}

void FRMCG_CORRRICL::GRIDNAV_AfterAction() {
    if (!txtConto_->Text().empty() && txtContoCoin_->Value().empty()) txtContoCoin_->FocusInput();
}

// ---- the account search box ----------------------------------------------------------------

void FRMCG_CORRRICL::TXT_CONTO_Search(bool& cancel) {
    ErrorTrap trap{"TXT_CONTO_Search", suppressErrors()};
    kit::FlagScope loading(gridLoading_);
    trap.procedure([&] {
        bool notReached = true;
        trap([&] { notReached = EseguiQuery(); });
        cancel = notReached;
        if (notReached) return;
        trap([&] { ImpostaCorrelazioneIntermediCliFor(); });
        trap([&] { txtConto_->setTabStop(false); });
        trap([&] { txtContoCoin_->setValue(rowValue("CONTORICL").toText()); });
        trap([&] { txtContoCoin_->SetFocus(); });
    });
}

void FRMCG_CORRRICL::TXT_CONTO_ConnectionStringRequest(bool& useOwn, std::string& connect) {
    useOwn = false;
    try {
        connect = GetStrConnectIntercompany();
    } catch (const std::exception&) {
        // the box then decodes nothing
    }
}

bool FRMCG_CORRRICL::EseguiQuery() {
    bool result = true;
    ErrorTrap trap{"EseguiQuery", errorRoutine()};
    trap.procedure([&] {
        if (!gridRecordset_ || gridRecordset_->State() != db::ado::adStateOpen) return;
        if (gridRecordset_->Eof() && gridRecordset_->Bof()) return;
        std::shared_ptr<db::Recordset> clone;
        trap([&] {
            clone = gridRecordset_->Clone();
            const std::string wanted = txtConto_->Text().empty() ? std::string("0") : txtConto_->Text();
            clone->Find("CONTOPDC='" + db::sqlEscape(wanted) + "'");
        });
        if (!clone || clone->Eof()) return;   // not listed: the search is cancelled silently
        db::Variant fakeId;
        trap([&] { fakeId = clone->value("FAKEID"); });
        bool present = false;
        trap([&] { present = !fakeId.isBlank() && fakeId.toDouble() != 0; });
        if (present) {
            // The key written into the current row asks the frame to move to its row.
            trap([&] { gridRecordset_->setValue("FAKEID", fakeId); });
            trap([&] {
                if (required(frame_, "record frame").Status() == kit::StatusNew) result = !frame_->Search(true, true);
            });
        } else {
            std::int32_t tipo = 3;
            ShowMessage(tipo, 117);
            trap([&] { gridRecordset_->setValue("FAKEID", db::Variant(1)); });
            trap([&] { result = !required(frame_, "record frame").Search(true, true); });
        }
    });
    return result;
}

// ---- new correlation -----------------------------------------------------------------------

void FRMCG_CORRRICL::BUT_NUOVACORR_ButtonClick() {
    ErrorTrap trap{"BUT_NUOVACORR_ButtonClick", utilityRoutine()};
    trap.procedure([&] {
        // A row the user changed is saved first, while the header still names its charts;
        // an account that validation refuses keeps the user on the row.
        bool rowLeft = true;
        trap([&] {
            if (frame_) rowLeft = frame_->SaveBeforeLeaving();
        });
        if (!rowLeft) return;
        trap([&] {
            for (kit::Control* c : std::initializer_list<kit::Control*>{
                     txtCodIntercompany_.get(), txtDescrIntercompany_.get(), txtCodicePdc_.get(), txtCodiceRicl_.get()})
                c->setText("");
        });
        trap([&] {
            txtCodiceRicl_->setTabStop(true);
            if (kind() == CorrelationKind::CONS) {
                txtCodIntercompany_->setTabStop(true);
                txtCodIntercompany_->SetFocus();
            } else {
                txtCodicePdc_->setTabStop(true);
                txtCodicePdc_->SetFocus();
            }
        });
        trap([&] {
            grid_->setRecordset(nullptr);
            grid_->Refresh();
            grid_->setEnabled(false);
        });
        trap([&] {
            butCorrIntermedi_->setTabStop(false);
            butCorrIntermedi_->setCaption(dictionaryTexts_[0]);
            grbCheck_->setVisible(false);
        });
        // The frame stops showing the row first, so that emptying its fields is not taken
        // for the user's removal of the row's correlation.
        trap([&] {
            if (frame_) frame_->Clear();
        });
        trap([&] {
            txtConto_->setText("");
            txtDescrPdc_->setText("");
            txtContoCoin_->setValue("");
            txtDescrRicl_->setText("");
        });
        trap([&] { butCorrInfrannualeCee_->setTabStop(false); });
    });
}

}  // namespace editor
