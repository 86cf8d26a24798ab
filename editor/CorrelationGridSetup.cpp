#include "editor/CorrelationGridSetup.h"

#include <string>
#include <utility>
#include <vector>

#include "db/Variant.h"
#include "host/MessageCenter.h"
#include "kit/QueryGrid.h"

namespace editor {

void setUpCorrelationGrid(ErrorTrap& trap, kit::QueryGrid& grid, std::shared_ptr<db::Object> hostInterface,
                          const std::function<std::shared_ptr<host::MessageCenter>()>& messages,
                          const CorrelationGridCaptions& captions) {
    std::vector<std::pair<db::Variant, std::string>> signs;
    trap([&] {
        auto center = messages();
        signs = {{db::Variant(1), center->text(17737, {})}, {db::Variant(2), center->text(8493, {})}};
    });
    std::shared_ptr<kit::GridSettings> settings;
    trap([&] {
        settings = std::make_shared<kit::GridSettings>();
        settings->Init(hostInterface, nullptr, "FAKEID", 0);
        settings->options.fill(true);
    });
    trap([&] { grid.Reset(); });
    trap([&] { grid.setSettings(settings); });
    trap([&] {
        grid.setNumberOption(1);
        grid.setOptions(true, false, true);
    });
    trap([&] {
        grid.AddColumn("FAKEID", "Key", 1, 100, false);
        grid.AddColumn("CONTOPDC", "Conto", 1, 100, false);
        grid.AddColumn("DESCRPDC", "Descrizione", 1, 100, false);
        grid.AddColumn("CONTOPDCGRID", "Conto contabile", 1, 2025, true);
        grid.AddColumn("DESCRPDCGRID", captions.ledgerDescription, 1, 3405, true);
        grid.AddValueListColumn("SEGNO", 3, signs, "Segno", 645, true);
        grid.AddColumn("CONTORICL", captions.reclAccount, 1, 2055, true);
        grid.AddColumn("DESCRRICL", "Descrizione conto riclassificato", 1, captions.reclDescriptionWidth, true);
    });
    trap([&] { grid.EndColumns(); });
    trap([&] { grid.CloseColumns(); });
}

}  // namespace editor
