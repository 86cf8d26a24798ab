#include "host/Values.h"

namespace host {

db::Variant valueOrDefault(const db::Variant& value, const db::Variant& fallback) {
    return value.isBlank() ? fallback : value;
}

}  // namespace host
