// Wanted correlations compared with the stored ones and applied: every row gets the rules of
// typing, and the database takes the whole plan or nothing.

#include <gmock/gmock.h>

#include "db/Error.h"
#include "apps/cli/WorkingRows.h"
#include "mapping/BulkFill.h"
#include "mapping/Plan.h"
#include "MappingFixture.h"

using namespace mapping;
using testing::HasSubstr;

namespace {

class PlanTest : public mappingtest::MappingTest {
protected:
    static Desired want(const std::string& account, int sign, const std::string& target, int line = 0) {
        return Desired{line, Key{account, sign}, target, false, {}};
    }
    static const PlanRow& rowOf(const Plan& plan, const std::string& account, int sign) {
        for (const auto& r : plan.rows)
            if (r.key.account == account && r.key.sign == sign) return r;
        throw std::runtime_error("no plan row for " + account);
    }
};

}  // namespace

TEST_F(PlanTest, EveryRuleOfTypingRefusesItsRowWithTheEditorsMessage) {
    ChartData data = load(coge());
    Plan plan = makePlan(data, {
                                   want("0101010002", 2, "0101002"),   // valid: added
                                   want("0101010002", 1, "0101003"),   // valid: replaces 0101002
                                   want("7001010002", 2, "9999999"),   // no such account
                                   want("0101010001", 2, "0201"),      // not analytic
                                   want("7001010001", 1, "0201001"),   // balance sheet for a P&L account
                                   want("9001010001", 1, "0201001"),   // memorandum account
                                   want("0101010001", 1, "0101001"),   // what it holds already
                                   want("9999999999", 1, "0201001"),   // not an account of the chart
                                   want("0'1", 1, "0'1"),              // quotes never reach a statement
                               });
    EXPECT_EQ(rowOf(plan, "0101010002", 2).status, RowStatus::Added);
    EXPECT_EQ(rowOf(plan, "0101010002", 2).afterDescription, "Software e brevetti");
    EXPECT_EQ(rowOf(plan, "0101010002", 1).status, RowStatus::Changed);
    EXPECT_EQ(rowOf(plan, "0101010002", 1).before, "0101002");
    EXPECT_EQ(rowOf(plan, "0101010001", 1).status, RowStatus::Unchanged);
    const auto& missing = rowOf(plan, "0101010001", 2);
    EXPECT_EQ(missing.status, RowStatus::Refused);
    EXPECT_EQ(missing.reason, "Correlare un conto analitico.");
    EXPECT_EQ(rowOf(plan, "7001010001", 1).reason, "Conto non economico.");
    EXPECT_EQ(rowOf(plan, "9001010001", 1).reason, "Conto non d'ordine.");
    EXPECT_EQ(plan.rows[2].reason, "Conto inesistente.");
    EXPECT_EQ(plan.rows[2].message, 114);
    EXPECT_THAT(rowOf(plan, "9999999999", 1).reason, HasSubstr("non è tra i conti da correlare"));
    EXPECT_EQ(rowOf(plan, "0'1", 1).status, RowStatus::Refused);
    EXPECT_EQ(plan.count(RowStatus::Refused), 6);
    EXPECT_EQ(plan.writes(), 2);
    EXPECT_EQ(plan.summary(), "1 aggiunta, 1 modificata, 0 eliminate, 1 invariata, 6 rifiutate");

    const long before = storedCount();
    EXPECT_EQ(applyPlan(*conn, plan), 2);
    EXPECT_EQ(stored("0101010002", 2), "0101002");
    EXPECT_EQ(stored("0101010002", 1), "0101003");
    EXPECT_EQ(stored("0101010001", 2), "0101001");   // the refused row kept what it had
    EXPECT_EQ(storedCount(), before + 1);
}

