#include "db/RowTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>

namespace db {

namespace {

using namespace rowlayout;
using Cell = std::uint32_t;
constexpr Cell kPayloadMask = (Cell{1} << kPayloadBits) - 1;

enum Tag : unsigned {
    Special = 0,        // payload: kNullValue, kEmptyValue, kFalseValue, kTrueValue
    SmallInteger = 1,   // payload: a signed 29-bit integer
    SmallDecimal = 2,   // payload: a signed 29-bit integer held as a decimal
    PooledText = kTextTag,   // payload: text id
    LargeInteger = 4,   // payload: index into the side numbers
    Double = 5,
    Decimal = 6,
    Other = kOtherTag,       // payload: index into the side values
};
enum SpecialValue : Cell { kNullValue = 0, kEmptyValue = 1, kFalseValue = 2, kTrueValue = 3 };

constexpr std::int64_t kSmallMin = -(std::int64_t{1} << (kPayloadBits - 1));
constexpr std::int64_t kSmallMax = (std::int64_t{1} << (kPayloadBits - 1)) - 1;

constexpr Cell make(unsigned tag, Cell payload) { return (Cell{tag} << kPayloadBits) | (payload & kPayloadMask); }
constexpr unsigned tagOf(Cell c) { return c >> kPayloadBits; }
constexpr Cell payloadOf(Cell c) { return c & kPayloadMask; }
std::int64_t smallOf(Cell c) {
    // Sign-extends the 29-bit payload.
    return static_cast<std::int64_t>(static_cast<std::int32_t>(payloadOf(c) << (32 - kPayloadBits)) >> (32 - kPayloadBits));
}
bool fitsSmall(std::int64_t v) { return v >= kSmallMin && v <= kSmallMax; }

constexpr std::size_t kChunkMax = std::size_t{1} << kOffsetBits;
constexpr std::size_t kChunkMin = 4096;
// Longer texts (notes, not codes) are kept as values of their own.
constexpr std::size_t kLongText = 64 * 1024;
// The table of recently stored texts grows with the pool up to this many slots.
constexpr std::size_t kRecentMax = 65536;

std::uint64_t bitsOf(double d) {
    std::uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}
double doubleOf(std::uint64_t b) {
    double d;
    std::memcpy(&d, &b, sizeof d);
    return d;
}

void outOfRange(const char* what, std::size_t index, std::size_t size) {
    throw std::out_of_range(std::string(what) + " " + std::to_string(index) + " fuori intervallo (" +
                            std::to_string(size) + ")");
}

}  // namespace

// ---- RowRef ----------------------------------------------------------------------------------

Variant RowRef::at(std::size_t column) const {
    if (column >= size()) outOfRange("Colonna", column, size());
    return (*this)[column];
}

Row RowRef::toRow() const {
    Row row;
    row.reserve(size());
    for (std::size_t c = 0; c < size(); ++c) row.push_back((*this)[c]);
    return row;
}

bool operator==(const RowRef& a, const Row& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t c = 0; c < b.size(); ++c)
        if (!(a[c] == b[c]) || a.typeAt(c) != b[c].type()) return false;
    return true;
}

// ---- RowTable: shape ---------------------------------------------------------------------------

void RowTable::setColumns(std::size_t columns) {
    if (columns == columns_) return;
    const std::size_t keep = std::min(columns, columns_);
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        const std::vector<Cell>& old = blocks_[b];
        const std::size_t n = columns_ ? old.size() / columns_ : std::min(kBlockRows, rows_ - b * kBlockRows);
        std::vector<Cell> cells(n * columns, kNull);
        for (std::size_t r = 0; r < n; ++r)
            std::copy_n(old.begin() + static_cast<std::ptrdiff_t>(r * columns_), keep,
                        cells.begin() + static_cast<std::ptrdiff_t>(r * columns));
        blocks_[b] = std::move(cells);
    }
    columns_ = columns;
}

