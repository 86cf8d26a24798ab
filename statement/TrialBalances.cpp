#include "statement/TrialBalances.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "db/Connection.h"
#include "db/Error.h"
#include "db/SqlText.h"
#include "mapping/Rows.h"

namespace statement {

namespace {

bool isMissingTable(const db::Error& e) {
    for (const auto& item : e.items())
        if (item.sqlState == "42S02") return true;
    return false;
}

}  // namespace

TrialBalances TrialBalances::fromRows(const std::vector<Row>& rows) {
    TrialBalances out;
    // Few dates, many rows: a row's date is usually the one before.
    const std::string* last = nullptr;
    for (const auto& r : rows) {
        if (last && *last == r.date) continue;
        last = &r.date;
        auto at = std::lower_bound(out.dates_.begin(), out.dates_.end(), r.date);
        if (at == out.dates_.end() || *at != r.date) out.dates_.insert(at, r.date);
    }
    const std::size_t nd = out.dates_.size();
    std::unordered_map<std::string, std::size_t> accountIndex;
    accountIndex.reserve(rows.size() / std::max<std::size_t>(nd, 1));
    std::vector<std::size_t> accountOf;
    accountOf.reserve(rows.size());
    for (const auto& r : rows) {
        auto [it, added] = accountIndex.emplace(r.account, out.accounts_.size());
        if (added) out.accounts_.push_back(r.account);
        accountOf.push_back(it->second);
    }
    out.amounts_.assign(out.accounts_.size() * nd, 0);
    std::size_t d = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (out.dates_[d] != rows[i].date)
            d = static_cast<std::size_t>(std::lower_bound(out.dates_.begin(), out.dates_.end(), rows[i].date) -
                                         out.dates_.begin());
        out.amounts_[accountOf[i] * nd + d] += rows[i].balance;
    }
    return out;
}

TrialBalances TrialBalances::read(db::Connection& conn, const std::string& company, const std::string& chart,
                                  const std::optional<std::string>& date) {
    if (!mapping::detail::isCode(company) || !mapping::detail::isCode(chart)) return {};
    // The date is read only when all dates are; the difference is taken here: the fewer
    // values a row carries, the faster a large trial balance is read.
    std::string sql = std::string("SELECT BRV_CONTO, BRV_DARE, BRV_AVERE") + (date ? "" : ", BRV_DATA") + " FROM " +
                      kBalancesTable + " WITH(NOLOCK) WHERE BRV_DITTA = " + company + " AND BRV_PDC = " + chart;
    if (date) sql += " AND BRV_DATA = " + db::sqlQuoted(*date);
    db::RowTable rows;
    try {
        rows = mapping::detail::selectRows(conn, sql);
    } catch (const db::Error& e) {
        if (!isMissingTable(e)) throw;
        conn.Errors().Clear();
        TrialBalances none;
        none.tableMissing_ = true;
        return none;
    }
    const auto cents = [](const db::Variant& v) { return v.isNull() || v.isEmpty() ? Cents{0} : centsOf(v.toDouble()); };
    std::vector<Row> list;
    list.reserve(rows.size());
    for (auto& r : rows)
        list.push_back({mapping::detail::textOf(r[0]), date ? *date : mapping::detail::textOf(r[3]),
                        cents(r[1]) - cents(r[2])});
    return fromRows(list);
}

bool isIsoDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u})
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    const int year = std::stoi(text.substr(0, 4)), month = std::stoi(text.substr(5, 2)),
              day = std::stoi(text.substr(8, 2));
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > days[month - 1]) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return !(month == 2 && day == 29 && !leap);
}

std::string italianDate(const std::string& isoDate) {
    if (!isIsoDate(isoDate)) return isoDate;
    return isoDate.substr(8, 2) + "/" + isoDate.substr(5, 2) + "/" + isoDate.substr(0, 4);
}

}  // namespace statement
