#include "statement/Preview.h"

#include <algorithm>
#include <cstdlib>

namespace statement {

namespace {

std::vector<Correlation> listOf(const std::map<mapping::Key, std::string>& correlations) {
    std::vector<Correlation> out;
    out.reserve(correlations.size());
    for (const auto& [key, target] : correlations) out.push_back({key, target});
    return out;
}

}  // namespace

Preview::Preview(ReclChart chart, TrialBalances balances, const std::map<mapping::Key, std::string>& correlations,
                 const std::optional<std::string>& date)
    : Preview(std::move(chart), std::move(balances), listOf(correlations), date) {}

Preview::Preview(ReclChart chart, TrialBalances balances, const std::vector<Correlation>& correlations,
                 const std::optional<std::string>& date)
    : balances_(std::move(balances)) {
    lines_.reserve(chart.lines().size() + 1);
    for (const auto& l : chart.lines()) {
        PreviewLine line;
        line.code = l.code;
        line.description = l.description;
        line.parent = l.parent;
        line.level = l.level;
        line.analytic = l.analytic;
        lineIndex_.emplace(line.code, static_cast<int>(lines_.size()));
        lines_.push_back(std::move(line));
    }
    PreviewLine unmapped;
    unmapped.description = kUnmappedCaption;
    unmapped.inChart = false;
    lines_.push_back(std::move(unmapped));

    const auto& codes = balances_.accounts();
    accounts_.resize(codes.size());
    accountIndex_.reserve(codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i) accountIndex_.emplace(codes[i], i);
    for (const auto& [key, target] : correlations) {
        if ((key.sign != 1 && key.sign != 2) || target.empty()) continue;
        auto it = accountIndex_.find(key.account);
        if (it != accountIndex_.end()) accounts_[it->second].target[key.sign - 1] = lineForTarget(target);
    }
    const auto& dates = balances_.dates();
    date_ = dates.empty() ? 0 : dates.size() - 1;
    if (date)
        if (auto it = std::find(dates.begin(), dates.end(), *date); it != dates.end())
            date_ = static_cast<std::size_t>(it - dates.begin());
    for (std::size_t a = 0; a < accounts_.size(); ++a)
        for (std::size_t d = 0; d < dates.size(); ++d)
            if (int s = signOfBalance(balances_.balance(a, d)); s != 0 && accounts_[a].target[s - 1] < 0) ++warningCount_;
    recompute();
}

int Preview::lineOf(const std::string& code) const {
    if (code.empty()) return unmappedLine();
    auto it = lineIndex_.find(code);
    return it == lineIndex_.end() ? -1 : it->second;
}

int Preview::lineForTarget(const std::string& code) {
    if (code.empty()) return -1;
    if (auto it = lineIndex_.find(code); it != lineIndex_.end()) return it->second;
    // A code the chart lacks: its own top line, just before "Non correlato".
    PreviewLine line;
    line.code = code;
    line.description = kUnknownTargetCaption;
    line.inChart = false;
    const int at = unmappedLine();
    lines_.insert(lines_.begin() + at, std::move(line));
    lineIndex_.emplace(code, at);
    for (auto& a : accounts_)
        for (int& t : a.target)
            if (t >= at) ++t;
    return at;
}

std::string Preview::date() const { return balances_.empty() ? std::string() : balances_.dates()[date_]; }

bool Preview::setDate(const std::string& date) {
    const auto& dates = balances_.dates();
    auto it = std::find(dates.begin(), dates.end(), date);
    if (it == dates.end()) return false;
    date_ = static_cast<std::size_t>(it - dates.begin());
    recompute();
    return true;
}

int Preview::lineOfBalance(const Account& account, Cents balance) const {
    const int sign = signOfBalance(balance);
    if (sign == 0) return -1;
    const int line = account.target[sign - 1];
    return line >= 0 ? line : unmappedLine();
}

void Preview::add(int line, Cents amount, long accounts) {
    lines_[static_cast<std::size_t>(line)].own += amount;
    lines_[static_cast<std::size_t>(line)].accounts += accounts;
    for (int l = line; l >= 0; l = lines_[static_cast<std::size_t>(l)].parent) lines_[static_cast<std::size_t>(l)].total += amount;
}

void Preview::recompute() {
    for (auto& l : lines_) l.own = l.total = 0, l.accounts = 0;
    if (balances_.empty()) return;
    for (std::size_t a = 0; a < accounts_.size(); ++a) {
        const Cents b = balances_.balance(a, date_);
        const int line = lineOfBalance(accounts_[a], b);
        if (line < 0) continue;
        lines_[static_cast<std::size_t>(line)].own += b;
        ++lines_[static_cast<std::size_t>(line)].accounts;
    }
    // Children come after their parents: one backward pass carries every total up.
    for (auto& l : lines_) l.total += l.own;
    for (std::size_t i = lines_.size(); i-- > 0;)
        if (lines_[i].parent >= 0) lines_[static_cast<std::size_t>(lines_[i].parent)].total += lines_[i].total;
}

void Preview::setTarget(const mapping::Key& key, const std::string& target) {
    if (key.sign != 1 && key.sign != 2) return;
    auto it = accountIndex_.find(key.account);
    if (it == accountIndex_.end()) return;
    const int newLine = lineForTarget(target);
    Account& account = accounts_[it->second];
    const int oldLine = account.target[key.sign - 1];
    if (oldLine == newLine) return;
    const std::size_t nd = balances_.dates().size();
    for (std::size_t d = 0; d < nd; ++d) {
        if (signOfBalance(balances_.balance(it->second, d)) != key.sign) continue;
        if (oldLine < 0) --warningCount_;
        if (newLine < 0) ++warningCount_;
    }
    const Cents b = balances_.empty() ? 0 : balances_.balance(it->second, date_);
    if (signOfBalance(b) == key.sign) {
        add(oldLine >= 0 ? oldLine : unmappedLine(), -b, -1);
        add(newLine >= 0 ? newLine : unmappedLine(), b, 1);
    }
    account.target[key.sign - 1] = newLine;
}

std::string Preview::target(const mapping::Key& key) const {
    auto it = accountIndex_.find(key.account);
    if (it == accountIndex_.end() || (key.sign != 1 && key.sign != 2)) return {};
    const int line = accounts_[it->second].target[key.sign - 1];
    return line < 0 ? std::string() : lines_[static_cast<std::size_t>(line)].code;
}

std::vector<Contribution> Preview::drillDown(int line) const {
    std::vector<Contribution> out;
    if (line < 0 || line >= static_cast<int>(lines_.size()) || balances_.empty()) return out;
    for (std::size_t a = 0; a < accounts_.size(); ++a) {
        const Cents b = balances_.balance(a, date_);
        int l = lineOfBalance(accounts_[a], b);
        const int direct = l;
        while (l >= 0 && l != line) l = lines_[static_cast<std::size_t>(l)].parent;
        if (l != line) continue;
        out.push_back({balances_.accounts()[a], signOfBalance(b), b,
                       direct == unmappedLine() ? std::string() : lines_[static_cast<std::size_t>(direct)].code});
    }
    std::sort(out.begin(), out.end(), [](const Contribution& x, const Contribution& y) {
        const Cents ax = std::llabs(x.amount), ay = std::llabs(y.amount);
        return ax != ay ? ax > ay : x.account < y.account;
    });
    return out;
}

std::vector<SignWarning> Preview::warnings() const {
    std::vector<SignWarning> out;
    const auto& dates = balances_.dates();
    for (std::size_t a = 0; a < accounts_.size(); ++a)
        for (std::size_t d = 0; d < dates.size(); ++d) {
            const Cents b = balances_.balance(a, d);
            const int s = signOfBalance(b);
            if (s != 0 && accounts_[a].target[s - 1] < 0) out.push_back({balances_.accounts()[a], dates[d], s, b});
        }
    std::sort(out.begin(), out.end(), [](const SignWarning& x, const SignWarning& y) {
        return x.account != y.account ? x.account < y.account : x.date < y.date;
    });
    return out;
}

}  // namespace statement
