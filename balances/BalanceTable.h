#pragma once
// The trial balances Brevanto keeps in a table of its own: per company, ledger chart and date,
// each account's Dare and Avere totals. An account's balance at a date is Dare - Avere: above
// zero a debit balance, below zero a credit balance.

namespace balances {

inline constexpr const char* kBalanceTable = "BRV_SALDI";

inline constexpr const char* kCreateBalanceTable =
    "CREATE TABLE BRV_SALDI (\n"
    "  BRV_DITTA int NOT NULL,\n"
    "  BRV_PDC smallint NOT NULL,\n"
    "  BRV_DATA nvarchar(10) NOT NULL,\n"
    "  BRV_CONTO nvarchar(10) NOT NULL,\n"
    "  BRV_DARE decimal(18,2) NOT NULL DEFAULT 0,\n"
    "  BRV_AVERE decimal(18,2) NOT NULL DEFAULT 0,\n"
    "  PRIMARY KEY (BRV_DITTA, BRV_PDC, BRV_DATA, BRV_CONTO)\n"
    ")";

}  // namespace balances
