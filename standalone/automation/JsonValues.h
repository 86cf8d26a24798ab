#pragma once
// Values between JSON requests and the database client's Variant. A Variant goes to JSON as
// itself (number, text, Boolean), Empty as null, Null as {"null":true} and an object as
// {"object":true}; JSON null, numbers, texts and Booleans come back the same way.

#include <nlohmann/json.hpp>

#include "db/Variant.h"

namespace standalone::automation {

nlohmann::json toJson(const db::Variant& v);
// Throws std::invalid_argument for an array or an object other than {"null":true}.
db::Variant toVariant(const nlohmann::json& j);
// One JSON line; bytes that are not UTF-8 are replaced instead of making the dump throw.
std::string dumpLine(const nlohmann::json& j);

}  // namespace standalone::automation
