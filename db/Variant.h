#pragma once
// A value as the database client and the control models pass it around: Empty, Null,
// integer, double, decimal, UTF-8 text, Boolean or a shared object reference.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace db {

// Base of every object a Variant can hold (connections, recordsets, controls…).
struct Object {
    virtual ~Object() = default;
};

class Variant {
public:
    enum class Type { Empty, Null, Integer, Double, Decimal, Text, Boolean, Object };

    Variant() = default;                       // Empty
    Variant(int v) : v_(std::int64_t{v}) {}
    Variant(long v) : v_(std::int64_t{v}) {}
    Variant(long long v) : v_(std::int64_t{v}) {}
    Variant(unsigned v) : v_(std::int64_t{v}) {}
    Variant(double v) : v_(v) {}
    Variant(bool v) : v_(v) {}
    Variant(const char* v) : v_(std::string(v)) {}
    Variant(std::string v) : v_(std::move(v)) {}
    Variant(std::string_view v) : v_(std::string(v)) {}
    Variant(std::shared_ptr<Object> v) : v_(std::move(v)) {}

    static Variant null();
    // A fixed-point value (ADO adDecimal); held as a double, written without a trailing ".0".
    static Variant decimal(double v);

    Type type() const;
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNull() const { return type() == Type::Null; }
    bool isText() const { return type() == Type::Text; }
    bool isNumeric() const;                    // Integer, Double, Decimal or Boolean
    bool isObject() const { return type() == Type::Object; }
    // Empty, Null or a zero-length text: what the module calls "empty".
    bool isBlank() const;

    // Conversions in the manner of the host language: numbers from numeric text, text from
    // numbers. Empty converts to 0 / "" / false. Null, non-numeric text or an overflow
    // raise ConversionError.
    std::int64_t toInt64() const;
    std::int32_t toInt32() const;
    std::int16_t toInt16() const;
    std::uint8_t toByte() const;
    double toDouble() const;
    bool toBool() const;
    // Text form; Empty and Null give "". Integral doubles print without decimals.
    std::string toText() const;

    // The text held, without a copy; nullptr unless the value is Text (filters compare
    // hundreds of thousands of rows and must not copy each one).
    const std::string* textIf() const noexcept { return std::get_if<std::string>(&v_); }

    std::shared_ptr<Object> toObject() const;   // nullptr unless an object is held
    template <class T> std::shared_ptr<T> as() const { return std::dynamic_pointer_cast<T>(toObject()); }

    // Strict equality: same kind of value (numbers compare by value across kinds,
    // texts byte for byte). Empty equals Empty, Null equals Null.
    friend bool operator==(const Variant& a, const Variant& b);

    // JSON-like debug form: null, "text", 12, 1.5, true, <empty>, <object>.
    std::string debugString() const;

private:
    struct NullTag { bool operator==(const NullTag&) const = default; };
    struct DecimalValue { double v; };
    std::variant<std::monostate, NullTag, std::int64_t, double, DecimalValue, std::string, bool,
                 std::shared_ptr<Object>> v_;
};

}  // namespace db
