#pragma once
// Amounts and dates as an Italian trial balance writes them.
//
// Amounts are kept in cents. Accepted: "1.234,56" and "1234,56" (comma for the decimals, dots
// grouping thousands by three), "1234.56" and "1234.5" (a single dot followed by one or two
// digits: the decimals, as a spreadsheet's number cell reads), "1.234.567" (thousands only),
// a leading "-" or "+". Refused: more than two decimals, "1.234" (a thousand, or one and a
// bit? the user must say), letters, spaces inside, more than 16 integer digits.

#include <optional>
#include <string>
#include <string_view>

namespace balances {

struct ParsedAmount {
    std::optional<long long> cents;   // nothing when refused
    std::string problem;              // why, in Italian, naming `column`
};
ParsedAmount parseAmount(std::string_view text, std::string_view column);

// "1.234,56", "-0,50".
std::string formatAmount(long long cents);

// A date "AAAA-MM-GG" that exists; nothing otherwise.
std::optional<std::string> isoDate(std::string_view text);
// A date cell: "GG/MM/AAAA", "AAAA-MM-GG", or a spreadsheet's date serial ("46022"); the ISO
// date, or nothing.
std::optional<std::string> dateOfCell(std::string_view text);
// "AAAA-MM-GG" shown as "GG/MM/AAAA".
std::string italianDate(const std::string& iso);

}  // namespace balances
