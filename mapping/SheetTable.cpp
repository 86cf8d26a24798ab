#include "mapping/SheetTable.h"

#include <algorithm>
#include <string_view>

#include "text/Text.h"

namespace mapping::detail {

namespace {

// Blanks trimmed at both ends: spaces, tabs and no-break spaces (U+00A0, as pasted from web pages).
std::string_view trimmed(std::string_view s) {
    for (;;) {
        if (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
        else if (s.size() >= 2 && s[0] == '\xC2' && s[1] == '\xA0') s.remove_prefix(2);
        else break;
    }
    for (;;) {
        if (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
        else if (s.size() >= 2 && s[s.size() - 2] == '\xC2' && s.back() == '\xA0') s.remove_suffix(2);
        else break;
    }
    return s;
}

std::string quotedList(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& n : names) out += (out.empty() ? "\"" : ", \"") + n + "\"";
    return out;
}

// A, B, …, Z, AA, …
std::string columnLetters(std::size_t index) {
    std::string letters;
    for (std::size_t n = index + 1; n > 0; n = (n - 1) / 26) letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

void addProblem(std::string& problems, const std::string& problem) {
    if (!problems.empty()) problems += "; ";
    problems += problem;
}

}  // namespace

bool SheetTable::addRow(int line, const std::vector<RawCell>& cells, std::size_t cellCount) {
    const std::size_t given = std::min(cellCount, cells.size());
    const bool blank = cellCount <= cells.size() && std::all_of(cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(given),
                                   [](const RawCell& c) { return !c.formula && trimmed(c.text).empty(); });
    if (blank) return true;
    if (!hasHeader()) return takeHeader(line, cells, given);
    takeRow(line, cells, cellCount);
    return true;
}

bool SheetTable::takeHeader(int line, const std::vector<RawCell>& cells, std::size_t cellCount) {
    std::vector<std::size_t> seen(layout_.size());
    std::vector<std::string> missing, unknown, repeated;
    columnOfField_.assign(layout_.size(), kMaxSheetColumns);
    unnamedColumn_.assign(cellCount, false);
    for (std::size_t col = 0; col < cellCount; ++col) {
        const std::string_view name = trimmed(cells[col].text);
        if (name.empty()) {
            unnamedColumn_[col] = true;
            continue;
        }
        const auto known = std::find_if(layout_.begin(), layout_.end(), [&](const SheetColumn& c) { return text::equalsIgnoreCaseAscii(c.name, name); });
        if (known == layout_.end()) {
            unknown.emplace_back(name);
            continue;
        }
        const auto field = static_cast<std::size_t>(known - layout_.begin());
        if (seen[field]++ == 1) repeated.emplace_back(known->name);
        columnOfField_[field] = col;
    }
    result_.present.assign(layout_.size(), false);
    bool allRequired = true;
    for (std::size_t f = 0; f < layout_.size(); ++f) {
        result_.present[f] = seen[f] > 0;
        allRequired = allRequired && layout_[f].required;
        if (seen[f] == 0 && layout_[f].required) missing.emplace_back(layout_[f].name);
    }
    if (missing.empty() && unknown.empty() && repeated.empty()) {
        headerWidth_ = cellCount;
        return true;
    }
    std::string problem;
    if (!missing.empty()) problem += "Colonne mancanti: " + quotedList(missing);
    if (!unknown.empty()) problem += std::string(problem.empty() ? "Colonne" : "; colonne") + " in più: " + quotedList(unknown);
    if (!repeated.empty()) problem += std::string(problem.empty() ? "Colonne" : "; colonne") + " ripetute: " + quotedList(repeated);
    std::vector<std::string> names;
    for (const auto& c : layout_) names.emplace_back(c.name);
    addFileProblem("Intestazione non valida (riga " + std::to_string(line) + "): " + problem +
                   (allRequired ? ". Le colonne devono essere: " : ". Le colonne ammesse sono: ") + quotedList(names) + ".");
    return false;
}

void SheetTable::takeRow(int line, const std::vector<RawCell>& cells, std::size_t cellCount) {
    TableRow& row = result_.rows.emplace_back();
    row.line = line;
    row.cells.resize(layout_.size());
    if (exactCellCount_ ? cellCount != headerWidth_ : cellCount > headerWidth_)
        addProblem(row.problem, "La riga ha " + std::to_string(cellCount) + " celle, l'intestazione " + std::to_string(headerWidth_));
    for (std::size_t f = 0; f < layout_.size(); ++f) {
        const std::size_t col = columnOfField_[f];
        if (col >= cells.size() || col >= cellCount) continue;
        const RawCell& cell = cells[col];
        const std::string_view text = trimmed(cell.text);
        row.cells[f] = text;
        const auto column = [&] { return std::string(" nella colonna \"") + layout_[f].name + "\""; };
        if (text.find('\0') != std::string_view::npos) {
            addProblem(row.problem, "Carattere nullo" + column());
        } else if (!layout_[f].freeText) {
            if (cell.formula || text.starts_with('='))
                addProblem(row.problem, "Formula non ammessa" + column());
            else if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
                addProblem(row.problem, "Carattere di controllo (a capo, tabulazione…)" + column());
        }
    }
    for (std::size_t col = 0; col < unnamedColumn_.size() && col < cells.size() && col < cellCount; ++col)
        if (unnamedColumn_[col] && !trimmed(cells[col].text).empty())
            addProblem(row.problem, "Valore nella colonna " + columnLetters(col) + ", che non ha intestazione");
}

TableContent SheetTable::finish() {
    if (!hasHeader() && result_.fileProblems.empty())
        addFileProblem("Il file non contiene la riga di intestazione: è vuoto o contiene solo righe vuote.");
    if (!result_.fileProblems.empty()) result_.rows.clear();   // a file with problems is not used in part
    return std::move(result_);
}

}  // namespace mapping::detail
