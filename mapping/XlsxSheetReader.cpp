#include "mapping/XlsxSheetReader.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "mapping/XlsxArchive.h"

namespace mapping::detail {

namespace {

constexpr std::size_t kMaxColumns = kMaxSheetColumns;
constexpr long kMaxRows = kMaxSheetRows;

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Characters XML cannot carry are stored as _xHHHH_ (a UTF-16 unit); "_x005F_" escapes an underscore.
void decodeEscapes(std::string& s) {
    if (s.find("_x") == std::string::npos) return;
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        unsigned unit = 0;
        if (s.compare(i, 2, "_x") == 0 && i + 7 <= s.size() && s[i + 6] == '_' &&
            std::from_chars(s.data() + i + 2, s.data() + i + 6, unit, 16).ptr == s.data() + i + 6) {
            appendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? U'\uFFFD' : static_cast<char32_t>(unit));
            i += 7;
        } else {
            out += s[i++];
        }
    }
    s.swap(out);
}

// A number as its shortest text that reads back as the same value: "1010", "1.5".
void shortestNumber(std::string& s) {
    if (!s.empty() && s.size() <= 15 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; })) return;
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) return;   // not a number: kept as written
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (written.ec == std::errc()) s.assign(buffer, written.ptr);
}

// "C5" -> column 2, row 5; false when the reference is not one a sheet can have.
bool parseReference(std::string_view ref, std::size_t& column, long& row) {
    std::size_t i = 0, col = 0;
    for (; i < ref.size() && i < 4; ++i) {
        char c = ref[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') break;
        col = col * 26 + static_cast<std::size_t>(c - 'A' + 1);
    }
    if (i == 0 || col > kMaxColumns) return false;
    long r = 0;
    const auto [end, ec] = std::from_chars(ref.data() + i, ref.data() + ref.size(), r);
    if (ec != std::errc() || end != ref.data() + ref.size() || r < 1 || r > kMaxRows) return false;
    column = col - 1;
    row = r;
    return true;
}

// An attribute as quoted in a message: a hostile file's value may be anything, and long.
std::string shown(const char* value) {
    std::string s(value);
    if (s.size() <= 20) return "\"" + s + "\"";
    std::size_t cut = 20;
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
    return "\"" + s.substr(0, cut) + "…\"";
}

bool parseRow(std::string_view text, long& row) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), row);
    return ec == std::errc() && end == text.data() + text.size() && row >= 1 && row <= kMaxRows;
}

// xl/workbook.xml: the relationship id of the first sheet.
struct WorkbookHandler : XmlHandler {
    std::string firstSheet;
    void start(std::string_view name, const char** attributes) override {
        if (name != "sheet") return;
        if (const char* id = attribute(attributes, "id")) firstSheet = id;
        done = true;
    }
    void end(std::string_view) override {}
};

// A .rels part: targets by id, and the shared strings' target.
struct RelationshipsHandler : XmlHandler {
    std::map<std::string, std::string> targets;
    std::string sharedStrings;
    void start(std::string_view name, const char** attributes) override {
        if (name != "Relationship") return;
        const char* id = attribute(attributes, "Id");
        const char* target = attribute(attributes, "Target");
        const char* type = attribute(attributes, "Type");
        if (!id || !target) return;
        targets[id] = target;
        if (type && std::string_view(type).ends_with("/sharedStrings")) sharedStrings = target;
    }
    void end(std::string_view) override {}
};

// The shared strings of a workbook, kept end to end in one buffer.
class SharedStrings {
public:
    std::size_t size() const { return ends_.size(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(text_).substr(begin, ends_[i] - begin);
    }
    void add(const std::string& s) {
        text_ += s;
        ends_.push_back(text_.size());
    }

private:
    std::string text_;
    std::vector<std::size_t> ends_;
};

// xl/sharedStrings.xml: each <si>'s text, its rich-text runs joined, phonetic hints left out.
// No sheet can use more strings than it has cells; a part listing more is refused.
struct SharedStringsHandler : XmlHandler {
    static constexpr std::size_t kMaxStrings = 16u * 1024 * 1024;
    SharedStrings strings;
    std::string current;
    bool inItem = false, inText = false;
    int phonetic = 0;
    void start(std::string_view name, const char**) override {
        if (name == "si") {
            current.clear();
            inItem = true;
        } else if (name == "rPh") {
            ++phonetic;
        } else if (name == "t") {
            inText = inItem && phonetic == 0;
        }
    }
    void end(std::string_view name) override {
        if (name == "si" && inItem) {
            if (strings.size() == kMaxStrings) {
                failure = "i testi condivisi sono più di quanti un foglio ne possa usare";
                return;
            }
            decodeEscapes(current);
            strings.add(current);
            inItem = false;
        } else if (name == "rPh") {
            --phonetic;
        } else if (name == "t") {
            inText = false;
        }
    }
    void text(std::string_view s) override {
        if (inText) current.append(s);
    }
};

// A worksheet: each <row>'s cells, handed to the table when the row ends.
class SheetHandler : public XmlHandler {
public:
    SheetHandler(const SharedStrings& shared, SheetTable& table) : shared_(shared), table_(table) {}

    void start(std::string_view name, const char** attributes) override {
        if (name == "row") startRow(attributes);
        else if (name == "c") startCell(attributes);
        else if (!inCell_) return;
        else if (name == "v") target_ = &value_;
        else if (name == "f") formula_ = true;
        else if (name == "rPh") ++phonetic_;
        else if (name == "t" && phonetic_ == 0) target_ = &inline_;
    }

