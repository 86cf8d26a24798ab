#include "balances/Amounts.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

namespace balances {

namespace {

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "1.234.567": the first group one to three digits, the others three.
bool groupedThousands(std::string_view s, std::string& digits) {
    std::size_t start = 0;
    bool first = true;
    for (;;) {
        const std::size_t dot = s.find('.', start);
        const std::string_view group = s.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (!allDigits(group) || (first ? group.size() > 3 : group.size() != 3)) return false;
        digits += group;
        if (dot == std::string_view::npos) return true;
        start = dot + 1;
        first = false;
    }
}

constexpr std::size_t kMaxIntegerDigits = 16;   // decimal(18,2)

bool daysInMonthOk(int y, int m, int d) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1900 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}

std::string iso(int y, int m, int d) {
    char out[40];
    std::snprintf(out, sizeof out, "%04d-%02d-%02d", y, m, d);
    return out;
}

// Numbers of a date split at `separator`; nothing unless every part is digits.
std::optional<std::vector<int>> dateParts(std::string_view text, char separator) {
    std::vector<int> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        const std::string_view part = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!allDigits(part) || part.size() > 4) return std::nullopt;
        int value = 0;
        std::from_chars(part.data(), part.data() + part.size(), value);
        parts.push_back(value);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    if (parts.size() != 3) return std::nullopt;
    return parts;
}

}  // namespace

ParsedAmount parseAmount(std::string_view text, std::string_view column) {
    const std::string shown = "nella colonna \"" + std::string(column) + "\": \"" + std::string(text) + "\"";
    ParsedAmount out;
    bool negative = false;
    std::string_view s = text;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    std::string digits;
    std::string_view decimals;
    const std::size_t comma = s.find(',');
    const std::size_t dots = static_cast<std::size_t>(std::count(s.begin(), s.end(), '.'));
    const bool onlyNumberCharacters = !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '.' || c == ',';
    });
    bool ok = onlyNumberCharacters;
    if (ok && comma != std::string_view::npos) {   // Italian: comma for the decimals
        decimals = s.substr(comma + 1);
        const std::string_view integer = s.substr(0, comma);
        ok = allDigits(decimals) && (dots == 0 ? allDigits(integer) && (digits = integer, true) : groupedThousands(integer, digits));
    } else if (ok && dots == 1) {
        const std::size_t dot = s.find('.');
        const std::string_view after = s.substr(dot + 1);
        if (after.size() == 3 && allDigits(after) && allDigits(s.substr(0, dot))) {
            out.problem = "Importo ambiguo " + shown + " (migliaia o decimali?): scrivere 1234 oppure 1,234";
            return out;
        }
        decimals = after;
        digits = s.substr(0, dot);
        ok = allDigits(digits) && allDigits(decimals);
    } else if (ok) {
        ok = dots == 0 ? (digits = s, allDigits(digits)) : groupedThousands(s, digits);
    }
    if (!ok) {
        out.problem = "Importo non numerico " + shown;
        return out;
    }
    if (decimals.size() > 2) {
        out.problem = "Importo con più di due decimali " + shown;
        return out;
    }
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    if (digits.size() > kMaxIntegerDigits) {
        out.problem = "Importo troppo grande " + shown;
        return out;
    }
    long long cents = 0;
    for (char c : digits) cents = cents * 10 + (c - '0');
    cents *= 100;
    if (!decimals.empty()) cents += (decimals[0] - '0') * 10 + (decimals.size() > 1 ? decimals[1] - '0' : 0);
    out.cents = negative ? -cents : cents;
    return out;
}

std::string formatAmount(long long cents) {
    const bool negative = cents < 0;
    unsigned long long value = negative ? 0ull - static_cast<unsigned long long>(cents) : static_cast<unsigned long long>(cents);
    std::string integer = std::to_string(value / 100);
    for (int i = static_cast<int>(integer.size()) - 3; i > 0; i -= 3) integer.insert(static_cast<std::size_t>(i), ".");
    char decimals[4];
    std::snprintf(decimals, sizeof decimals, "%02llu", value % 100);
    return (negative ? "-" : "") + integer + "," + decimals;
}

std::optional<std::string> isoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto parts = dateParts(text, '-');
    if (!parts || !daysInMonthOk((*parts)[0], (*parts)[1], (*parts)[2])) return std::nullopt;
    return std::string(text);
}

std::optional<std::string> dateOfCell(std::string_view text) {
    if (auto d = isoDate(text)) return d;
    if (const auto parts = dateParts(text, '/')) {
        const int d = (*parts)[0], m = (*parts)[1], y = (*parts)[2];
        if (text.size() >= 8 && daysInMonthOk(y, m, d)) return iso(y, m, d);
        return std::nullopt;
    }
    long serial = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), serial);
    if (ec != std::errc() || end != text.data() + text.size() || serial < 1 || serial > 2958465) return std::nullopt;
    // Days since 1899-12-30 (the spreadsheets' day 0 once their 1900 leap-year slip is past).
    long z = serial - 25569 + 719468;   // to days since 0000-03-01 (civil-from-days)
    const long era = z / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    if (!daysInMonthOk(y, m, d)) return std::nullopt;
    return iso(y, m, d);
}

std::string italianDate(const std::string& iso) {
    if (iso.size() != 10) return iso;
    return iso.substr(8, 2) + "/" + iso.substr(5, 2) + "/" + iso.substr(0, 4);
}

}  // namespace balances
