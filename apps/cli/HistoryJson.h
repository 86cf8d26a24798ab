#pragma once
// The changes of a history step as JSON, as `history --json` and the automation request
// `history` write them.

#include <vector>

#include "journal/Change.h"

namespace brevanto::cli {

template <class Json>
Json changesJson(const std::vector<journal::Change>& changes) {
    Json out = Json::array();
    for (const auto& c : changes)
        out.push_back(Json{{"table", c.rows == journal::Rows::Intermediary ? "intermediari" : "correlazioni"},
                           {"account", c.account},
                           {"sign", c.sign},
                           {"before", c.before},
                           {"after", c.after}});
    return out;
}

}  // namespace brevanto::cli
