#include "db/Variant.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "db/Error.h"
#include "text/Text.h"

namespace db {

namespace {

// Numeric text to double, in the C locale; the whole text must be a number.
bool parseNumber(std::string_view text, double& out) {
    std::string t = text::trimBlanks(text);
    if (t.empty()) return false;
    const char* first = t.data();
    const char* last = t.data() + t.size();
    if (*first == '+') {
        ++first;
        if (first == last || *first == '-') return false;   // "+" alone or "+-5"
    }
    auto [p, ec] = std::from_chars(first, last, out);
    // "inf" and "nan" are not numbers a user types.
    return ec == std::errc() && p == last && std::isfinite(out);
}

std::string formatDouble(double v) {
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e15) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", v);
        std::string s = buf;
        return s == "-0" ? "0" : s;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

}  // namespace

Variant Variant::null() {
    Variant v;
    v.v_ = NullTag{};
    return v;
}

Variant Variant::decimal(double d) {
    Variant v;
    v.v_ = DecimalValue{d};
    return v;
}

Variant::Type Variant::type() const {
    switch (v_.index()) {
        case 0: return Type::Empty;
        case 1: return Type::Null;
        case 2: return Type::Integer;
        case 3: return Type::Double;
        case 4: return Type::Decimal;
        case 5: return Type::Text;
        case 6: return Type::Boolean;
        default: return Type::Object;
    }
}

bool Variant::isNumeric() const {
    auto t = type();
    return t == Type::Integer || t == Type::Double || t == Type::Decimal || t == Type::Boolean;
}

bool Variant::isBlank() const {
    auto t = type();
    if (t == Type::Empty || t == Type::Null) return true;
    return t == Type::Text && std::get<std::string>(v_).empty();
}

double Variant::toDouble() const {
    switch (type()) {
        case Type::Empty: return 0;
        case Type::Null: throw ConversionError("Uso non valido di Null");
        case Type::Integer: return static_cast<double>(std::get<std::int64_t>(v_));
        case Type::Double: return std::get<double>(v_);
        case Type::Decimal: return std::get<DecimalValue>(v_).v;
        case Type::Boolean: return std::get<bool>(v_) ? -1.0 : 0.0;
        case Type::Text: {
            double d;
            const auto& s = std::get<std::string>(v_);
            if (!parseNumber(s, d)) throw ConversionError("Tipo non corrispondente: '" + s + "' non è un numero");
            return d;
        }
        case Type::Object: break;
    }
    throw ConversionError("Tipo non corrispondente: un oggetto non è un numero");
}

std::int64_t Variant::toInt64() const {
    if (type() == Type::Integer) return std::get<std::int64_t>(v_);
    double d = toDouble();
    // Round half to even, as the host language's integer conversions do.
    double r = std::nearbyint(d);
    if (!(r >= -9.2233720368547758e18 && r < 9.2233720368547758e18))
        throw ConversionError("Overflow: " + formatDouble(d));
    return static_cast<std::int64_t>(r);
}

namespace {
template <class T>
T narrow(std::int64_t v) {
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max())
        throw ConversionError("Overflow: " + std::to_string(v));
    return static_cast<T>(v);
}
}  // namespace

std::int32_t Variant::toInt32() const { return narrow<std::int32_t>(toInt64()); }
std::int16_t Variant::toInt16() const { return narrow<std::int16_t>(toInt64()); }
std::uint8_t Variant::toByte() const { return narrow<std::uint8_t>(toInt64()); }

bool Variant::toBool() const {
    switch (type()) {
        case Type::Boolean: return std::get<bool>(v_);
        case Type::Text: {
            const std::string s = text::toLowerAscii(text::trimBlanks(std::get<std::string>(v_)));
            if (s == "true" || s == "vero") return true;
            if (s == "false" || s == "falso") return false;
            return toDouble() != 0;
        }
        default: return toDouble() != 0;
    }
}

std::string Variant::toText() const {
    switch (type()) {
        case Type::Empty:
        case Type::Null: return {};
        case Type::Integer: return std::to_string(std::get<std::int64_t>(v_));
        case Type::Double: return formatDouble(std::get<double>(v_));
        case Type::Decimal: return formatDouble(std::get<DecimalValue>(v_).v);
        case Type::Text: return std::get<std::string>(v_);
        case Type::Boolean: return std::get<bool>(v_) ? "True" : "False";
        case Type::Object: break;
    }
    throw ConversionError("Tipo non corrispondente: un oggetto non è un testo");
}

std::shared_ptr<Object> Variant::toObject() const {
    if (auto p = std::get_if<std::shared_ptr<Object>>(&v_)) return *p;
    return nullptr;
}

bool operator==(const Variant& a, const Variant& b) {
    using T = Variant::Type;
    T ta = a.type(), tb = b.type();
    if (a.isNumeric() && b.isNumeric()) return a.toDouble() == b.toDouble();
    if (ta != tb) return false;
    switch (ta) {
        case T::Empty:
        case T::Null: return true;
        case T::Text: return std::get<std::string>(a.v_) == std::get<std::string>(b.v_);
        case T::Object: return a.toObject() == b.toObject();
        default: return false;
    }
}

std::string Variant::debugString() const {
    switch (type()) {
        case Type::Empty: return "<empty>";
        case Type::Null: return "null";
        case Type::Text: return "\"" + std::get<std::string>(v_) + "\"";
        case Type::Boolean: return std::get<bool>(v_) ? "true" : "false";
        case Type::Object: return "<object>";
        default: return toText();
    }
}

}  // namespace db
