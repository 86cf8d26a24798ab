#pragma once
// What the requests on an open correlation editor read from a request: a text field, and the
// correlation kind of the entry class that opened the editor.

#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "mapping/Scope.h"

namespace brevanto::cli {

inline std::string requestText(const nlohmann::json& r, const char* key) {
    auto it = r.find(key);
    if (it == r.end() || !it->is_string()) throw std::runtime_error(std::string("manca il testo \"") + key + "\"");
    return it->get<std::string>();
}

inline mapping::CorrelationKind kindOfEntry(const std::string& progId) {
    for (const char* name : {"COGE", "COIN", "HYPE", "CONS"})
        if (progId.size() >= 4 && progId.compare(progId.size() - 4, 4, name) == 0) return *mapping::kindFromName(name);
    throw std::runtime_error("la classe " + progId + " non apre un editor di correlazioni");
}

}  // namespace brevanto::cli
