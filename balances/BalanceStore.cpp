#include "balances/BalanceStore.h"

#include <cmath>

#include "balances/BalanceTable.h"
#include "db/Connection.h"
#include "db/SqlText.h"
#include "mapping/Rows.h"

namespace balances {

using mapping::detail::selectRows;
using mapping::detail::textOf;

namespace {

long long centsOfValue(const db::Variant& v) { return v.isNull() || v.isEmpty() ? 0 : centsOf(v.toDouble()); }

}  // namespace

long long centsOf(double value) { return std::llround(value * 100.0); }

bool balanceTableExists(db::Connection& conn) {
    try {
        selectRows(conn, "SELECT COUNT(*) FROM BRV_SALDI WHERE 1 = 0");
        return true;
    } catch (const db::Error&) {
        conn.Errors().Clear();
        return false;
    }
}

void ensureBalanceTable(db::Connection& conn) {
    if (!balanceTableExists(conn)) conn.Execute(kCreateBalanceTable);
}

StoredBalance readStoredBalance(db::Connection& conn, const BalanceTarget& target) {
    StoredBalance out;
    if (!balanceTableExists(conn)) return out;
    const auto rows = selectRows(conn, "SELECT BRV_CONTO, BRV_DARE, BRV_AVERE FROM BRV_SALDI WHERE BRV_DITTA = " +
                                           std::to_string(target.company) + " AND BRV_PDC = " + std::to_string(target.chart) +
                                           " AND BRV_DATA = " + db::sqlQuoted(target.date));
    for (const auto& r : rows) out[textOf(r[0])] = {centsOfValue(r[1]), centsOfValue(r[2])};
    return out;
}

std::vector<KeptBalance> listBalances(db::Connection& conn, int company, std::optional<int> chart) {
    std::vector<KeptBalance> out;
    if (!balanceTableExists(conn)) return out;
    std::string sql = "SELECT BRV_PDC, BRV_DATA, COUNT(*), SUM(BRV_DARE), SUM(BRV_AVERE) FROM BRV_SALDI WHERE BRV_DITTA = " +
                      std::to_string(company);
    if (chart) sql += " AND BRV_PDC = " + std::to_string(*chart);
    sql += " GROUP BY BRV_PDC, BRV_DATA ORDER BY BRV_PDC, BRV_DATA";
    for (const auto& r : selectRows(conn, sql))
        out.push_back({mapping::detail::intOf(r[0], 0), textOf(r[1]), static_cast<long>(mapping::detail::intOf(r[2], 0)),
                       centsOfValue(r[3]), centsOfValue(r[4])});
    return out;
}

}  // namespace balances
