#pragma once
// The column set-up that the correlation editor's grid and the intermediaries editor's grid
// share: the sign value list from the host dictionary, the grid settings keyed on FAKEID and
// the eight columns, of which only a few captions and one width differ.

#include <functional>
#include <memory>

#include "editor/ErrorTrap.h"

namespace db {
struct Object;
}
namespace host {
class MessageCenter;
}
namespace kit {
class QueryGrid;
}

namespace editor {

struct CorrelationGridCaptions {
    const char* ledgerDescription;     // caption of DESCRPDCGRID
    const char* reclAccount;           // caption of CONTORICL
    int reclDescriptionWidth;          // width of DESCRRICL
};

// Each step runs under the caller's trap, so an error is reported under the caller's name.
void setUpCorrelationGrid(ErrorTrap& trap, kit::QueryGrid& grid, std::shared_ptr<db::Object> hostInterface,
                          const std::function<std::shared_ptr<host::MessageCenter>()>& messages,
                          const CorrelationGridCaptions& captions);

}  // namespace editor
