#include "mapping/ChartData.h"

#include "apps/cli/WorkingRows.h"
#include "statements/CorrelationStatements.h"
#include "mapping/Rows.h"
#include "text/Mask.h"
#include "text/Text.h"

namespace mapping {

using detail::intOf;
using detail::selectRows;
using detail::textOf;

namespace {

const std::string kNone;

// The accounts of a PC01 chart (reclassification or analytic) with level and type.
std::unordered_map<std::string, ReclAccount> readChartAccounts(db::Connection& conn, const std::string& chart) {
    std::unordered_map<std::string, ReclAccount> out;
    if (!detail::isCode(chart)) return out;
    for (auto& r : selectRows(conn, "SELECT PC03_CONTO, PC03_DESCR, PC03_INDANALITICO, PC03_INDTIPOCONTO "
                                    "FROM PC03_ANAGPDC WITH(NOLOCK) WHERE PC03_CODICE_PC01 = " + chart)) {
        ReclAccount a;
        a.description = textOf(r[1]);
        a.analytic = intOf(r[2], 0) == 1;
        a.type = intOf(r[3], -1);
        out.emplace(textOf(r[0]), std::move(a));
    }
    return out;
}

std::string readChartDescription(db::Connection& conn, const std::string& chart) {
    if (!detail::isCode(chart)) return {};
    auto rows = selectRows(conn, "SELECT PC01_DESCR FROM PC01_DESCRPDC WITH(NOLOCK) WHERE PC01_CODICE = " + chart);
    return rows.empty() ? std::string() : textOf(rows.front()[0]);
}

}  // namespace

ChartData ChartData::load(db::Connection& conn, const Scope& scope) {
    brevanto::cli::ListRequest request;
    request.kind = static_cast<brevanto::cli::Kind>(static_cast<int>(scope.kind));
    request.chart = scope.chart;
    request.reclChart = scope.reclChart;
    request.intercompany = scope.intercompany;
    request.company = scope.company;
    request.allowEmpty = true;
    if (scope.kind == CorrelationKind::CONS) request.chart.clear();

    // COIN builds its rows from the analytic chart; the ledger kinds read the accounts the
    // editor's working table would list, without building it.
    brevanto::cli::WorkingSet set;
    std::vector<LedgerAccount> accounts;
    try {
        if (scope.kind == CorrelationKind::COIN) {
            set = brevanto::cli::loadWorkingRows(conn, request);
        } else {
            brevanto::cli::PreparedChart prepared = brevanto::cli::prepareChart(conn, request);
            set = prepared.set;
            // The customers' and suppliers' accounts: those under their master's first two characters.
            const std::string mc = set.customersMaster.substr(0, 2), mf = set.suppliersMaster.substr(0, 2);
            for (auto& r : selectRows(conn, brevanto::cli::ledgerAccountsSql(request, prepared))) {
                LedgerAccount a;
                a.code = textOf(r[0]);
                a.description = textOf(r[1]);
                a.type = intOf(r[2], -1);
                a.shownCode = text::applyMask(set.mask, a.code, text::MaskFill::FromLeft);
                const std::string head = a.code.substr(0, 2);
                a.customerSupplier = head == mc ? 0 : head == mf ? 1 : -1;
                accounts.push_back(std::move(a));
            }
        }
    } catch (const brevanto::cli::ListRefused& e) {
        throw ScopeRefused(e.what());
    }

    ChartData data;
    data.scope = scope;
    data.scope.chart = set.chart;
    if (scope.kind == CorrelationKind::CONS && !scope.chart.empty() && scope.chart != set.chart)
        throw ScopeRefused("La struttura intercompany " + scope.intercompany + " usa il piano dei conti " + set.chart +
                           ", non il " + scope.chart + ".");
    data.chartDescription = set.chartDescr;
    data.mask = set.mask;
    data.database = set.database;
    data.customersMaster = text::trimWhitespace(set.customersMaster);
    data.suppliersMaster = text::trimWhitespace(set.suppliersMaster);
    data.reclChartDescription = readChartDescription(conn, scope.reclChart);

    for (const auto& row : set.rows) {
        if (row.segno != 1) continue;   // each account has a "Dare" row then an "Avere" row
        LedgerAccount a;
        a.code = text::trimWhitespace(row.contoPdc);
        a.shownCode = row.displayCode.empty() ? row.contoPdc : row.displayCode;
        a.description = row.descrPdc;
        a.type = row.indTipoConto.value_or(-1);
        a.customerSupplier = row.tipoCF.value_or(-1);
        accounts.push_back(std::move(a));
    }
    if (scope.kind == CorrelationKind::COIN) {
        // The analytic accounts' own type, which the editor compares with the target's.
        auto own = readChartAccounts(conn, data.scope.chart);
        for (auto& a : accounts)
            if (auto it = own.find(a.code); it != own.end()) a.type = it->second.type;
    }
    data.setAccounts(std::move(accounts));
    data.recl_ = readChartAccounts(conn, scope.reclChart);
    data.stored = readStoredCorrelations(conn, data.scope);
    return data;
}

void ChartData::setAccounts(std::vector<LedgerAccount> list) {
    accounts = std::move(list);
    index_.clear();
    index_.reserve(accounts.size());
    for (std::size_t i = 0; i < accounts.size(); ++i) index_.emplace(accounts[i].code, i);
}

const LedgerAccount* ChartData::account(const std::string& code) const {
    auto it = index_.find(code);
    return it == index_.end() ? nullptr : &accounts[it->second];
}

const ReclAccount* ChartData::reclAccount(const std::string& code) const {
    auto it = recl_.find(code);
    return it == recl_.end() ? nullptr : &it->second;
}

const std::string& ChartData::storedTarget(const Key& key) const {
    auto it = stored.find(key);
    return it == stored.end() ? kNone : it->second;
}

std::map<Key, std::string> readStoredCorrelations(db::Connection& conn, const Scope& scope,
                                                  const std::string& database) {
    const auto& t = editor::correlationTable(scope.kind);
    if (!detail::isCode(scope.ledgerCode()) || !detail::isCode(scope.reclChart))
        throw ScopeRefused("Codici non validi per " + describeScope(scope) + ".");
    const std::string table = detail::tableIn(database, t.table);
    if (table.empty()) throw ScopeRefused("Nome di database non valido: " + database);
    std::map<Key, std::string> out;
    for (auto& r : selectRows(conn, std::string("SELECT ") + t.accountColumn + ", " + t.signColumn + ", " +
                                        t.targetColumn + " FROM " + table + " WITH(NOLOCK) WHERE " +
                                        t.ledgerColumn + " = " + scope.ledgerCode() + " AND " + t.chartColumn +
                                        " = " + scope.reclChart)) {
        std::string target = textOf(r[2]);
        if (target.empty()) continue;
        out.emplace(Key{textOf(r[0]), intOf(r[1], 0)}, std::move(target));
    }
    return out;
}

}  // namespace mapping