std::size_t RowTable::appendRow() {
    if ((rows_ & (kBlockRows - 1)) == 0) {
        blocks_.emplace_back();
        // The first block grows with the rows (most tables are small); later ones are whole.
        if (blocks_.size() > 1) blocks_.back().reserve(kBlockRows * columns_);
    }
    std::vector<Cell>& block = blocks_.back();
    block.resize(block.size() + columns_, kNull);
    return rows_++;
}

void RowTable::push_back(const Row& row) {
    if (row.size() > columns_) setColumns(row.size());
    const std::size_t r = appendRow();
    for (std::size_t c = 0; c < row.size(); ++c) set(r, c, row[c]);
}

RowTable::Cell& RowTable::cell(std::size_t row, std::size_t column) {
    if (row >= rows_) outOfRange("Riga", row, rows_);
    if (column >= columns_) setColumns(column + 1);
    return blocks_[row >> kBlockShift][(row & (kBlockRows - 1)) * columns_ + column];
}

RowRef RowTable::at(std::size_t row) const {
    if (row >= rows_) outOfRange("Riga", row, rows_);
    return (*this)[row];
}

std::size_t RowTable::heapBytes() const {
    std::size_t n = blocks_.capacity() * sizeof(std::vector<Cell>);
    for (const auto& b : blocks_) n += b.capacity() * sizeof(Cell);
    n += chunks_.capacity() * sizeof(std::vector<char>);
    for (const auto& c : chunks_) n += c.capacity();
    n += texts_.capacity() * sizeof(std::uint64_t) + recentTexts_.capacity() * sizeof(std::uint32_t);
    n += numbers_.capacity() * sizeof(std::uint64_t) + others_.capacity() * sizeof(Variant);
    return n;
}

// ---- RowTable: writing -------------------------------------------------------------------------

RowTable::Cell RowTable::sideNumber(unsigned tag, std::uint64_t bits) {
    numbers_.push_back(bits);
    return make(tag, static_cast<Cell>(numbers_.size() - 1));
}

RowTable::Cell RowTable::internText(std::string_view text) {
    if (text.size() >= kLongText) {
        others_.emplace_back(text);
        return make(Other, static_cast<Cell>(others_.size() - 1));
    }
    if (recentTexts_.size() < kRecentMax && texts_.size() >= recentTexts_.size() / 2) {
        // A larger table of recent texts; what the smaller one held is forgotten.
        recentTexts_.assign(std::max<std::size_t>(256, recentTexts_.size() * 2), 0);
    }
    const std::size_t slot = std::hash<std::string_view>{}(text) & (recentTexts_.size() - 1);
    if (std::uint32_t seen = recentTexts_[slot]; seen != 0 && pooledText(seen - 1) == text)
        return make(PooledText, seen - 1);

    if (chunks_.empty() || chunks_.back().size() + text.size() > std::min(chunks_.back().capacity(), kChunkMax)) {
        const std::size_t grown = chunks_.empty() ? kChunkMin : std::min(kChunkMax, chunks_.back().capacity() * 2);
        chunks_.emplace_back().reserve(std::max(grown, text.size()));
    }
    std::vector<char>& chunk = chunks_.back();
    const std::uint64_t entry = (std::uint64_t{chunks_.size() - 1} << (kOffsetBits + kLengthBits)) |
                                (std::uint64_t{chunk.size()} << kLengthBits) | text.size();
    chunk.insert(chunk.end(), text.begin(), text.end());
    texts_.push_back(entry);
    const auto id = static_cast<std::uint32_t>(texts_.size() - 1);
    recentTexts_[slot] = id + 1;
    return make(PooledText, id);
}

std::optional<std::string_view> RowTable::otherText(std::uint32_t index) const {
    if (const std::string* s = others_[index].textIf()) return std::string_view(*s);
    return std::nullopt;
}

