#include "balances/BalanceJson.h"

namespace balances {

namespace {

double euro(long long cents) { return static_cast<double>(cents) / 100.0; }

}  // namespace

nlohmann::ordered_json previewJson(const BalancePreview& preview, bool all) {
    nlohmann::ordered_json j;
    j["file"] = preview.file.string();
    j["ditta"] = preview.target.company;
    j["pdc"] = preview.target.chart;
    j["data"] = preview.target.date;
    j["problemiFile"] = preview.fileProblems;
    nlohmann::ordered_json counts;
    for (int s = 0; s < mapping::kRowStatusCount; ++s)
        counts[mapping::statusName(static_cast<RowStatus>(s))] = preview.counts[static_cast<std::size_t>(s)];
    j["conteggi"] = counts;
    j["totaleDare"] = euro(preview.totalDebit);
    j["totaleAvere"] = euro(preview.totalCredit);
    j["avvisi"] = preview.notes;
    j["applicabile"] = preview.applicable();
    auto& rows = j["righe"] = nlohmann::ordered_json::array();
    for (const auto& r : preview.rows) {
        if (!all && r.status == RowStatus::Unchanged) continue;
        rows.push_back({{"riga", r.line},
                        {"conto", r.account},
                        {"descrizione", r.description},
                        {"darePrima", euro(r.before.debit)},
                        {"averePrima", euro(r.before.credit)},
                        {"dare", euro(r.after.debit)},
                        {"avere", euro(r.after.credit)},
                        {"stato", mapping::statusName(r.status)},
                        {"motivo", r.reason}});
    }
    return j;
}

}  // namespace balances
