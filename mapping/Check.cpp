#include "mapping/Check.h"

#include <algorithm>
#include <array>
#include <set>
#include <unordered_set>

#include "apps/cli/WorkingRows.h"
#include "db/Connection.h"
#include "statements/SqlValues.h"
#include "mapping/Rows.h"
#include "mapping/Rules.h"
#include "text/Mask.h"

namespace mapping {

namespace {

using detail::intOf;
using detail::selectRows;
using detail::textOf;
using editor::bareValue;

// The codes of the chart the scope correlates that are among `wanted`, read in one statement:
// the ledger chart (in CONS in the intercompany database), or the analytic chart in COIN.
std::unordered_set<std::string> existingCodes(db::Connection& conn, const ChartData& data,
                                              const std::set<std::string>& wanted) {
    std::string sql;
    if (data.scope.kind == CorrelationKind::COIN)
        sql = " SELECT PC03_CONTO FROM PC03_ANAGPDC WITH(NOLOCK) WHERE PC03_CODICE_PC01 = " +
              bareValue(data.scope.chart, "0");
    else
        sql = " SELECT CG24_CONTO FROM " + detail::tableIn(data.database, "CG24_TABPDC") +
              " WITH(NOLOCK) WHERE CG24_GRUPPO_CG10 = " + bareValue(data.scope.chart, "0");
    // A handful of codes is asked by name; many are read with the whole chart.
    constexpr std::size_t kNamedLimit = 200;
    if (wanted.size() <= kNamedLimit) {
        std::string list;
        for (const auto& code : wanted) list += (list.empty() ? "'" : ", '") + editor::textValue(code) + "'";
        sql += std::string(data.scope.kind == CorrelationKind::COIN ? " AND PC03_CONTO IN (" : " AND CG24_CONTO IN (") +
               list + ")";
    }
    std::unordered_set<std::string> found;
    for (const auto& row : selectRows(conn, sql)) {
        std::string code = textOf(row[0]);
        if (wanted.count(code)) found.insert(std::move(code));
    }
    return found;
}

std::string chartName(const ChartData& data) {
    if (data.scope.kind == CorrelationKind::COIN) return "piano dei conti analitico " + data.scope.chart;
    std::string name = "piano dei conti " + data.scope.chart;
    if (!data.database.empty()) name += " del database " + data.database;
    return name;
}

// The company whose intermediaries the masters stand for: in CONS the structure's.
std::string intermediariesCompany(db::Connection& conn, const ChartData& data) {
    if (data.scope.kind != CorrelationKind::CONS) return data.scope.company;
    auto rows = selectRows(conn, " SELECT CGC0_DITTA_CG18 FROM CGC0_STRUTINFRAGRUPPO WITH(NOLOCK) WHERE CGC0_CODICE = " +
                                   bareValue(data.scope.intercompany, "0"));
    return rows.empty() ? std::string() : textOf(rows.front()[0]);
}

struct MasterIntermediaries {
    std::set<int> all;                          // the company's, intermediary 0 left out
    std::array<std::set<int>, 2> correlated;    // per sign, among `all`
};

std::array<MasterIntermediaries, 2> readIntermediaries(db::Connection& conn, const ChartData& data) {
    std::array<MasterIntermediaries, 2> masters;   // by TIPOCF
    const std::string company = intermediariesCompany(conn, data);
    if (company.empty()) return masters;
    // The intermediary 0 stands for the master itself, whose correlation is the master row's.
    for (const auto& row : selectRows(conn, " SELECT CG40_TIPOCF, CG40_INTERMEDIO FROM " +
                                              detail::tableIn(data.database, "CG40_ANADITTAINTER") +
                                              " WITH(NOLOCK) WHERE CG40_DITTA_CG18 = " +
                                              bareValue(company, "0") + " AND CG40_INTERMEDIO <> 0")) {
        const int type = intOf(row[0], -1);
        if ((type == 0 || type == 1) && !row[1].isNull()) masters[type].all.insert(intOf(row[1], 0));
    }
    const bool cons = data.scope.kind == CorrelationKind::CONS;
    const std::string sql =
        cons ? " SELECT CGB4_TIPOCF_CG40, CGB4_INTERMEDIO_CG40, CGB4_INDSEGNO, CGB4_CONTO_PC03"
               " FROM CGB4_CORRINTERMEDICONS WITH(NOLOCK) WHERE CGB4_CODICE_CGC0 = " +
                   bareValue(data.scope.intercompany, "0") +
                   " AND CGB4_CODICE_PC01 = " + bareValue(data.scope.reclChart, "0")
             : " SELECT CG93_TIPOCF_CG40, CG93_INTERMEDIO_CG40, CG93_INDSEGNO, CG93_CONTO_PC03"
               " FROM CG93_CORRINTERMEDIRICL WITH(NOLOCK) WHERE CG93_DITTA_CG18 = " +
                   bareValue(company, "0") + " AND CG93_CODICE_PC01 = " + bareValue(data.scope.reclChart, "0");
    for (const auto& row : selectRows(conn, sql)) {
        const int type = intOf(row[0], -1);
        const int sign = intOf(row[2], 0);
        if ((type != 0 && type != 1) || (sign != 1 && sign != 2) || textOf(row[3]).empty()) continue;
        const int intermediary = intOf(row[1], -1);
        if (masters[type].all.count(intermediary)) masters[type].correlated[sign - 1].insert(intermediary);
    }
    return masters;
}

std::string partialText(std::size_t correlated, std::size_t all, int sign) {
    return std::to_string(correlated) + (correlated == 1 ? " intermediario su " : " intermediari su ") +
           std::to_string(all) + (correlated == 1 ? " correlato in " : " correlati in ") + signName(sign);
}

}  // namespace

const char* groupTitle(CheckGroup group) {
    switch (group) {
    case CheckGroup::MissingDebit: return "Conti senza correlazione in Dare";
    case CheckGroup::MissingCredit: return "Conti senza correlazione in Avere";
    case CheckGroup::SignsDiffer: return "Conti con correlazioni diverse in Dare e in Avere (informazione)";
    case CheckGroup::InvalidTarget: return "Correlazioni non più valide";
    case CheckGroup::OrphanCorrelation: return "Correlazioni di conti non più presenti nel piano";
    case CheckGroup::PartialIntermediaries: return "Mastri con intermediari correlati solo in parte";
    }
    return "";
}

const char* groupId(CheckGroup group) {
    switch (group) {
    case CheckGroup::MissingDebit: return "senza-dare";
    case CheckGroup::MissingCredit: return "senza-avere";
    case CheckGroup::SignsDiffer: return "segni-diversi";
    case CheckGroup::InvalidTarget: return "non-valide";
    case CheckGroup::OrphanCorrelation: return "orfane";
    case CheckGroup::PartialIntermediaries: return "intermedi-parziali";
    }
    return "";
}

bool isInformation(CheckGroup group) { return group == CheckGroup::SignsDiffer; }

long CheckReport::count(CheckGroup group) const {
    return static_cast<long>(
        std::count_if(findings.begin(), findings.end(), [group](const Finding& f) { return f.group == group; }));
}

bool CheckReport::hasProblems() const {
    return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return !isInformation(f.group); });
}

