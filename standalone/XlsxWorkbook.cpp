#include "standalone/XlsxWorkbook.h"

#include <algorithm>

#include <xlsxwriter.h>

#include "standalone/FileReplacement.h"

namespace standalone {

namespace {

std::string quoted(const std::filesystem::path& p) { return "\"" + p.string() + "\""; }

// 1048576 -> "1.048.576"
std::string grouped(std::size_t n) {
    std::string digits = std::to_string(n), out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += '.';
        out += digits[i];
    }
    return out;
}

std::string libraryReason(lxw_error e) {
    switch (e) {
        case LXW_ERROR_MEMORY_MALLOC_FAILED: return "memoria insufficiente";
        case LXW_ERROR_CREATING_TMPFILE:
            return "impossibile creare i file temporanei in " + quoted(std::filesystem::temp_directory_path());
        case LXW_ERROR_CREATING_XLSX_FILE:
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
        case LXW_ERROR_ZIP_PARAMETER_ERROR:
        case LXW_ERROR_ZIP_BAD_ZIP_FILE:
        case LXW_ERROR_ZIP_INTERNAL_ERROR: return "scrittura interrotta (spazio su disco esaurito?)";
        default: return std::string("errore della libreria di scrittura (") + lxw_strerror(e) + ")";
    }
}

// A text as a cell can hold it: bytes that are not UTF-8 become U+FFFD and the text is cut,
// on a character boundary, at the length a cell allows. Counts its characters for the
// column width. The pointer stays valid until the next call.
class CellText {
public:
    const char* operator()(const std::string& s, std::size_t& chars) {
        if (plain(s, chars)) return s.c_str();
        repair(s, chars);
        return scratch_.c_str();
    }

private:
    // Excel's limit of a cell, which libxlsxwriter checks in bytes.
    static constexpr std::size_t kMaxBytes = 32767;

    // Length of the well-formed UTF-8 sequence at s[i], 0 when there is none.
    static std::size_t sequence(const std::string& s, std::size_t i) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
        const unsigned char c = byte(i);
        if (c < 0x80) return 1;
        std::size_t len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        if (len == 0 || i + len > s.size()) return 0;
        unsigned char lo = 0x80, hi = 0xBF;   // bounds of the second byte
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;             // no surrogates
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
        if (byte(i + 1) < lo || byte(i + 1) > hi) return 0;
        for (std::size_t k = 2; k < len; ++k)
            if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
        return len;
    }

    // True when `s` can be written as it is.
    static bool plain(const std::string& s, std::size_t& chars) {
        if (s.size() > kMaxBytes) return false;
        chars = 0;
        for (std::size_t i = 0; i < s.size(); ++chars) {
            if (static_cast<unsigned char>(s[i]) < 0x80) {
                ++i;
                continue;
            }
            std::size_t len = sequence(s, i);
            if (len == 0) return false;
            i += len;
        }
        return true;
    }

    void repair(const std::string& s, std::size_t& chars) {
        static constexpr char kReplacement[] = "\xEF\xBF\xBD";
        scratch_.clear();
        chars = 0;
        for (std::size_t i = 0; i < s.size(); ++chars) {
            std::size_t len = sequence(s, i);
            const char* piece = len ? s.data() + i : kReplacement;
            std::size_t pieceLen = len ? len : 3;
            if (scratch_.size() + pieceLen > kMaxBytes) break;
            scratch_.append(piece, pieceLen);
            i += len ? len : 1;
        }
    }

    std::string scratch_;
};

// Writes cells and keeps each column's widest text.
class SheetWriter {
public:
    explicit SheetWriter(lxw_worksheet* sheet) : sheet_(sheet) {}

    void text(std::size_t row, std::size_t col, const std::string& s, lxw_format* format = nullptr, std::size_t extra = 0) {
        widen(col, write(row, col, s, format) + extra);
    }
    // A text that may run on over the next cells (the title): it does not size its column.
    void heading(std::size_t row, std::size_t col, const std::string& s, lxw_format* format) { write(row, col, s, format); }

    void value(std::size_t row, std::size_t col, const db::Variant& v) {
        if (const std::string* s = v.textIf()) {
            text(row, col, *s);
            return;
        }
        const auto r = static_cast<lxw_row_t>(row);
        const auto c = static_cast<lxw_col_t>(col);
        switch (v.type()) {
            case db::Variant::Type::Integer:
            case db::Variant::Type::Double:
            case db::Variant::Type::Decimal:
                check(worksheet_write_number(sheet_, r, c, v.toDouble(), nullptr));
                widen(col, v.toText().size());
                return;
            case db::Variant::Type::Boolean:
                check(worksheet_write_boolean(sheet_, r, c, v.toBool(), nullptr));
                widen(col, 5);
                return;
            default: return;   // Empty, Null, objects: a blank cell
        }
    }

