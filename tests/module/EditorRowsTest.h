#pragma once
// The correlation editor with a database of its own per test: the rows tests write
// correlations, so each gets a fresh copy of a pristine demo database (made once per test
// binary by the command-line tool, then copied file by file; on PostgreSQL a database made
// from the server's demo template). The fixtures run on SQLite; OnEveryServer<F> runs a
// fixture's TEST_P on SQLite and on PostgreSQL, which skips without a server.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ModuleTestHost.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "support/PostgresTestDatabase.h"
#include "support/TestSupport.h"

namespace rowstest {

using editor::CorrelationKind;
using editor::FRMCG_CORRRICL;

inline const std::string& pristineDemo() {
    static const std::string folder = [] {
        static const testsupport::TempDir d;   // removed when the process ends, never opened
        auto r = testsupport::runCommand(std::string(BREVANTO_CLI) + " db init --dir '" + d.str() + "' --demo");
        if (r.exitCode != 0) throw std::runtime_error("db init failed: " + r.err);
        return d.str();
    }();
    return folder;
}

enum class Server { SQLite, PostgreSQL };

inline std::string serverName(const testing::TestParamInfo<Server>& info) {
    return info.param == Server::SQLite ? "SQLite" : "PostgreSQL";
}

class EditorRows : public moduletest::ModuleHost {
protected:
    void SetUp() override {
        ModuleHost::SetUp();
        if (server_ == Server::PostgreSQL) {
            if (testsupport::postgresServer().empty()) GTEST_SKIP() << "no PostgreSQL server";
            postgres_ = std::make_unique<testsupport::PostgresTestDatabase>(testsupport::PostgresTestDatabase::Content::Demo);
            connectionString_ = postgres_->connectionString();
        } else {
            for (const auto& f : std::filesystem::directory_iterator(pristineDemo()))
                std::filesystem::copy_file(f.path(), dir_.path() / f.path().filename());
            connectionString_ = "Provider=SQLite;database=BREVANTO;Data Source=" + dir_.str();
        }
        host = newHost(dialogs, events);
        navigator = host.newNavigator();
    }

    // Another host on the test's database, as a second user's program would be.
    standalone::StandaloneHost newHost(std::shared_ptr<standalone::ScriptedDialogs> d,
                                       std::shared_ptr<standalone::HostEventLog> log) const {
        standalone::Settings settings;
        settings.connectionString = connectionString();
        settings.companyCode = 1;
        settings.ledgerLevels = 4;
        return standalone::StandaloneHost::create(settings, std::move(d), std::move(log));
    }

    const std::string& connectionString() const { return connectionString_; }
    bool onPostgres() const { return server_ == Server::PostgreSQL; }

    // A statement on the test's database behind the editor's back.
    void sql(const std::string& statement) {
        auto c = db::Connection::create();
        c->Open(connectionString());
        c->Execute(statement);
        c->Close();
    }
    // The target account stored for (chart, account, recl chart, sign) in CG83_COLLRICL, or
    // "<none>".
    std::string stored(const std::string& table, const std::string& where) {
        return testsupport::queryValue(connectionString(), "SELECT * FROM " + table + " WHERE " + where, 4);
    }
    std::string storedCoge(const std::string& account, int sign, int chart = 10, int recl = 101) {
        return stored("CG83_COLLRICL", "CG83_CODICE_CG10 = " + std::to_string(chart) + " AND CG83_CONTO_CG24 = '" +
                                           account + "' AND CG83_CODICERICL_PC01 = " + std::to_string(recl) +
                                           " AND CG83_INDSEGNO = " + std::to_string(sign));
    }

    std::shared_ptr<FRMCG_CORRRICL> openKind(CorrelationKind kind) {
        auto ed = open(entryFor(kind));
        if (ed) {
            takeSql();
            dialogs->takeShown();
        }
        return ed;
    }