CheckReport checkCorrelations(db::Connection& conn, const ChartData& data) {
    CheckReport report;
    report.scope = data.scope;
    std::array<std::vector<Finding>, kCheckGroupCount> groups;
    auto add = [&](CheckGroup group, Finding f) {
        f.group = group;
        groups[static_cast<int>(group)].push_back(std::move(f));
    };

    // The stored state is what the rules compare with (the other master's targets). An
    // analytic account of another type was the user's answer to the editor's question.
    const TargetAfter stored = [&data](const Key& key) -> std::string { return data.storedTarget(key); };
    RuleOptions options;
    options.acceptOtherTypeInAnalytic = true;
    for (const auto& account : data.accounts) {
        std::array<std::string, 2> targets;
        for (int sign = 1; sign <= 2; ++sign) {
            const Key key{account.code, sign};
            const std::string& target = data.storedTarget(key);
            targets[sign - 1] = target;
            Finding f{CheckGroup::MissingDebit, key, account.shownCode, account.description, target, {}};
            if (target.empty()) {
                add(sign == 1 ? CheckGroup::MissingDebit : CheckGroup::MissingCredit, std::move(f));
            } else if (auto refusal = checkTarget(data, key, target, stored, options)) {
                f.detail = refusal->text;
                add(CheckGroup::InvalidTarget, std::move(f));
            }
        }
        if (!targets[0].empty() && !targets[1].empty() && targets[0] != targets[1])
            add(CheckGroup::SignsDiffer,
                Finding{CheckGroup::SignsDiffer, Key{account.code, 0}, account.shownCode, account.description, targets[0],
                        "Dare " + targets[0] + ", Avere " + targets[1]});
    }

    // Correlations of accounts the editor does not list: orphans unless the chart still holds
    // the account (at a level the editor does not show).
    std::set<std::string> unlisted;
    for (const auto& [key, target] : data.stored)
        if (!target.empty() && !data.account(key.account)) unlisted.insert(key.account);
    if (!unlisted.empty()) {
        const auto existing = existingCodes(conn, data, unlisted);
        const std::string reason = "Il conto non esiste più nel " + chartName(data);
        for (const auto& [key, target] : data.stored)
            if (!target.empty() && unlisted.count(key.account) && !existing.count(key.account))
                add(CheckGroup::OrphanCorrelation, Finding{CheckGroup::OrphanCorrelation, key,
                                                           text::applyMask(data.mask, key.account, text::MaskFill::FromLeft), {},
                                                           target, reason});
    }

    if (data.scope.kind == CorrelationKind::COGE || data.scope.kind == CorrelationKind::CONS) {
        const auto intermediaries = readIntermediaries(conn, data);
        const std::string* masters[2] = {&data.customersMaster, &data.suppliersMaster};
        for (int type = 0; type < 2; ++type) {
            const auto* master = masters[type]->empty() ? nullptr : data.account(*masters[type]);
            const auto& m = intermediaries[type];
            if (!master || m.all.empty()) continue;
            for (int sign = 1; sign <= 2; ++sign) {
                const std::size_t correlated = m.correlated[sign - 1].size();
                if (correlated == 0 || correlated == m.all.size()) continue;
                const Key key{master->code, sign};
                add(CheckGroup::PartialIntermediaries,
                    Finding{CheckGroup::PartialIntermediaries, key, master->shownCode, master->description,
                            data.storedTarget(key), partialText(correlated, m.all.size(), sign)});
            }
        }
    }

    for (auto& group : groups)
        report.findings.insert(report.findings.end(), std::make_move_iterator(group.begin()),
                                std::make_move_iterator(group.end()));
    return report;
}

}  // namespace mapping