    void applyWidths() {
        for (std::size_t c = 0; c < widths_.size(); ++c) {
            const double w = std::clamp(static_cast<double>(widths_[c]) + 2.0, 8.0, 60.0);
            check(worksheet_set_column(sheet_, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), w, nullptr));
        }
    }

    lxw_error error() const { return error_; }

private:
    // Returns the characters written.
    std::size_t write(std::size_t row, std::size_t col, const std::string& s, lxw_format* format) {
        std::size_t chars = 0;
        const char* cell = cellText_(s, chars);
        check(worksheet_write_string(sheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), cell, format));
        return chars;
    }
    void widen(std::size_t col, std::size_t chars) {
        if (widths_.size() <= col) widths_.resize(col + 1, 0);
        widths_[col] = std::max(widths_[col], chars);
    }
    void check(lxw_error e) {
        if (e != LXW_NO_ERROR && error_ == LXW_NO_ERROR) error_ = e;
    }

    lxw_worksheet* sheet_;
    CellText cellText_;
    std::vector<std::size_t> widths_;
    lxw_error error_ = LXW_NO_ERROR;
};

std::size_t rowsNeeded(const std::string& title, const std::vector<ExportSection>& sections) {
    std::size_t n = title.empty() ? 0 : 2;
    for (const auto& s : sections)
        n += (s.kind == ExportSection::Kind::Master ? s.captions.size() : 1 + s.rows.size()) + 1;
    return sections.empty() ? n : n - 1;   // no blank row after the last section
}

// Lays the sections out on the sheet.
lxw_error fillSheet(lxw_workbook* wb, lxw_worksheet* sheet, const std::string& title,
                    const std::vector<ExportSection>& sections) {
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    SheetWriter out(sheet);
    std::size_t row = 0;
    if (!title.empty()) {
        out.heading(row, 0, title, bold);
        row += 2;
    }
    bool tableDone = false;
    for (const auto& s : sections) {
        if (s.kind == ExportSection::Kind::Master) {
            for (std::size_t i = 0; i < s.captions.size(); ++i, ++row) {
                out.text(row, 0, s.captions[i], bold, 1);
                if (i < s.values.size()) out.value(row, 1, s.values[i]);
            }
        } else {
            const std::size_t header = row;
            for (std::size_t c = 0; c < s.captions.size(); ++c) out.text(row, c, s.captions[c], bold, 1);
            ++row;
            for (const auto& r : s.rows) {
                for (std::size_t c = 0; c < r.size(); ++c) out.value(row, c, r[c]);
                ++row;
            }
            if (!tableDone && !s.captions.empty()) {
                // Both go into the sheet's closing parts, so they may follow the rows.
                worksheet_freeze_panes(sheet, static_cast<lxw_row_t>(header + 1), 0);
                worksheet_autofilter(sheet, static_cast<lxw_row_t>(header), 0, static_cast<lxw_row_t>(row - 1),
                                     static_cast<lxw_col_t>(s.captions.size() - 1));
                tableDone = true;
            }
        }
        ++row;   // a blank row between sections
    }
    out.applyWidths();
    return out.error();
}

}  // namespace

void writeWorkbook(const std::filesystem::path& file, const std::string& title,
                   const std::vector<ExportSection>& sections) {
    const std::size_t rows = rowsNeeded(title, sections);
    if (rows > kSheetRowLimit)
        failToWrite(file, "un foglio Excel contiene al massimo " + grouped(kSheetRowLimit) + " righe e l'esportazione ne richiede " +
                       grouped(rows));
    FileReplacement target(file);

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    std::string tmp = std::filesystem::temp_directory_path().string();
    options.tmpdir = tmp.data();
    lxw_workbook* wb = workbook_new_opt(target.temp().c_str(), &options);
    if (!wb) failToWrite(file, "impossibile preparare la cartella di lavoro");
    std::string docTitle = title;
    lxw_doc_properties properties{};
    properties.title = docTitle.data();
    workbook_set_properties(wb, &properties);
    lxw_worksheet* sheet = workbook_add_worksheet(wb, kExportSheetName);
    const lxw_error cellError = sheet ? fillSheet(wb, sheet, title, sections) : LXW_ERROR_MEMORY_MALLOC_FAILED;
    const lxw_error closeError = workbook_close(wb);
    if (cellError != LXW_NO_ERROR) failToWrite(file, libraryReason(cellError));
    if (closeError != LXW_NO_ERROR) failToWrite(file, libraryReason(closeError));
    target.commit();
}

}  // namespace standalone
