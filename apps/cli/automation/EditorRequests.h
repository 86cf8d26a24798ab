#pragma once
// What the requests on an open correlation editor share: reading a request's texts and the
// correlation kind of the entry class that opened the editor.

#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "mapping/Scope.h"

namespace brevanto::cli {

// The request's text `key`; std::runtime_error when it is missing or not a text.
inline std::string requestText(const nlohmann::json& r, const char* key) {
    auto it = r.find(key);
    if (it == r.end() || !it->is_string()) throw std::runtime_error(std::string("manca il testo \"") + key + "\"");
    return it->get<std::string>();
}

// The kind of an editor's entry class ("…COGE" -> COGE).
inline mapping::CorrelationKind kindOfEntry(const std::string& progId) {
    for (const char* name : editor::kCorrelationKindNames)
        if (progId.size() >= 4 && progId.compare(progId.size() - 4, 4, name) == 0) return *mapping::kindFromName(name);
    throw std::runtime_error("la classe " + progId + " non apre un editor di correlazioni");
}

}  // namespace brevanto::cli
