#pragma once
// The rows of a result set or recordset in a compact form: each cell is a 32-bit handle
// (Null, Empty and Booleans tagged, small integers inline, texts an index into a pool of the
// table's own), rows laid out one after the other. A text that repeats near itself (the same
// account on its two sign rows, a code beside its grid copy) or often is stored once.
// Cells read back as Variant values; texts can also be read in place, without a copy.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "db/Variant.h"

namespace db {

// One row as an owning list of values: what is built or handed around outside a table.
using Row = std::vector<Variant>;

class RowTable;

namespace rowlayout {
// A cell: three tag bits (RowTable.cpp lists them), then 29 bits of payload. A pooled text is
// found by one 64-bit entry: chunk (24 bits), offset in the chunk (20 bits), length (20 bits).
inline constexpr unsigned kPayloadBits = 29;
inline constexpr unsigned kTextTag = 3, kOtherTag = 7;
inline constexpr unsigned kOffsetBits = 20, kLengthBits = 20;
}  // namespace rowlayout

// A row of a table, read in place. Valid while the table lives; a write to the table is
// seen through it.
class RowRef {
public:
    RowRef() = default;
    RowRef(const RowTable* table, std::size_t row) : table_(table), row_(row) {}

    std::size_t size() const;
    bool empty() const { return size() == 0; }
    std::size_t index() const { return row_; }

    Variant operator[](std::size_t column) const;
    Variant at(std::size_t column) const;   // std::out_of_range past the last column
    Variant front() const { return (*this)[0]; }
    Variant back() const { return (*this)[size() - 1]; }
    Variant::Type typeAt(std::size_t column) const;
    // The text of a Text cell, in place; nullopt for any other kind of value.
    std::optional<std::string_view> textAt(std::size_t column) const;
    Row toRow() const;

    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = Variant;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Variant;
        iterator() = default;
        iterator(const RowRef* row, std::size_t column) : row_(row), column_(column) {}
        Variant operator*() const { return (*row_)[column_]; }
        iterator& operator++() { ++column_; return *this; }
        iterator operator++(int) { iterator old = *this; ++column_; return old; }
        bool operator==(const iterator& o) const { return column_ == o.column_; }
    private:
        const RowRef* row_ = nullptr;
        std::size_t column_ = 0;
    };
    iterator begin() const { return iterator(this, 0); }
    iterator end() const { return iterator(this, size()); }

    friend bool operator==(const RowRef& a, const Row& b);

private:
    const RowTable* table_ = nullptr;
    std::size_t row_ = 0;
};

class RowTable {
public:
    RowTable() = default;
    explicit RowTable(std::size_t columns) : columns_(columns) {}

    std::size_t columns() const { return columns_; }
    std::size_t size() const { return rows_; }
    bool empty() const { return rows_ == 0; }

    // Changes the width: new cells are Null, cells past the new width are dropped.
    void setColumns(std::size_t columns);

    // Appends a row of Nulls and gives its index.
    std::size_t appendRow();
    // Appends a row of values; a longer row widens the table, a shorter one is padded with Null.
    void push_back(const Row& row);

    // Writes a cell (the row must exist; a column past the width widens the table).
    void set(std::size_t row, std::size_t column, const Variant& value);
    void setNull(std::size_t row, std::size_t column) { cell(row, column) = kNull; }
    void setInteger(std::size_t row, std::size_t column, std::int64_t value);
    void setDouble(std::size_t row, std::size_t column, double value);
    void setDecimal(std::size_t row, std::size_t column, double value);
    void setText(std::size_t row, std::size_t column, std::string_view text);

    Variant value(std::size_t row, std::size_t column) const;
    Variant::Type type(std::size_t row, std::size_t column) const;
    std::optional<std::string_view> text(std::size_t row, std::size_t column) const;

