#pragma once
// The intermediaries editor opened from a correlation editor on a database of its own per
// test: helpers to open the window from a master row through the intermediaries button (the
// test window system runs the test's code inside the modal window), to find, click and type
// into its rows as a user does, and to read the intermediary correlation tables.

#include <functional>

#include "EditorRowsTest.h"
#include "intermedi/FRMCG_CORRINTERMEDI.h"
#include "support/TestSupport.h"

namespace intermeditest {

using intermedi::FRMCG_CORRINTERMEDI;
using rowstest::CorrelationKind;
using rowstest::FRMCG_CORRRICL;

class IntermediHost : public rowstest::EditorRows {
protected:
    // Clicks BUT_CORRINTERMEDI of `ed`; `inside` runs in the open window, which the test
    // closes itself (or leaves open: it is then closed with BUT_CHIUDI). Returns whether the
    // window was shown.
    bool openIntermedi(FRMCG_CORRRICL& ed, const std::function<void(FRMCG_CORRINTERMEDI&)>& inside) {
        const auto before = windows.shown().size();
        windows.onModal(FRMCG_CORRINTERMEDI::kFormName, [&](kit::Form& f) {
            auto& w = dynamic_cast<FRMCG_CORRINTERMEDI&>(f);
            inside(w);
            if (w.isOpen()) clickWindowButton(w, "BUT_CHIUDI");
        });
        const bool clicked = clickButton(ed, "BUT_CORRINTERMEDI");
        return clicked && windows.shown().size() > before;
    }

    void fillCons(FRMCG_CORRRICL& ed, const std::string& structure, const std::string& ricl) {
        auto& s = ed.get("TXT_CODINTERCOMPANY");
        ASSERT_TRUE(ed.setFocus(s));
        s.enterText(structure);
        ed.keyDown(kit::keys::Tab);
        auto& r = ed.get("TXT_CODICE_RICL");
        ASSERT_TRUE(ed.setFocus(r));
        r.enterText("");
        r.enterText(ricl);
        ed.keyDown(kit::keys::Tab);
        takeSql();
    }

    // The intercompany database: a file beside the host's on SQLite, a schema of the same
    // database on PostgreSQL.
    std::string groupConnectionString() const {
        return onPostgres() ? connectionString() + ";DefaultSchema=GRUPPO"
                            : "Provider=SQLite;database=GRUPPO;Data Source=" + dir_.str();
    }
    void groupSql(const std::string& statement) {
        auto c = db::Connection::create();
        c->Open(groupConnectionString());
        c->Execute(statement);
        c->Close();
    }

    // The stored account of an intermediary correlation ("<none>" when there is none).
    std::string storedCg93(int company, int tipoCf, int intermediary, int sign, int recl = 101) {
        return storedAccount("SELECT CG93_CONTO_PC03 FROM CG93_CORRINTERMEDIRICL WHERE CG93_DITTA_CG18 = " +
                             std::to_string(company) + " AND CG93_TIPOCF_CG40 = " + std::to_string(tipoCf) +
                             " AND CG93_INTERMEDIO_CG40 = " + std::to_string(intermediary) +
                             " AND CG93_CODICE_PC01 = " + std::to_string(recl) +
                             " AND CG93_INDSEGNO = " + std::to_string(sign));
    }
    std::string storedCgb4(int structure, int tipoCf, int intermediary, int sign, int recl = 401) {
        return storedAccount("SELECT CGB4_CONTO_PC03 FROM CGB4_CORRINTERMEDICONS WHERE CGB4_CODICE_CGC0 = " +
                             std::to_string(structure) + " AND CGB4_TIPOCF_CG40 = " + std::to_string(tipoCf) +
                             " AND CGB4_INTERMEDIO_CG40 = " + std::to_string(intermediary) +
                             " AND CGB4_CODICE_PC01 = " + std::to_string(recl) +
                             " AND CGB4_INDSEGNO = " + std::to_string(sign));
    }
    std::string storedCgb3(const std::string& account, int sign, int structure = 1, int recl = 401) {
        return storedAccount("SELECT CGB3_CONTO_PC03 FROM CGB3_COLLRICLCONS WHERE CGB3_CODICE_CGC0 = " +
                             std::to_string(structure) + " AND CGB3_CONTO_CG24 = '" + account +
                             "' AND CGB3_CODICE_PC01 = " + std::to_string(recl) +
                             " AND CGB3_INDSEGNO = " + std::to_string(sign));
    }
    std::string storedAccount(const std::string& query) {
        return testsupport::queryValue(connectionString(), query);
    }

    // --- inside the window ---
    static kit::QueryGrid& wgrid(FRMCG_CORRINTERMEDI& w) { return w.get<kit::QueryGrid>("QGRID_INTERMEDI"); }
    static kit::CoinAccountBox& wbox(FRMCG_CORRINTERMEDI& w) { return w.get<kit::CoinAccountBox>("TXT_CONTOCOIN"); }
    static db::Variant wcell(FRMCG_CORRINTERMEDI& w, long row, const char* field) {
        auto rs = w.WorkingRecordset();
        return rs->viewRow(row)[*rs->fields().indexOf(field)];
    }
    // 0-based row of a sub-account's sign; the description tells apart rows of one code.
    static long wrow(FRMCG_CORRINTERMEDI& w, const std::string& account, int sign, const std::string& descr = "") {
        auto rs = w.WorkingRecordset();
        if (!rs) return -1;
        for (long i = 0; i < rs->viewSize(); ++i)
            if (wcell(w, i, "CONTOPDC").toText() == account && wcell(w, i, "SEGNO").toInt32() == sign &&
                (descr.empty() || wcell(w, i, "DESCRPDC").toText() == descr))
                return i;
        return -1;
    }
    // A click on a grid row as the desktop does it: the grid takes the focus, then the row.
    static bool wclick(FRMCG_CORRINTERMEDI& w, long row) {
        if (!w.setFocus(wgrid(w))) return false;
        return wgrid(w).clickRow(row);
    }
    static void wtype(FRMCG_CORRINTERMEDI& w, const std::string& text, int key = -1) {
        ASSERT_TRUE(wbox(w).FocusInput());
        wbox(w).enterText(text);
        if (key >= 0) w.keyDown(key);
    }
    static long wposition(FRMCG_CORRINTERMEDI& w) { return w.WorkingRecordset()->AbsolutePosition(); }
    static bool clickWindowButton(kit::Form& w, const std::string& name) {
        auto& b = w.get<kit::MenuButton>(name);
        if (!w.setFocus(b)) return false;
        return b.click();
    }
};

}  // namespace intermeditest
