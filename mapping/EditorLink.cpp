#include "mapping/EditorLink.h"

#include <set>

#include "db/Connection.h"
#include "db/Recordset.h"
#include "kit/AccountBoxes.h"
#include "kit/CodeEditBox.h"
#include "kit/Form.h"
#include "kit/QueryGrid.h"
#include "kit/RecordFrame.h"
#include "text/Text.h"

namespace mapping {

namespace {

constexpr const char* kGrid = "GRID_CORRPDC";
constexpr const char* kAccountBox = "TXT_CONTOCOIN";
constexpr const char* kChartBox = "TXT_CODICE_PDC";
constexpr const char* kReclChartBox = "TXT_CODICE_RICL";
constexpr const char* kIntercompanyBox = "TXT_CODINTERCOMPANY";

bool isOpen(const std::shared_ptr<db::Recordset>& rs) { return rs && rs->State() == db::ado::adStateOpen; }

// The key of a recordset row; nothing for a row without an account or a sign.
std::optional<Key> keyOfRow(db::Recordset& rs, long row, std::size_t account, std::size_t sign) {
    if (row < 0 || row >= rs.viewSize()) return std::nullopt;
    const db::RowRef values = rs.viewRow(row);
    if (account >= values.size() || sign >= values.size()) return std::nullopt;
    Key key{text::trimSpaces(values[account].toText()), 0};
    try {
        key.sign = values[sign].toInt32();
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (key.account.empty()) return std::nullopt;
    return key;
}

struct KeyColumns {
    std::size_t account = 0, sign = 0;
    bool found = false;
};

KeyColumns keyColumns(db::Recordset& rs) {
    auto account = rs.fields().indexOf("CONTOPDC");
    auto sign = rs.fields().indexOf("SEGNO");
    if (!account || !sign) return {};
    return {*account, *sign, true};
}

}  // namespace

EditorLink::EditorLink(kit::Form& editor, CorrelationKind kind, std::string connectionString, std::string company)
    : editor_(editor), kind_(kind), connectionString_(std::move(connectionString)), company_(std::move(company)) {}

EditorLink::~EditorLink() {
    if (connection_ && connection_->State() == db::ado::adStateOpen) {
        try {
            connection_->Close();
        } catch (const std::exception&) {
            // closing a connection that already failed has nothing left to release
        }
    }
}

kit::QueryGrid& EditorLink::grid() const { return editor_.get<kit::QueryGrid>(kGrid); }

std::optional<Scope> EditorLink::scope(std::string* why) const {
    auto refuse = [&](const char* text) -> std::optional<Scope> {
        if (why) *why = text;
        return std::nullopt;
    };
    const kit::QueryGrid& g = grid();
    if (!editor_.isOpen() || !g.Enabled() || !isOpen(g.Recordset())) return refuse(kListNotLoadedMessage);
    Scope s;
    s.kind = kind_;
    s.company = company_;
    s.chart = text::trimSpaces(editor_.get(kChartBox).Text());
    s.reclChart = text::trimSpaces(editor_.get(kReclChartBox).Text());
    if (kind_ == CorrelationKind::CONS) s.intercompany = text::trimSpaces(editor_.get(kIntercompanyBox).Text());
    if (s.ledgerCode().empty() || s.reclChart.empty()) return refuse(kListNotLoadedMessage);
    return s;
}

std::string EditorLink::pendingEdit() const {
    const auto& box = editor_.get<kit::CoinAccountBox>(kAccountBox);
    if (box.Text() != box.Value()) return kPendingEditMessage;
    const kit::RecordFrame* frame = grid().attachedFrame();
    if (frame && frame->isChanged() && !frame->isProposal()) return kPendingEditMessage;
    return "";
}

Scope EditorLink::requireReady() const {
    std::string why;
    auto s = scope(&why);
    if (!s) throw EditorBusy(why);
    if (std::string pending = pendingEdit(); !pending.empty()) throw EditorBusy(pending);
    return *s;
}

db::Connection& EditorLink::connection() {
    if (!connection_) {
        auto conn = db::Connection::create();
        conn->Open(connectionString_);
        connection_ = std::move(conn);
    }
    return *connection_;
}

ChartData EditorLink::load() {
    std::string why;
    auto s = scope(&why);
    if (!s) throw EditorBusy(why);
    return ChartData::load(connection(), *s);
}

std::vector<std::string> EditorLink::intercompanyDatabases() {
    std::vector<std::string> names;
    auto rs = connection().Execute(
        "SELECT DISTINCT CGB1_DATABASE FROM CGB1_DATABASEINFRAGRUPPO WHERE CGB1_DATABASE IS NOT NULL ORDER BY CGB1_DATABASE");
    for (; rs && !rs->Eof(); rs->MoveNext())
        if (std::string name = text::trimSpaces(rs->value("CGB1_DATABASE").toText()); !name.empty()) names.push_back(name);
    return names;
}

std::optional<Key> EditorLink::currentKey() const {
    const kit::QueryGrid& g = grid();
    auto rs = g.Recordset();
    if (!isOpen(rs)) return std::nullopt;
    KeyColumns columns = keyColumns(*rs);
    if (!columns.found) return std::nullopt;
    return keyOfRow(*rs, g.currentRow(), columns.account, columns.sign);
}

std::vector<Key> EditorLink::keysOfRows(const std::vector<long>& recordsetRows) const {
    std::vector<Key> keys;
    auto rs = grid().Recordset();
    if (!isOpen(rs)) return keys;
    KeyColumns columns = keyColumns(*rs);
    if (!columns.found) return keys;
    std::set<Key> seen;
    for (long row : recordsetRows)
        if (auto key = keyOfRow(*rs, row, columns.account, columns.sign); key && seen.insert(*key).second)
            keys.push_back(*key);
    return keys;
}

long EditorLink::rowOf(const Key& key) const {
    auto rs = grid().Recordset();
    if (!isOpen(rs)) return -1;
    KeyColumns columns = keyColumns(*rs);
    if (!columns.found) return -1;
    // Sign 0 stands for the account as a whole: its first row.
    for (long row = 0, rows = rs->viewSize(); row < rows; ++row)
        if (auto k = keyOfRow(*rs, row, columns.account, columns.sign);
            k && k->account == key.account && (key.sign == 0 || k->sign == key.sign))
            return row;
    return -1;
}

long EditorLink::applyAndRefresh(const Plan& plan) {
    const Scope s = requireReady();
    if (!s.sameCorrelations(plan.scope))
        throw EditorBusy("Le correlazioni da applicare non riguardano l'elenco aperto (" + describeScope(plan.scope) +
                         ").");
    const auto here = currentKey();
    const long written = applyPlan(connection(), plan);
    refresh();
    if (here) goTo(*here);
    return written;
}

void EditorLink::refresh() {
    // The header's own confirmation: the module rebuilds its working table and the grid.
    auto& recl = editor_.get<kit::CodeEditBox>(kReclChartBox);
    bool cancel = false;
    recl.Validate.raise(cancel);
    if (!cancel) recl.AfterItem.raise(cancel);
}

bool EditorLink::goTo(const Key& key) {
    kit::QueryGrid& g = grid();
    const long row = rowOf(key);
    if (row < 0) return false;
    if (g.currentRow() == row) return true;
    if (!g.hasFocus() && (!g.canFocus() || !editor_.setFocus(g) || !g.hasFocus())) return false;
    return g.clickRow(row);
}

}  // namespace mapping
