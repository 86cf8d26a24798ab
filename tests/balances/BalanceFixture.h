#pragma once
// A demo database of its own per test (with the demo's trial balances of chart 10), and
// balance files written as text.

#include <string>

#include "balances/BalanceImport.h"
#include "mapping/MappingFixture.h"
#include "mapping/SheetFiles.h"

namespace balancetest {

inline constexpr const char* kDate = "2026-12-31";   // no demo balance at this date

class BalanceTest : public mappingtest::MappingTest {
protected:
    // A .csv with these lines (CRLF added), as Italian Excel writes it.
    std::filesystem::path csv(const std::string& name, const std::string& lines) {
        auto file = dir.path() / name;
        std::string bytes = "\xEF\xBB\xBF";
        std::size_t start = 0;
        while (start < lines.size()) {
            std::size_t end = lines.find('\n', start);
            if (end == std::string::npos) end = lines.size();
            bytes += lines.substr(start, end - start) + "\r\n";
            start = end + 1;
        }
        mappingtest::writeBytes(file, bytes);
        return file;
    }
    balances::BalancePreview preview(const std::filesystem::path& file, const std::string& date = kDate) {
        return balances::previewBalanceImport(*conn, file, {1, 10, date});
    }
    // The rows stored at a date: "account D/A" for each, sorted, or the count only.
    long storedRows(const std::string& date = kDate) const {
        const std::string n = scalar("SELECT COUNT(*) FROM BRV_SALDI WHERE BRV_DITTA = 1 AND BRV_PDC = 10 AND BRV_DATA = '" + date + "'");
        return n.empty() || n.starts_with('<') ? -1 : std::stol(n);
    }
    std::string storedAmounts(const std::string& account, const std::string& date = kDate) const {
        return scalar("SELECT printf('%.2f/%.2f', BRV_DARE, BRV_AVERE) FROM BRV_SALDI WHERE BRV_DITTA = 1 AND BRV_PDC = 10 AND "
                      "BRV_DATA = '" + date + "' AND BRV_CONTO = '" + account + "'");
    }
    static const balances::BalanceRow* rowOfLine(const balances::BalancePreview& p, int line) {
        for (const auto& r : p.rows)
            if (r.line == line) return &r;
        return nullptr;
    }
};

}  // namespace balancetest
