#pragma once
// An .xlsx workbook read back by a reader independent of the writer (openpyxl, from Debian's
// python3-openpyxl, run by support/read_xlsx.py), so that a test compares what a spreadsheet
// program would find in the file.

#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/TestSupport.h"

namespace testsupport {

struct SheetContent {
    std::string title;
    std::string freeze;                    // first unfrozen cell ("" when nothing is frozen)
    std::string filter;                    // autofilter range ("" when none)
    std::map<std::string, double> widths;  // by column letter, columns given a width only
    std::set<std::string> bold;            // cells in bold ("A1")
    std::vector<std::vector<nlohmann::json>> rows;

    // The cell's text ("" for an empty cell or one past the row's end).
    std::string text(std::size_t row, std::size_t col) const {
        if (row >= rows.size() || col >= rows[row].size() || rows[row][col].is_null()) return "";
        const auto& v = rows[row][col];
        return v.is_string() ? v.get<std::string>() : v.dump();
    }
    // The 0-based row whose first cell is `text`, -1 when none.
    long rowOf(const std::string& text) const {
        for (std::size_t r = 0; r < rows.size(); ++r)
            if (this->text(r, 0) == text) return static_cast<long>(r);
        return -1;
    }
};

// Every sheet of the workbook. `valuesOnly` reads in streaming mode (large sheets): titles
// and rows only. Throws std::runtime_error with the reader's complaint when the file is not
// a workbook it can read.
inline std::vector<SheetContent> readXlsx(const std::filesystem::path& file, bool valuesOnly = false) {
    const auto script = testData("support/read_xlsx.py");
    auto r = runCommand("/usr/bin/python3 '" + script.string() + "' " + (valuesOnly ? "--values-only " : "") + "'" +
                        file.string() + "'");
    if (r.exitCode != 0) throw std::runtime_error("the workbook cannot be read: " + r.err);
    const auto doc = nlohmann::json::parse(r.out);
    std::vector<SheetContent> sheets;
    for (const auto& s : doc.at("sheets")) {
        SheetContent c;
        c.title = s.at("title").get<std::string>();
        if (s.contains("freeze") && s["freeze"].is_string()) c.freeze = s["freeze"].get<std::string>();
        if (s.contains("filter") && s["filter"].is_string()) c.filter = s["filter"].get<std::string>();
        if (s.contains("widths"))
            for (const auto& [col, w] : s["widths"].items()) c.widths[col] = w.get<double>();
        if (s.contains("bold"))
            for (const auto& cell : s["bold"]) c.bold.insert(cell.get<std::string>());
        for (const auto& row : s.at("rows")) c.rows.emplace_back(row.begin(), row.end());
        sheets.push_back(std::move(c));
    }
    return sheets;
}

}  // namespace testsupport
