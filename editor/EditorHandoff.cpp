// The intermediaries hand-off as the current row shows it: on a customers' or suppliers'
// master row the intermediaries button gets the master's caption and joins the tab order
// when the company has intermediaries of that type, and the check mark shows when one of
// them (other than intermediary 0) is already correlated in the reclassification chart.

#include "editor/FRMCG_CORRRICL.h"
#include "statements/HandoffStatements.h"
#include "editor/Required.h"

namespace editor {

namespace {

// The first column of the first row, 0 when there is none.
long long firstCount(const std::shared_ptr<db::Recordset>& rs) {
    if (!rs || rs->State() != db::ado::adStateOpen || rs->Eof()) return 0;
    const db::Variant v = rs->fields().Item(0L).Value();
    return v.isBlank() ? 0 : v.toInt64();
}

}  // namespace

bool FRMCG_CORRRICL::RecordsetVuoto(const std::shared_ptr<db::Recordset>& rs) const {
    if (!rs || rs->State() != db::ado::adStateOpen) return true;
    return rs->Bof() && rs->Eof();
}

void FRMCG_CORRRICL::ImpostaCorrelazioneIntermediCliFor() {
    ErrorTrap trap{"ImpostaCorrelazioneIntermediCliFor", suppressErrors()};
    trap.procedure([&] {
        trap([&] {
            butCorrIntermedi_->setTabStop(false);
            butCorrIntermedi_->setCaption(dictionaryTexts_[0]);
            grbCheck_->setVisible(false);
        });
        std::string company;
        trap([&] {
            company = ValoreNonVuoto(db::Variant(DittaIntercompany()), db::Variant("")).toText();
            if (company.empty()) company = std::to_string(global()->companyCode());
        });
        if (company.empty() || RecordsetVuoto(gridRecordset_)) return;
        if (kind() == CorrelationKind::HYPE || kind() == CorrelationKind::COIN) return;

        int tipoCf = -1;
        trap([&] {
            const db::Variant v = rowValue("TIPOCF");
            tipoCf = v.isBlank() ? -1 : v.toInt32();
        });
        if (tipoCf == 0)
            trap([&] { butCorrIntermedi_->setCaption(dictionaryTexts_[1]); });
        else if (tipoCf == 1)
            trap([&] { butCorrIntermedi_->setCaption(dictionaryTexts_[2]); });
        else
            return;

        // A count that fails counts as none: the button stays out of the tab order.
        long long intermediaries = 0;
        trap([&] {
            intermediaries = firstCount(required(connection_, "connessione")
                                            .Execute(intermediariesCountQuery(nomeDatabaseIntercompany_, company, tipoCf),
                                                     nullptr, db::ado::adCmdText));
        });
        if (intermediaries == 0) return;

        long long correlated = 0;
        trap([&] {
            correlated = firstCount(connection_->Execute(
                correlatedIntermediariesCountQuery(kind() == CorrelationKind::CONS, nomeDatabaseIntercompany_, company,
                                                   tipoCf, txtCodiceRicl_->Text(), txtCodIntercompany_->Text()),
                nullptr, db::ado::adCmdText));
        });
        if (correlated != 0) trap([&] { grbCheck_->setVisible(true); });
        trap([&] { butCorrIntermedi_->setTabStop(true); });
    });
}

}  // namespace editor