TEST_F(PlanTest, MastersMayTakeAHigherAccountThatTheOtherMasterDoesNotHold) {
    ChartData data = load(coge());
    ASSERT_EQ(data.customersMaster, "1401000000");
    ASSERT_EQ(data.suppliersMaster, "2601000000");
    // Alone, a master takes the aggregate account; both masters wanting it refuse each other.
    Plan alone = makePlan(data, {want("1401000000", 1, "0202")});
    EXPECT_EQ(alone.rows[0].status, RowStatus::Changed);
    Plan both = makePlan(data, {want("1401000000", 1, "0202"), want("2601000000", 2, "0202")});
    EXPECT_EQ(both.rows[0].reason, "Il conto 0202 non è valido in quanto è stato correlato al mastro fornitori.");
    EXPECT_EQ(both.rows[1].reason, "Il conto 0202 non è valido in quanto è stato correlato al mastro clienti.");
    EXPECT_EQ(both.rows[1].message, 115);
    // An ordinary account never takes an aggregate one.
    EXPECT_EQ(makePlan(data, {want("0101010002", 1, "0202")}).rows[0].message, 110);
}

TEST_F(PlanTest, RemovalsOnlyWhenAskedAndDuplicatesRefusedTogether) {
    ChartData data = load(coge());
    Desired remove{3, Key{"0101010001", 1}, "", true, {}};
    Desired removeNothing{4, Key{"0101010002", 2}, "", true, {}};
    Plan plan = makePlan(data, {remove, removeNothing, want("0101010001", 2, "", 5), want("7001010001", 2, "0601001", 6),
                                want("7001010001", 2, "0601002", 9)});
    EXPECT_EQ(plan.rows[0].status, RowStatus::Removed);
    EXPECT_EQ(plan.rows[1].status, RowStatus::Unchanged);
    EXPECT_EQ(plan.rows[2].status, RowStatus::Unchanged);   // an empty target keeps the stored one
    EXPECT_EQ(plan.rows[2].after, "0101001");
    EXPECT_THAT(plan.rows[3].reason, HasSubstr("compare più volte in Avere (righe 6, 9)"));
    EXPECT_EQ(plan.rows[4].status, RowStatus::Refused);

    applyPlan(*conn, plan);
    EXPECT_EQ(stored("0101010001", 1), "");
    EXPECT_EQ(stored("0101010001", 2), "0101001");
    EXPECT_EQ(stored("7001010001", 2), "");
}

TEST_F(PlanTest, AChangeMadeAfterThePreviewRefusesTheWholePlan) {
    ChartData data = load(coge());
    Plan plan = makePlan(data, {want("0101010002", 2, "0101002"), want("7001010001", 1, "0601002")});
    ASSERT_EQ(plan.writes(), 2);
    rawExec("INSERT INTO CG83_COLLRICL (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_CONTORICL_PC03, "
            "CG83_INDSEGNO) VALUES (10, '0101010002', 101, '0101003', 2)");   // someone else
    try {
        applyPlan(*conn, plan);
        FAIL() << "applied over another user's change";
    } catch (const PlanOutdated& e) {
        EXPECT_THAT(e.what(), HasSubstr("il conto 0101010002 in Avere"));
    }
    EXPECT_EQ(stored("0101010002", 2), "0101003");
    EXPECT_NE(stored("7001010001", 1), "0601002");
    EXPECT_FALSE(conn->inTransaction());
    // The connection goes on working.
    EXPECT_EQ(applyPlan(*conn, makePlan(load(coge()), {want("7001010001", 1, "0601002")})), 1);
}

TEST_F(PlanTest, AFailingWriteLeavesEveryRowAsItWas) {
    ChartData data = load(coge());
    Plan plan = makePlan(data, {want("0101010002", 2, "0101002"), want("7001010001", 1, "0601002"),
                                Desired{0, Key{"0101010001", 1}, "", true, {}}});
    ASSERT_EQ(plan.writes(), 3);
    rawExec("CREATE TRIGGER refuse BEFORE INSERT ON CG83_COLLRICL WHEN NEW.CG83_CONTO_CG24 = '7001010001' "
            "BEGIN SELECT RAISE(ABORT, 'rifiutato dal database'); END");
    const long before = storedCount();
    EXPECT_THROW(applyPlan(*conn, plan), db::Error);
    EXPECT_EQ(storedCount(), before);
    EXPECT_EQ(stored("0101010001", 1), "0101001");   // the removal went back too
    EXPECT_EQ(stored("0101010002", 2), "");
    EXPECT_FALSE(conn->inTransaction());
}

