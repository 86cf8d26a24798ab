// The print button: a new host correlation report per print, handed the header codes of the
// kind and asked to print, then finished and released. Kind COIN has no print: no report is
// created and the closing calls find none. Every step that fails is skipped.

#include "editor/FRMCG_CORRRICL.h"
#include "editor/Required.h"

namespace editor {

void FRMCG_CORRRICL::BUT_STAMPA_ButtonClick() {
    ErrorTrap trap{"BUT_STAMPA_ButtonClick", suppressErrors()};
    auto report = [this]() -> host::CorrelationReport& { return required(correlationReport_, "CorrelationReport"); };
    trap.procedure([&] {
        CorrelationKind printKind = CorrelationKind::COIN;
        trap([&] { printKind = kind(); });
        if (printKind != CorrelationKind::COIN) {
            trap([&] {
                if (!correlationReport_) {
                    correlationReport_ = classFactory()->newCorrelationReport();
                    report().setHostInterface(entry_);
                }
            });
            switch (printKind) {
            case CorrelationKind::COGE:
                trap([&] { report().setLedgerChartCode(txtCodicePdc_->Text()); });
                trap([&] { report().setReclChartCode(txtCodiceRicl_->Text()); });
                trap([&] { report().printCoge(); });
                break;
            case CorrelationKind::HYPE:
                trap([&] { report().setLedgerChartCode(txtCodicePdc_->Text()); });
                trap([&] { report().setReclChartCode(txtCodiceRicl_->Text()); });
                trap([&] { report().printHype(); });
                break;
            case CorrelationKind::CONS:
                trap([&] { report().setIntercompanyCode(txtCodIntercompany_->Text()); });
                trap([&] { report().setLedgerChartCode(txtCodicePdc_->Text()); });
                trap([&] { report().setReclChartCode(txtCodiceRicl_->Text()); });
                trap([&] { report().printCons(); });
                break;
            default: break;
            }
        }
        trap([&] { report().finish(); });
        trap([&] { report().setHostInterface(nullptr); });
        trap([&] { report().setConnection(nullptr); });
        trap([&] { correlationReport_.reset(); });
        trap([&] { global()->setCurrentProgram(entry_); });
    });
}

}  // namespace editor
