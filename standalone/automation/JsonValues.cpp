#include "standalone/automation/JsonValues.h"

#include <stdexcept>

namespace standalone::automation {

nlohmann::json toJson(const db::Variant& v) {
    using T = db::Variant::Type;
    switch (v.type()) {
    case T::Empty: return nullptr;
    case T::Null: return {{"null", true}};
    case T::Integer: return v.toInt64();
    case T::Double:
    case T::Decimal: return v.toDouble();
    case T::Text: return *v.textIf();
    case T::Boolean: return v.toBool();
    case T::Object: return {{"object", v.toObject() != nullptr}};
    }
    return nullptr;
}

db::Variant toVariant(const nlohmann::json& j) {
    switch (j.type()) {
    case nlohmann::json::value_t::null: return {};
    case nlohmann::json::value_t::boolean: return j.get<bool>();
    case nlohmann::json::value_t::number_integer: return static_cast<long long>(j.get<std::int64_t>());
    case nlohmann::json::value_t::number_unsigned: {
        auto u = j.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(INT64_MAX)) throw std::invalid_argument("numero fuori intervallo");
        return static_cast<long long>(u);
    }
    case nlohmann::json::value_t::number_float: return j.get<double>();
    case nlohmann::json::value_t::string: return j.get<std::string>();
    case nlohmann::json::value_t::object:
        if (j.size() == 1 && j.contains("null") && j["null"] == true) return db::Variant::null();
        break;
    default: break;
    }
    throw std::invalid_argument("un valore deve essere un Booleano, un numero, un testo, null o {\"null\":true}");
}

std::string dumpLine(const nlohmann::json& j) {
    return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace standalone::automation