RowTable::Cell RowTable::encode(const Variant& v) {
    switch (v.type()) {
        case Variant::Type::Empty: return make(Special, kEmptyValue);
        case Variant::Type::Null: return make(Special, kNullValue);
        case Variant::Type::Boolean: return make(Special, v.toBool() ? kTrueValue : kFalseValue);
        case Variant::Type::Integer: {
            const std::int64_t i = v.toInt64();
            return fitsSmall(i) ? make(SmallInteger, static_cast<Cell>(i)) : sideNumber(LargeInteger, static_cast<std::uint64_t>(i));
        }
        case Variant::Type::Double: return sideNumber(Double, bitsOf(v.toDouble()));
        case Variant::Type::Decimal: {
            const double d = v.toDouble();
            // Whole decimals (signs, flags, codes) fit in the cell; -0 keeps its sign aside.
            if (d == std::trunc(d) && d >= static_cast<double>(kSmallMin) && d <= static_cast<double>(kSmallMax) &&
                !(d == 0 && std::signbit(d)))
                return make(SmallDecimal, static_cast<Cell>(static_cast<std::int64_t>(d)));
            return sideNumber(Decimal, bitsOf(d));
        }
        case Variant::Type::Text: return internText(*v.textIf());
        case Variant::Type::Object: break;
    }
    others_.push_back(v);
    return make(Other, static_cast<Cell>(others_.size() - 1));
}

void RowTable::set(std::size_t row, std::size_t column, const Variant& value) {
    const Cell encoded = encode(value);
    cell(row, column) = encoded;
}

void RowTable::setInteger(std::size_t row, std::size_t column, std::int64_t value) {
    const Cell c = fitsSmall(value) ? make(SmallInteger, static_cast<Cell>(value))
                                    : sideNumber(LargeInteger, static_cast<std::uint64_t>(value));
    cell(row, column) = c;
}

void RowTable::setDouble(std::size_t row, std::size_t column, double value) {
    const Cell c = sideNumber(Double, bitsOf(value));
    cell(row, column) = c;
}

void RowTable::setDecimal(std::size_t row, std::size_t column, double value) {
    const Cell c = encode(Variant::decimal(value));
    cell(row, column) = c;
}

void RowTable::setText(std::size_t row, std::size_t column, std::string_view text) {
    const Cell c = internText(text);
    cell(row, column) = c;
}

// ---- RowTable: reading -------------------------------------------------------------------------

Variant RowTable::value(std::size_t row, std::size_t column) const {
    if (column >= columns_) return Variant::null();
    const Cell c = cellAt(row, column);
    switch (tagOf(c)) {
        case Special:
            switch (payloadOf(c)) {
                case kEmptyValue: return Variant();
                case kFalseValue: return Variant(false);
                case kTrueValue: return Variant(true);
                default: return Variant::null();
            }
        case SmallInteger: return Variant(static_cast<long long>(smallOf(c)));
        case SmallDecimal: return Variant::decimal(static_cast<double>(smallOf(c)));
        case PooledText: return Variant(pooledText(payloadOf(c)));
        case LargeInteger: return Variant(static_cast<long long>(numbers_[payloadOf(c)]));
        case Double: return Variant(doubleOf(numbers_[payloadOf(c)]));
        case Decimal: return Variant::decimal(doubleOf(numbers_[payloadOf(c)]));
        default: return others_[payloadOf(c)];
    }
}

Variant::Type RowTable::type(std::size_t row, std::size_t column) const {
    if (column >= columns_) return Variant::Type::Null;
    const Cell c = cellAt(row, column);
    switch (tagOf(c)) {
        case Special:
            switch (payloadOf(c)) {
                case kEmptyValue: return Variant::Type::Empty;
                case kFalseValue:
                case kTrueValue: return Variant::Type::Boolean;
                default: return Variant::Type::Null;
            }
        case SmallInteger:
        case LargeInteger: return Variant::Type::Integer;
        case SmallDecimal:
        case Decimal: return Variant::Type::Decimal;
        case PooledText: return Variant::Type::Text;
        case Double: return Variant::Type::Double;
        default: return others_[payloadOf(c)].type();
    }
}


}  // namespace db
