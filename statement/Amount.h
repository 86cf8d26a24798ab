#pragma once
// Amounts of the statement: whole cents, so that sums never drift, written the Italian way.

#include <cstdint>
#include <string>

namespace statement {

using Cents = std::int64_t;

// A decimal amount as the database returns it, rounded to the cent.
Cents centsOf(double amount);
// "1.234,56", "-0,50", "0,00".
std::string formatAmount(Cents amount);
// The amount as a number for a spreadsheet cell.
inline double amountValue(Cents amount) { return static_cast<double>(amount) / 100.0; }

}  // namespace statement