    // Fills the header as a user does: the chart to reclassify, Tab, the reclassification
    // chart, Tab (which confirms it and fills the grid).
    void fillHeader(FRMCG_CORRRICL& ed, const std::string& pdc, const std::string& ricl) {
        auto& pdcBox = ed.get("TXT_CODICE_PDC");
        ASSERT_TRUE(ed.setFocus(pdcBox));
        pdcBox.enterText("");   // typed anew, so that an unchanged code is confirmed again
        pdcBox.enterText(pdc);
        ed.keyDown(kit::keys::Tab);
        auto& riclBox = ed.get("TXT_CODICE_RICL");
        ASSERT_TRUE(ed.setFocus(riclBox));
        riclBox.enterText("");
        riclBox.enterText(ricl);
        ed.keyDown(kit::keys::Tab);
    }
    std::shared_ptr<FRMCG_CORRRICL> openFilled(CorrelationKind kind, const std::string& pdc, const std::string& ricl) {
        auto ed = openKind(kind);
        if (!ed) return ed;
        fillHeader(*ed, pdc, ricl);
        takeSql();
        return ed;
    }

    static kit::QueryGrid& grid(FRMCG_CORRRICL& ed) { return ed.get<kit::QueryGrid>("GRID_CORRPDC"); }
    static kit::CoinAccountBox& box(FRMCG_CORRRICL& ed) { return ed.get<kit::CoinAccountBox>("TXT_CONTOCOIN"); }
    static std::string focused(FRMCG_CORRRICL& ed) { return ed.focused() ? ed.focused()->name() : "<none>"; }
    static db::Variant cell(FRMCG_CORRRICL& ed, const char* field) { return ed.GridRecordset()->value(field); }
    static long position(FRMCG_CORRRICL& ed) { return ed.GridRecordset()->AbsolutePosition(); }
    // A field of a grid row (0-based) read without moving the cursor (a move would show the
    // row and could pre-fill it).
    static db::Variant rowCell(FRMCG_CORRRICL& ed, long row, const char* field) {
        auto rs = ed.GridRecordset();
        return rs->viewRow(row)[*rs->fields().indexOf(field)];
    }
    // Clicks a button as a user does: the focus goes to it first.
    static bool clickButton(FRMCG_CORRRICL& ed, const std::string& name) {
        auto& b = ed.get<kit::MenuButton>(name);
        if (!ed.setFocus(b)) return false;
        return b.click();
    }

    // 0-based grid row of an account's sign row, -1 when not listed.
    static long rowOf(FRMCG_CORRRICL& ed, const std::string& account, int sign) {
        auto rs = ed.GridRecordset();
        auto conto = rs->fields().indexOf("CONTOPDC");
        auto segno = rs->fields().indexOf("SEGNO");
        for (long i = 0; i < rs->viewSize(); ++i) {
            const auto& row = rs->viewRow(i);
            if (row[*conto].toText() == account && row[*segno].toInt32() == sign) return i;
        }
        return -1;
    }
    // Clicks the grid row of an account's sign and puts the focus into the account box.
    void goTo(FRMCG_CORRRICL& ed, const std::string& account, int sign) {
        long r = rowOf(ed, account, sign);
        ASSERT_GE(r, 0) << account;
        ASSERT_TRUE(grid(ed).clickRow(r));
        ASSERT_TRUE(box(ed).FocusInput());
        takeSql();
    }
    // Types into the account box and presses a key there.
    void typeAndPress(FRMCG_CORRRICL& ed, const std::string& text, int key) {
        ASSERT_TRUE(box(ed).FocusInput());
        box(ed).enterText(text);
        ed.keyDown(key);
    }

    // Statements that write a correlation table, in order.
    std::vector<std::string> writes() {
        std::vector<std::string> out;
        for (auto& s : takeSql())
            if (s.find("INSERT INTO") != std::string::npos || s.find("UPDATE ") != std::string::npos ||
                s.find("DELETE FROM") != std::string::npos)
                out.push_back(s);
        return out;
    }

    Server server_ = Server::SQLite;
    testsupport::TempDir dir_;

private:
    std::unique_ptr<testsupport::PostgresTestDatabase> postgres_;
    std::string connectionString_;
};

// A fixture whose TEST_P run once per database server (see ON_EVERY_SERVER).
template <class Fixture>
class OnEveryServer : public Fixture, public testing::WithParamInterface<Server> {
protected:
    void SetUp() override {
        this->server_ = this->GetParam();
        Fixture::SetUp();
    }
};

}  // namespace rowstest

#define ON_EVERY_SERVER(Suite)                                                                                  \
    INSTANTIATE_TEST_SUITE_P(Servers, Suite, testing::Values(rowstest::Server::SQLite, rowstest::Server::PostgreSQL), \
                             rowstest::serverName)
