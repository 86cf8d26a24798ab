#pragma once
// Value helpers shared by the module and the host services.

#include "db/Variant.h"

namespace host {

// `value` unless it is Null, Empty or a zero-length text; otherwise `fallback`.
db::Variant valueOrDefault(const db::Variant& value, const db::Variant& fallback);

}  // namespace host