TEST_F(PlanTest, BulkFillsProposeOnlyWhatTheyMayAndThePlanChecksIt) {
    ChartData data = load(coge());
    // Debit to credit where credit is empty: every such account, nothing else.
    auto copies = copyOtherSign(data, 1);
    ASSERT_FALSE(copies.empty());
    for (const auto& d : copies) {
        EXPECT_EQ(d.key.sign, 2);
        EXPECT_EQ(data.storedTarget(d.key), "");
        EXPECT_EQ(d.target, data.storedTarget(Key{d.key.account, 1}));
    }
    Plan plan = makePlan(data, copies);
    EXPECT_EQ(plan.count(RowStatus::Added), static_cast<long>(copies.size()));
    applyPlan(*conn, plan);
    EXPECT_TRUE(copyOtherSign(load(coge()), 1).empty());

    // One target for chosen rows: the rules still apply row by row.
    Plan assigned = makePlan(load(coge()), assignTarget({Key{"7001010001", 1}, Key{"7001010002", 1}, Key{"0101010002", 1}},
                                                       " 0601002 "));
    EXPECT_EQ(assigned.rows[0].status, RowStatus::Changed);
    EXPECT_EQ(assigned.rows[1].after, "0601002");
    EXPECT_EQ(assigned.rows[2].reason, "Conto non patrimoniale.");
}

TEST_F(PlanTest, CopyFromAnotherReclassificationChartMapsTheSameCodes) {
    // Chart 10 on a copy of chart 101: reading the source never touches the target scope.
    rawExec("INSERT INTO PC01_DESCRPDC (PC01_CODICE, PC01_DESCR, PC01_INDTIPOPDC) VALUES (109, 'Copia', 3)");
    rawExec("INSERT INTO PC02_CONFIGPDC (PC02_CODICE_PC01) VALUES (109)");
    rawExec("INSERT INTO PC03_ANAGPDC SELECT 109, PC03_CONTO, PC03_DESCR, PC03_INDANALITICO, PC03_INDTIPOCONTO "
            "FROM PC03_ANAGPDC WHERE PC03_CODICE_PC01 = 101");
    Scope target = coge("10", "109");
    ChartData data = load(target);
    EXPECT_TRUE(data.stored.empty());
    auto source = readCopySource(*conn, target, CopySource{CopySource::From::ReclChart, "101"});
    EXPECT_EQ(source.size(), static_cast<std::size_t>(storedCount()));
    Plan plan = makePlan(data, copyFrom(data, source, false));
    EXPECT_EQ(plan.count(RowStatus::Refused), 0);
    EXPECT_EQ(applyPlan(*conn, plan), storedCount());
    EXPECT_EQ(storedCount("10", "109"), storedCount());

    EXPECT_THROW(readCopySource(*conn, target, CopySource{CopySource::From::ReclChart, "109"}), ScopeRefused);
    EXPECT_THROW(readCopySource(*conn, target, CopySource{CopySource::From::LedgerChart, "1; DROP"}), ScopeRefused);
    EXPECT_THROW(readCopySource(*conn, target, CopySource{CopySource::From::Database, "a]b"}), ScopeRefused);
}

TEST_F(PlanTest, TheAccountsAreTheOnesTheEditorLists) {
    struct Case {
        CorrelationKind kind;
        const char *chart, *recl, *structure;
    };
    for (const Case& c : {Case{CorrelationKind::COGE, "10", "101", ""}, Case{CorrelationKind::HYPE, "80", "301", ""},
                          Case{CorrelationKind::CONS, "", "401", "1"}, Case{CorrelationKind::COIN, "201", "102", ""}}) {
        Scope scope{c.kind, c.chart, c.recl, c.structure, "1"};
        brevanto::cli::ListRequest request;
        request.kind = static_cast<brevanto::cli::Kind>(static_cast<int>(c.kind));
        request.chart = c.chart;
        request.reclChart = c.recl;
        request.intercompany = c.structure;
        auto listed = brevanto::cli::loadWorkingRows(*conn, request);
        std::vector<std::string> editor, loaded;
        for (const auto& row : listed.rows)
            if (row.segno == 1) editor.push_back(row.contoPdc + "|" + row.displayCode + "|" + std::to_string(row.tipoCF.value_or(-1)));
        for (const auto& a : load(scope).accounts)
            loaded.push_back(a.code + "|" + a.shownCode + "|" + std::to_string(a.customerSupplier));
        EXPECT_FALSE(editor.empty()) << kindName(c.kind);
        EXPECT_EQ(loaded, editor) << kindName(c.kind);
    }
}
