#pragma once
// A copy of the demo database with its own trial balances of chart 10 at two dates: the bank
// "Banca Popolare c/c" (correlated in Dare only) in debit at the year end and overdrawn at
// mid-year, the customer "Clienti esteri" (Dare only) in credit, a customer in debit and an
// invoice account correlated on both signs.

#include <string>

#include "balances/BalanceTable.h"
#include "mapping/MappingFixture.h"

namespace statementtest {

inline const std::string kBalancesDdl = std::string(balances::kCreateBalanceTable) + ";";

class BalancesTest : public mappingtest::MappingTest {
protected:
    // The demo keeps balances of its own; these tests write theirs.
    void SetUp() override {
        MappingTest::SetUp();
        rawExec("DROP TABLE BRV_SALDI;");
    }
    void addBalances() {
        rawExec(std::string(kBalancesDdl) +
                "INSERT INTO BRV_SALDI VALUES (1, 10, '2025-12-31', '1801010002', 5000, 0);"
                "INSERT INTO BRV_SALDI VALUES (1, 10, '2026-06-30', '1801010002', 1000, 2200);"
                "INSERT INTO BRV_SALDI VALUES (1, 10, '2026-06-30', '1401010002', 0, 300);"
                "INSERT INTO BRV_SALDI VALUES (1, 10, '2026-06-30', '1401010001', 12345.67, 0);"
                "INSERT INTO BRV_SALDI VALUES (1, 10, '2026-06-30', '1801010001', 100, 50.5);"
                "INSERT INTO BRV_SALDI VALUES (1, 10, '2026-06-30', '2602010001', 0, 700);"
                // Another company's and another chart's balances never show.
                "INSERT INTO BRV_SALDI VALUES (2, 10, '2026-06-30', '1401010001', 999, 0);"
                "INSERT INTO BRV_SALDI VALUES (1, 80, '2026-09-30', '1401010001', 999, 0);");
    }
};

}  // namespace statementtest
