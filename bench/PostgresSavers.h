#pragma once
// One row saved again and again on PostgreSQL, by each side of the save benchmarks:
//   EditorSaver  the correlation editor on the chart (chart 10 against 101): the debit row of
//                `account` selected, a reclassification account typed and confirmed with Down
//   RawSaver     the same save as hand-written statements through libpq (PostgresStatements.h)
// The typed account alternates between two, so that every save changes the row.

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

#include "EditorHost.h"
#include "PostgresStatements.h"
#include "RawPostgres.h"
#include "db/Recordset.h"
#include "journal/Journal.h"

namespace benchdb {

inline constexpr const char* kTypedAccounts[2] = {"0101002", "0101001"};

// The debit rows of chart 10 that hold a correlation with chart 101 in the demo data: the rows
// the sessions save, one each.
inline const char* savedAccount(int session) {
    static const char* accounts[] = {"0101010001", "0101010002", "0101020002", "0102010001", "0102020001",
                                     "0102020002", "0102030002", "1001010001", "1401010001", "1801010001"};
    return accounts[static_cast<std::size_t>(session) % (sizeof accounts / sizeof *accounts)];
}

class EditorSaver {
public:
    EditorSaver(const std::string& connectionString, std::string account)
        : host_(connectionString), account_(std::move(account)) {
        editor_ = host_.open();
        fillHeader(*editor_);
        rows_ = editor_->GridRecordset();
        rows_->MoveFirst();
        rows_->Find("CONTOPDC = '" + account_ + "'");
        if (rows_->Eof()) throw std::runtime_error("row " + account_ + " not in the grid");
        position_ = rows_->AbsolutePosition();
    }
    ~EditorSaver() { editor_->close(); }

    // Save number `i`; its wall-clock seconds.
    double save(long i) {
        rows_->setAbsolutePosition(position_);
        auto& box = editor_->get<kit::CoinAccountBox>("TXT_CONTOCOIN");
        box.FocusInput();
        box.enterText(kTypedAccounts[i % 2]);
        const auto start = std::chrono::steady_clock::now();
        editor_->keyDown(kit::keys::Down);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    // A message the saves showed ("" when none).
    std::string shown() {
        const auto shown = host_.dialogs->takeShown();
        return shown.empty() ? "" : std::to_string(shown.front().code) + " " + shown.front().text;
    }
    static std::string historyProblem() { return journal::session().historyProblem(); }

private:
    EditorHost host_;
    std::string account_;
    std::shared_ptr<editor::FRMCG_CORRRICL> editor_;
    std::shared_ptr<db::Recordset> rows_;
    long position_ = 0;
};

class RawSaver {
public:
    RawSaver(const std::string& conninfo, std::string account) : raw_(conninfo), account_(std::move(account)) {}

    // Save number `i`; its wall-clock seconds. A history row that cannot be written (another
    // session took its step number) is counted, not fatal, as in the editor.
    double save(long i) {
        auto statements = pg::saveStatements(account_, kTypedAccounts[(i + 1) % 2], kTypedAccounts[i % 2]);
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t s = 0; s < statements.size(); ++s) {
            auto& st = statements[s];
            if (s + 1 == pg::kHistoryInsert) {
                const std::string last = raw_.value(st.sql);
                statements[pg::kHistoryInsert].values[0] = std::to_string((last.empty() ? 0 : std::stol(last)) + 1);
            } else if (raw_.run(st.sql, st.values, s == pg::kHistoryInsert) < 0) {
                ++historyLost_;
            }
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    long historyLost() const { return historyLost_; }

private:
    RawPostgres raw_;
    std::string account_;
    long historyLost_ = 0;
};

}  // namespace benchdb
