#pragma once
// What a box's StartLookup handlers ask a lookup window for: the statement, its connection
// ("" for the box's own), the window's caption and its columns.

#include <optional>
#include <string>

#include "kit/WindowSystem.h"

namespace kit {

struct LookupStart {
    std::string sql;
    std::string caption;
    std::string connect;
    LookupFields fields;
};

// Raises a box's StartLookup event; nullopt when a handler cancels or gives no statement.
template <class StartLookupEvent>
std::optional<LookupStart> startLookup(StartLookupEvent& event) {
    bool cancel = false;
    LookupStart start;
    event.raise(cancel, start.sql, start.fields, start.caption, start.connect);
    if (cancel || start.sql.empty()) return std::nullopt;
    return start;
}

}  // namespace kit
