#pragma once
// A trial balance file (.csv or .xlsx) read through the correlation files' readers, with their
// limits against hostile files. The header names the columns, in any order, letter case aside:
//   "Conto"                      the ledger account (required)
//   "Dare" and "Avere"           the totals at the date, not negative; a blank cell is zero
//   or "Saldo"                   a signed balance: above zero Dare, below zero Avere
//   "Data"                       optional: when given, every row's date must be the import's
//   "Descrizione", "Descrizione conto"   optional, only for the reader
// Any other column is refused, so a file of another kind is not taken for a balance.

#include <filesystem>
#include <string>
#include <vector>

#include "mapping/SheetFile.h"

namespace balances {

struct FileBalance {
    int line = 0;
    std::string account;    // as the file writes it, trimmed
    long long debit = 0;    // cents
    long long credit = 0;
    std::string date;       // ISO when the file has a "Data" column and the cell is a date
    std::string problem;    // "" or why the row cannot be used (Italian)
};

struct BalanceFile {
    std::vector<FileBalance> rows;
    std::vector<std::string> fileProblems;   // the file cannot be used at all
    bool signedBalance = false;              // read from "Saldo"
};

BalanceFile readBalanceFile(const std::filesystem::path& file, const mapping::detail::ReadLimits& limits = {});

}  // namespace balances
