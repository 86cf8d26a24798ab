#include "statement/Amount.h"

#include <cmath>

namespace statement {

Cents centsOf(double amount) { return static_cast<Cents>(std::llround(amount * 100.0)); }

std::string formatAmount(Cents amount) {
    const bool negative = amount < 0;
    // The magnitude as unsigned, so that the smallest value does not overflow.
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(amount)
                                            : static_cast<unsigned long long>(amount);
    const unsigned long long units = magnitude / 100, cents = magnitude % 100;
    std::string digits = std::to_string(units);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += '.';
        grouped += digits[i];
    }
    std::string out = negative ? "-" : "";
    out += grouped;
    out += ',';
    out += static_cast<char>('0' + cents / 10);
    out += static_cast<char>('0' + cents % 10);
    return out;
}

}  // namespace statement
