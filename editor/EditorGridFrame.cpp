// The correlation grid and its record frame, as the first activation sets them up: the sign
// list, the grid's columns, the grid recordset on the working table, the record frame with
// its bound fields and the navigator bar.

#include "editor/FRMCG_CORRRICL.h"
#include "editor/Required.h"
#include "editor/WorkingTableStatements.h"
#include "host/MessageCenter.h"

namespace editor {

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
        std::vector<std::pair<db::Variant, std::string>> signs;
        trap([&] {
            auto messages = global()->messageCenter();
            signs = {{db::Variant(1), messages->text(17737, {})}, {db::Variant(2), messages->text(8493, {})}};
        });
        std::shared_ptr<kit::GridSettings> settings;
        trap([&] {
            settings = std::make_shared<kit::GridSettings>();
            settings->Init(entry_, nullptr, "FAKEID", 0);
            settings->options.fill(true);
        });
        trap([&] { grid_->Reset(); });
        trap([&] { grid_->setSettings(settings); });
        trap([&] {
            grid_->setNumberOption(1);
            grid_->setOptions(true, false, true);
        });
        trap([&] {
            grid_->AddColumn("FAKEID", "Key", 1, 100, false);
            grid_->AddColumn("CONTOPDC", "Conto", 1, 100, false);
            grid_->AddColumn("DESCRPDC", "Descrizione", 1, 100, false);
            grid_->AddColumn("CONTOPDCGRID", "Conto contabile", 1, 2025, true);
            grid_->AddColumn("DESCRPDCGRID", "Descrizione conto contabile", 1, 3405, true);
            grid_->AddValueListColumn("SEGNO", 3, signs, "Segno", 645, true);
            grid_->AddColumn("CONTORICL", "Conto riclassificato", 1, 2055, true);
            grid_->AddColumn("DESCRRICL", "Descrizione conto riclassificato", 1, 3630, true);
        });
        trap([&] { grid_->EndColumns(); });
        trap([&] { grid_->CloseColumns(); });
    });
}

void FRMCG_CORRRICL::ImpostaVirtualFrame() {
    ErrorTrap trap{"ImpostaVirtualFrame", errorRoutine()};
    trap.procedure([&] {
        trap([&] { CreaTabella(); });
        const std::string query = workingTableReadingQuery(kWorkingTable);
        trap([&] {
            recordsetFactory_ = classFactory()->newRecordsetFactory();
            gridRecordset_ = required(recordsetFactory_, "RecordsetFactory").newRecordset();
        });
        trap([&] {
            auto& rs = required(gridRecordset_, "recordset della griglia");
            rs.setActiveConnection(connection_);
            rs.setSource(query);
            rs.Open();
        });
        trap([&] {
            frame_ = std::make_shared<kit::RecordFrame>("FME_CORRRICL");
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

}  // namespace editor
