#include "kit/AccountBoxes.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "db/Error.h"
#include "db/SqlText.h"
#include "kit/ConnectionCache.h"
#include "kit/Form.h"
#include "kit/UserAction.h"
#include "text/Mask.h"
#include "kit/LookupStart.h"

namespace kit {

namespace {

int intOr(const db::Variant& v, int fallback) {
    if (v.isBlank()) return fallback;
    try {
        return v.toInt32();
    } catch (const db::Exception&) {
        return fallback;
    }
}

bool isNavigationKey(int key) {
    return key == keys::Tab || key == keys::Enter || key == keys::Up || key == keys::Down ||
           key == keys::PageUp || key == keys::PageDown;
}

// What a decode learnt of an account. One key can decode the same account more than once (the
// box as the key confirms it, the row the cursor arrives on proposing it again, the hidden
// boxes the validation points at it): within one user action the database answers once.
struct ReclAccount {
    bool found = false;
    std::string description;
    bool analytic = false;
    int type = -1;
};
struct LedgerAccount {
    bool found = false;
    std::string description;
    int type = -1;
};
thread_local ActionMemo<ReclAccount> t_reclAccounts;
thread_local ActionMemo<LedgerAccount> t_ledgerAccounts;

template <class Account, class Read>
std::optional<Account> readOncePerAction(ActionMemo<Account>& memo, db::Connection& conn, const std::string& sql,
                                         Read read) {
    const std::string key = conn.ConnectionString() + '\n' + sql;
    if (auto known = memo.find(key)) return known;
    auto rs = conn.Execute(sql);
    if (!rs || rs->State() != db::ado::adStateOpen) return std::nullopt;
    Account account = read(*rs);
    memo.remember(key, account);
    return account;
}

}  // namespace

// ---------------- CoinAccountBox ----------------

CoinAccountBox::CoinAccountBox(Form& form, std::string name) : Control(form, std::move(name)) {}

void CoinAccountBox::setError(std::string e) {
    if (e == lastError_) return;
    lastError_ = std::move(e);
    changed("lastError");
}

void CoinAccountBox::setConnection(std::shared_ptr<db::Connection> c) {
    connection_ = std::move(c);
    masks_.clear();
}

void CoinAccountBox::setConnectionText(const std::string& t) {
    if (t == connectionText_) return;
    connectionText_ = t;
    masks_.clear();
    changed("ConnectionText");
}

void CoinAccountBox::setChartCode(const db::Variant& chart) {
    if (chart == chartCode_) return;
    chartCode_ = chart;
    changed("ChartCode");
    if (!value_.empty()) decode();
}

void CoinAccountBox::setIDLookup(const std::string& id) {
    if (id == idLookup_) return;
    idLookup_ = id;
    changed("IDLookup");
}
void CoinAccountBox::setFilterText(const std::string& t) {
    if (t == filterText_) return;
    filterText_ = t;
    changed("FilterText");
}
void CoinAccountBox::setInitialText(const std::string& t) {
    if (t == initialText_) return;
    initialText_ = t;
    changed("InitialText");
}
void CoinAccountBox::setManagementCaption(const std::string& c) {
    if (c == managementCaption_) return;
    managementCaption_ = c;
    changed("ManagementCaption");
}

void CoinAccountBox::setValue(const std::string& v) {
    typed_ = false;
    assignText(v);
    if (v == value_) return;
    value_ = v;
    decode();
    changed("Value");
}

void CoinAccountBox::enterText(const std::string& text) {
    assignText(text);
    typed_ = true;
    userEdited();
}

void CoinAccountBox::commit() {
    if (!typed_) return;
    setValue(plainCode(Text()));
}

std::string CoinAccountBox::plainCode(const std::string& typed) {
    const bool plain = std::all_of(typed.begin(), typed.end(), [](unsigned char c) { return std::isalnum(c); });
    if (plain || chartCode_.isBlank()) return typed;
    try {
        auto conn = queryConnection();
        return conn ? text::stripMask(maskFor(chartCode_.toInt64(), conn), typed) : typed;
    } catch (const std::exception&) {
        return typed;   // the decode that follows reports what went wrong
    }
}

void CoinAccountBox::clearDecoded() {
    description_.clear();
    analytic_ = false;
    accountType_ = -1;
    decoded_ = false;
}

std::shared_ptr<db::Connection> CoinAccountBox::queryConnection() {
    if (connection_ && connection_->State() == db::ado::adStateOpen) return connection_;
    if (!connectionText_.empty()) return ConnectionCache::instance().get(connectionText_);
    return nullptr;
}

std::string CoinAccountBox::maskFor(long long chart, const std::shared_ptr<db::Connection>& conn) {
    auto it = masks_.find(chart);
    if (it != masks_.end()) return it->second;
    auto rs = conn->Execute("SELECT PC01_MASKEDIT FROM PC01_DESCRPDC WITH(NOLOCK) WHERE PC01_CODICE = " +
                            std::to_string(chart));
    std::string mask;
    if (rs && rs->State() == db::ado::adStateOpen && !rs->Eof()) mask = rs->value("PC01_MASKEDIT").toText();
    masks_[chart] = mask;
    return mask;
}

void CoinAccountBox::decode() {
    clearDecoded();
    displayText_ = value_;
    setError("");
    if (!value_.empty() && !chartCode_.isBlank()) {
        try {
            long long chart = chartCode_.toInt64();
            auto conn = queryConnection();
            if (!conn) throw KitError("la casella del conto non ha una connessione al database");
            displayText_ = text::applyMask(maskFor(chart, conn), value_, text::MaskFill::FromLeft);
            const std::string sql =
                "SELECT PC03_DESCR, PC03_INDANALITICO, PC03_INDTIPOCONTO FROM PC03_ANAGPDC WITH(NOLOCK) "
                "WHERE PC03_CODICE_PC01 = " + std::to_string(chart) + " AND PC03_CONTO = " + db::sqlQuoted(value_);
            const auto decoded = readOncePerAction<ReclAccount>(t_reclAccounts, *conn, sql, [&](db::Recordset& rs) {
                ReclAccount a;
                if (rs.Eof()) return a;
                a.found = true;
                a.description = rs.value("PC03_DESCR").toText();
                a.analytic = intOr(rs.value("PC03_INDANALITICO"), 0) == 1;
                a.type = intOr(rs.value("PC03_INDTIPOCONTO"), -1);
                return a;
            });
            if (decoded && decoded->found) {
                description_ = decoded->description;
                analytic_ = decoded->analytic;
                accountType_ = decoded->type;
                decoded_ = true;
            }
        } catch (const std::exception& e) {
            clearDecoded();
            setError(describeFailure(e));
        }
    }
    changed("Description");
    changed("DisplayText");
    changed("IsDecoded");
}

bool CoinAccountBox::OpenLookup() {
    if (!effectivelyEnabled()) return false;
    const auto start = startLookup(StartLookup);
    if (!start) return false;
    try {
        std::shared_ptr<db::Connection> fallback;
        if (start->connect.empty()) fallback = queryConnection();
        auto rs = runBoxQuery(start->sql, start->connect, fallback);
        if (!rs || rs->State() != db::ado::adStateOpen) return false;
        auto* ws = form().windowSystemOrNull();
        if (!ws) throw KitError("nessuna finestra in cui mostrare la ricerca");
        auto choice = ws->lookups().pick(LookupRequest{start->caption, start->fields, rs, value_, idLookup_});
        if (!choice || *choice < 0 || *choice >= rs->viewSize()) return false;
        const db::RowRef row = rs->viewRow(*choice);
        if (row.empty()) return false;
        setValue(row.front().toText());
        userEdited();
        return true;
    } catch (const std::exception& e) {
        setError(describeFailure(e));
        return false;
    }
}

bool CoinAccountBox::pressMenuKey(const std::string& key) {
    if (!effectivelyEnabled()) return false;
    MenuKey.raise(key);
    return true;
}

void CoinAccountBox::leaveFocus(bool& cancel) {
    commit();
    Control::leaveFocus(cancel);
}

bool CoinAccountBox::processKey(int key, int shift) {
    if (isNavigationKey(key)) commit();
    Control::processKey(key, shift);
    if (!hasFocus()) return true;
    if (key == keys::F4 || key == keys::F9) {
        OpenLookup();
        return true;
    }
    return false;
}

// ---------------- LedgerAccountBox ----------------

LedgerAccountBox::LedgerAccountBox(Form& form, std::string name) : Control(form, std::move(name)) {}

void LedgerAccountBox::setChartCode(std::int16_t chart) {
    if (chart == chartCode_) return;
    chartCode_ = chart;
    changed("ChartCode");
}

void LedgerAccountBox::setMask(const std::string& mask) {
    if (mask == mask_) return;
    mask_ = mask;
    changed("Mask");
}

std::string LedgerAccountBox::DisplayText() const {
    return typed_ ? Text() : text::applyMask(mask_, Text(), text::MaskFill::FromLeft);
}

void LedgerAccountBox::setResult(bool decoded, std::string description, int type) {
    decoded_ = decoded;
    description_ = std::move(description);
    accountType_ = type;
    changed("Description");
    changed("IsDecoded");
}

void LedgerAccountBox::setText(const std::string& text) {
    typed_ = false;
    if (assignText(text)) decode();
}

void LedgerAccountBox::enterText(const std::string& text) {
    assignText(text);
    typed_ = true;
    userEdited();
}

void LedgerAccountBox::decode() {
    lastError_.clear();
    if (Text().empty() || chartCode_ < 0) {
        setResult(false, "", -1);
        return;
    }
    try {
        std::shared_ptr<db::Connection> conn;
        if (connection_ && connection_->State() == db::ado::adStateOpen) {
            conn = connection_;
        } else {
            bool useOwn = true;
            std::string connect;
            ConnectionStringRequest.raise(useOwn, connect);
            if (!useOwn && !connect.empty()) conn = ConnectionCache::instance().get(connect);
        }
        if (!conn) throw KitError("la casella del conto non ha una connessione al database");
        const std::string sql =
            "SELECT CG24_DESCR, CG24_INDTIPOCONTO FROM CG24_TABPDC WITH(NOLOCK) WHERE CG24_GRUPPO_CG10 = " +
            std::to_string(chartCode_) + " AND CG24_CONTO = " + db::sqlQuoted(Text());
        const auto decoded = readOncePerAction<LedgerAccount>(t_ledgerAccounts, *conn, sql, [](db::Recordset& rs) {
            LedgerAccount a;
            if (rs.Eof()) return a;
            a.found = true;
            a.description = rs.value("CG24_DESCR").toText();
            a.type = intOr(rs.value("CG24_INDTIPOCONTO"), -1);
            return a;
        });
        if (decoded && decoded->found)
            setResult(true, decoded->description, decoded->type);
        else
            setResult(false, "", -1);
    } catch (const std::exception& e) {
        lastError_ = describeFailure(e);
        setResult(false, "", -1);
    }
}

bool LedgerAccountBox::search() {
    assignText(text::stripMask(mask_, Text()));
    typed_ = false;
    decode();
    bool cancel = false;
    Search.raise(cancel);
    if (cancel) typed_ = true;   // still to be confirmed
    return !cancel;
}

bool LedgerAccountBox::confirm() {
    if (!search()) return false;
    if (hasFocus()) form().tab(true);
    return true;
}

// Leaving searches a code still unconfirmed, but never holds the focus: a code that is not
// found keeps the user in the box only after Enter.
void LedgerAccountBox::leaveFocus(bool& cancel) {
    if (typed_ && !Text().empty()) search();
    typed_ = false;
    Control::leaveFocus(cancel);
}

bool LedgerAccountBox::processKey(int key, int shift) {
    Control::processKey(key, shift);
    if (!hasFocus()) return true;
    if (key == keys::Enter) {
        confirm();
        return true;
    }
    if (key == keys::Escape) {
        setText("");
        return true;
    }
    return false;
}

}  // namespace kit