    RowRef operator[](std::size_t row) const { return RowRef(this, row); }
    RowRef at(std::size_t row) const;   // std::out_of_range past the last row
    RowRef front() const { return (*this)[0]; }
    RowRef back() const { return (*this)[rows_ - 1]; }

    // Iterates rows; each step shows the row through a RowRef the iterator holds.
    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = RowRef;
        using difference_type = std::ptrdiff_t;
        using pointer = const RowRef*;
        using reference = const RowRef&;
        iterator() = default;
        iterator(const RowTable* table, std::size_t row) : table_(table), ref_(table, row) {}
        const RowRef& operator*() const { return ref_; }
        const RowRef* operator->() const { return &ref_; }
        iterator& operator++() { ref_ = RowRef(table_, ref_.index() + 1); return *this; }
        iterator operator++(int) { iterator old = *this; ++*this; return old; }
        bool operator==(const iterator& o) const { return ref_.index() == o.ref_.index(); }
    private:
        const RowTable* table_ = nullptr;
        RowRef ref_;
    };
    iterator begin() const { return iterator(this, 0); }
    iterator end() const { return iterator(this, rows_); }

    // Bytes the table holds on the heap (cells, texts, side values), for measurements.
    std::size_t heapBytes() const;

private:
    using Cell = std::uint32_t;
    static constexpr Cell kNull = 0;

    Cell& cell(std::size_t row, std::size_t column);
    Cell cellAt(std::size_t row, std::size_t column) const {
        return blocks_[row >> kBlockShift][(row & (kBlockRows - 1)) * columns_ + column];
    }
    Cell encode(const Variant& value);
    Cell internText(std::string_view text);
    Cell sideNumber(unsigned tag, std::uint64_t bits);
    std::string_view pooledText(std::uint32_t id) const {
        using namespace rowlayout;
        const std::uint64_t e = texts_[id];
        const std::vector<char>& chunk = chunks_[e >> (kOffsetBits + kLengthBits)];
        const std::size_t offset = (e >> kLengthBits) & ((std::uint64_t{1} << kOffsetBits) - 1);
        return std::string_view(chunk.data() + offset, e & ((std::uint64_t{1} << kLengthBits) - 1));
    }
    std::optional<std::string_view> otherText(std::uint32_t index) const;

    // Rows are kept in blocks of kBlockRows, so that growing never moves the rows already read.
    static constexpr unsigned kBlockShift = 10;
    static constexpr std::size_t kBlockRows = std::size_t{1} << kBlockShift;

    std::size_t columns_ = 0;
    std::size_t rows_ = 0;
    std::vector<std::vector<Cell>> blocks_;
    // Texts: the characters in chunks that never move, each text located by one 64-bit entry.
    std::vector<std::vector<char>> chunks_;
    std::vector<std::uint64_t> texts_;
    std::vector<std::uint32_t> recentTexts_;   // hash slot -> text id + 1 (0 = free)
    std::vector<std::uint64_t> numbers_;       // large integers, doubles, fractional decimals
    std::vector<Variant> others_;              // objects and very long texts
};

inline std::size_t RowRef::size() const { return table_ ? table_->columns() : 0; }
inline Variant RowRef::operator[](std::size_t column) const { return table_->value(row_, column); }
inline Variant::Type RowRef::typeAt(std::size_t column) const { return table_->type(row_, column); }
inline std::optional<std::string_view> RowRef::textAt(std::size_t column) const { return table_->text(row_, column); }

inline std::optional<std::string_view> RowTable::text(std::size_t row, std::size_t column) const {
    using namespace rowlayout;
    if (column >= columns_) return std::nullopt;
    const Cell c = cellAt(row, column);
    const Cell payload = c & ((Cell{1} << kPayloadBits) - 1);
    if ((c >> kPayloadBits) == kTextTag) return pooledText(payload);
    if ((c >> kPayloadBits) == kOtherTag) return otherText(payload);
    return std::nullopt;
}

}  // namespace db
