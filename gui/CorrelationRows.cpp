#include "gui/CorrelationRows.h"

#include <QString>
#include <algorithm>
#include <cctype>

#include "text/Text.h"

namespace gui {

namespace {

int columnOf(const kit::QueryGrid& grid, const char* field) {
    const auto& columns = grid.columns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].field == field) return static_cast<int>(i);
    return -1;
}

bool blank(const db::Variant& v) {
    if (const std::string* text = v.textIf())
        return std::all_of(text->begin(), text->end(), [](char c) { return c == ' '; });
    return v.isBlank();
}

// Letters and digits only, folded: what a code typed with or without its separators shares.
std::string codeKey(const std::string& text) {
    std::string key;
    for (char c : text)
        if (std::isalnum(static_cast<unsigned char>(c))) key += text::toLowerAscii(c);
    return key;
}

}  // namespace

CorrelationColumns::CorrelationColumns(const kit::QueryGrid& grid)
    : account(columnOf(grid, "CONTOPDC")), shownAccount(columnOf(grid, "CONTOPDCGRID")),
      description(columnOf(grid, "DESCRPDC") >= 0 ? columnOf(grid, "DESCRPDC") : columnOf(grid, "DESCRPDCGRID")), sign(columnOf(grid, "SEGNO")),
      reclassified(columnOf(grid, "CONTORICL")) {}

bool isUnmapped(const kit::QueryGrid& grid, const CorrelationColumns& columns, long row) {
    return blank(grid.cellValue(row, columns.reclassified)) || grid.isProvisionalCell(row, columns.reclassified);
}

CorrelationCounts countCorrelations(const kit::QueryGrid& grid) {
    CorrelationCounts counts;
    const CorrelationColumns columns(grid);
    if (!columns.complete()) return counts;
    const long n = grid.rowCount();
    counts.rows = n;
    std::string previous;
    for (long r = 0; r < n; ++r) {
        // An account's rows follow each other in the reading order.
        const db::Variant account = grid.cellValue(r, columns.account);
        const std::string* code = account.textIf();
        const std::string text = code ? *code : account.toText();
        if (r == 0 || text != previous) ++counts.accounts;
        previous = text;
        const db::Variant sign = grid.cellValue(r, columns.sign);
        const int s = sign.isNumeric() ? static_cast<int>(sign.toInt64()) : (sign.toText() == "2" ? 2 : 1);
        const int i = s == 2 ? 1 : 0;
        ++counts.signRows[i];
        if (!isUnmapped(grid, columns, r)) ++counts.mapped[i];
    }
    return counts;
}

std::string describeCounts(const CorrelationCounts& c) {
    if (c.rows == 0) return "Nessun conto";
    auto n = [](long v) {
        // Thousands separated with a dot, as Italian numbers are written.
        std::string digits = std::to_string(v), out;
        for (std::size_t i = 0; i < digits.size(); ++i) {
            if (i > 0 && (digits.size() - i) % 3 == 0) out += '.';
            out += digits[i];
        }
        return out;
    };
    return n(c.accounts) + (c.accounts == 1 ? " conto, " : " conti, ") + n(c.rows) + (c.rows == 1 ? " riga" : " righe") +
           " · Dare " + n(c.mapped[0]) + "/" + n(c.signRows[0]) + " · Avere " + n(c.mapped[1]) + "/" + n(c.signRows[1]);
}

long nextUnmapped(const kit::QueryGrid& grid, long from, int direction) {
    const CorrelationColumns columns(grid);
    const long n = grid.rowCount();
    if (!columns.complete() || n == 0) return -1;
    const long step = direction < 0 ? -1 : 1;
    long r = from < 0 ? (step > 0 ? -1 : n) : from;
    for (long seen = 0; seen < n; ++seen) {
        r = (r + step + n) % n;
        if (isUnmapped(grid, columns, r)) return r;
    }
    return -1;
}

std::string foldForSearch(const std::string& text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return text::toLowerAscii(text);
    const QString decomposed = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                                   .normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing) folded += c;
    return folded.toCaseFolded().toStdString();
}

bool rowMatches(const kit::QueryGrid& grid, const CorrelationColumns& columns, long row, const std::string& folded) {
    if (folded.empty()) return false;
    const std::string code = codeKey(folded);
    if (!code.empty()) {
        for (int column : {columns.account, columns.shownAccount}) {
            if (column < 0) continue;
            if (codeKey(grid.cellValue(row, column).toText()).starts_with(code)) return true;
        }
    }
    return columns.description >= 0 &&
           foldForSearch(grid.cellValue(row, columns.description).toText()).find(folded) != std::string::npos;
}

long findRow(const kit::QueryGrid& grid, long from, const std::string& text) {
    const CorrelationColumns columns(grid);
    const long n = grid.rowCount();
    const std::string folded = foldForSearch(text::trimSpaces(text));
    if (n == 0 || folded.empty()) return -1;
    long r = from < 0 ? -1 : from;
    for (long seen = 0; seen < n; ++seen) {
        r = (r + 1) % n;
        if (rowMatches(grid, columns, r, folded)) return r;
    }
    return -1;
}

}  // namespace gui