    void end(std::string_view name) override {
        if (name == "v" || name == "t") target_ = nullptr;
        else if (name == "rPh") --phonetic_;
        else if (name == "c" && inCell_) endCell();
        else if (name == "row" && inRow_) endRow();
    }

    void text(std::string_view s) override {
        if (target_) target_->append(s);
    }

private:
    void startRow(const char** attributes) {
        const char* r = attribute(attributes, "r");
        long number = row_ + 1;
        if (r && !parseRow(r, number)) {
            failure = "numero di riga non valido (" + shown(r) + ")";
            return;
        }
        if (!r && number > kMaxRows) {
            failure = "il foglio ha più righe di quante Excel ne ammetta";
            return;
        }
        if (number <= row_) {   // each row once, in order, as every spreadsheet program writes them
            failure = "la riga " + std::to_string(number) + " segue la riga " + std::to_string(row_);
            return;
        }
        row_ = number;
        column_ = kMaxColumns;   // "before the first"
        cellCount_ = 0;
        const std::size_t keep = table_.cellsToKeep(kMaxColumns);
        if (cells_.size() > keep) cells_.resize(keep);
        for (auto& c : cells_) {
            c.text.clear();
            c.formula = false;
        }
        inRow_ = true;
    }

    void startCell(const char** attributes) {
        if (!inRow_) return;
        const char* r = attribute(attributes, "r");
        std::size_t column = column_ == kMaxColumns ? 0 : column_ + 1;
        long row = row_;
        if (r && !parseReference(r, column, row)) {
            failure = "riferimento di cella non valido (" + shown(r) + ")";
            return;
        }
        if (!r && column >= kMaxColumns) {
            failure = "la riga " + std::to_string(row_) + " ha più colonne di quante Excel ne ammetta";
            return;
        }
        column_ = column;
        const char* t = attribute(attributes, "t");
        type_ = t ? t : "n";
        value_.clear();
        inline_.clear();
        formula_ = false;
        phonetic_ = 0;
        inCell_ = true;
    }

    void endCell() {
        inCell_ = false;
        target_ = nullptr;
        std::string* text = &value_;
        if (type_ == "s") {
            std::size_t index = 0;
            const auto [end, ec] = std::from_chars(value_.data(), value_.data() + value_.size(), index);
            if (ec != std::errc() || end != value_.data() + value_.size() || index >= shared_.size()) {
                failure = "la cella della riga " + std::to_string(row_) + " rimanda a un testo condiviso inesistente";
                return;
            }
            value_.assign(shared_[index]);
        } else if (type_ == "inlineStr") {
            decodeEscapes(inline_);
            text = &inline_;
        } else if (type_ == "b") {
            value_ = value_ == "1" ? "VERO" : value_ == "0" ? "FALSO" : value_;
        } else if (type_ == "str") {
            decodeEscapes(value_);
        } else if (type_ == "n") {
            shortestNumber(value_);
        }
        if (text->empty() && !formula_) return;
        cellCount_ = std::max(cellCount_, column_ + 1);
        if (column_ >= table_.cellsToKeep(kMaxColumns)) return;
        if (cells_.size() <= column_) cells_.resize(column_ + 1);
        cells_[column_].text.swap(*text);
        cells_[column_].formula = formula_;
    }

    void endRow() {
        inRow_ = false;
        if (!table_.addRow(static_cast<int>(row_), cells_, cellCount_)) done = true;
    }

    const SharedStrings& shared_;
    SheetTable& table_;
    std::vector<RawCell> cells_;
    std::size_t cellCount_ = 0;
    long row_ = 0;
    std::size_t column_ = 0;
    std::string type_, value_, inline_;
    std::string* target_ = nullptr;
    bool inRow_ = false, inCell_ = false, formula_ = false;
    int phonetic_ = 0;
};

// A relationship target as a part name: relative to xl/, or absolute from the archive's root.
std::string partName(const std::string& target) {
    if (target.starts_with('/')) return target.substr(1);
    return "xl/" + target;
}

}  // namespace

void readXlsx(const std::filesystem::path& file, std::uint64_t maxPartBytes, SheetTable& table) {
    try {
        XlsxArchive archive(file, maxPartBytes);
        WorkbookHandler workbook;
        archive.parse("xl/workbook.xml", workbook);
        if (workbook.firstSheet.empty()) throw XlsxError("la cartella di lavoro non contiene fogli");
        RelationshipsHandler relationships;
        archive.parse("xl/_rels/workbook.xml.rels", relationships);
        const auto sheet = relationships.targets.find(workbook.firstSheet);
        if (sheet == relationships.targets.end()) throw XlsxError("il primo foglio non ha una parte nell'archivio");
        SharedStringsHandler shared;
        const std::string sharedPart =
            relationships.sharedStrings.empty() ? "xl/sharedStrings.xml" : partName(relationships.sharedStrings);
        if (archive.has(sharedPart)) archive.parse(sharedPart, shared);
        SheetHandler rows(shared.strings, table);
        archive.parse(partName(sheet->second), rows);
    } catch (const XlsxError& e) {
        table.addFileProblem(std::string("Il file non è un file Excel (.xlsx) leggibile: ") + e.what() + ".");
    } catch (const std::bad_alloc&) {
        table.addFileProblem("Il file non è un file Excel (.xlsx) leggibile: memoria insufficiente.");
    }
}

}  // namespace mapping::detail
