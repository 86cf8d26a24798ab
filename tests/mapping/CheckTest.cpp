// "Verifica correlazioni" on the demo database with rows added or removed where a test needs
// them: each group finds what it should and nothing else, with the reasons a user reads.

#include <gtest/gtest.h>

#include <algorithm>

#include "MappingFixture.h"
#include "db/SqlText.h"
#include "mapping/Check.h"

using mapping::CheckGroup;
using mapping::CheckReport;
using mapping::Finding;

namespace {

class Check : public mappingtest::MappingTest {
protected:
    CheckReport check(const mapping::Scope& scope) { return mapping::checkCorrelations(*conn, load(scope)); }

    static std::vector<Finding> of(const CheckReport& r, CheckGroup group) {
        std::vector<Finding> out;
        std::copy_if(r.findings.begin(), r.findings.end(), std::back_inserter(out),
                     [group](const Finding& f) { return f.group == group; });
        return out;
    }
    static const Finding* find(const CheckReport& r, CheckGroup group, const std::string& account, int sign) {
        for (const auto& f : r.findings)
            if (f.group == group && f.key.account == account && f.key.sign == sign) return &f;
        return nullptr;
    }
    void correlate(const std::string& account, int sign, const std::string& target, const std::string& chart = "10",
                   const std::string& recl = "101") {
        rawExec("DELETE FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = " + chart + " AND CG83_CODICERICL_PC01 = " + recl +
                " AND CG83_CONTO_CG24 = " + db::sqlQuoted(account) + " AND CG83_INDSEGNO = " + std::to_string(sign) +
                "; INSERT INTO CG83_COLLRICL VALUES (" + chart + ", " + db::sqlQuoted(account) + ", " + recl + ", " +
                std::to_string(sign) + ", '" + target + "')");
    }
    static mapping::Scope scope(mapping::CorrelationKind kind, const std::string& chart, const std::string& recl,
                                const std::string& structure = "") {
        mapping::Scope s;
        s.kind = kind;
        s.chart = chart;
        s.reclChart = recl;
        s.intercompany = structure;
        return s;
    }
};

TEST_F(Check, TheDemoChartHasGapsAndPartlyCorrelatedIntermediariesButNothingInvalid) {
    const auto data = load(coge());
    const auto r = mapping::checkCorrelations(*conn, data);
    EXPECT_EQ(r.scope.chart, "10");
    // Every account and sign without a stored target, and nothing else, is missing.
    long withoutDebit = 0, withoutCredit = 0;
    for (const auto& a : data.accounts) {
        withoutDebit += stored(a.code, 1).empty();
        withoutCredit += stored(a.code, 2).empty();
    }
    EXPECT_GT(withoutDebit, 0);
    EXPECT_EQ(r.count(CheckGroup::MissingDebit), withoutDebit);
    EXPECT_EQ(r.count(CheckGroup::MissingCredit), withoutCredit);
    const auto* f = find(r, CheckGroup::MissingCredit, "0101010002", 2);   // correlated in Dare only
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->shownAccount, "01/01/01/0002");
    EXPECT_EQ(find(r, CheckGroup::MissingDebit, "0101010002", 1), nullptr);

    EXPECT_EQ(r.count(CheckGroup::InvalidTarget), 0);
    EXPECT_EQ(r.count(CheckGroup::OrphanCorrelation), 0);
    EXPECT_EQ(r.count(CheckGroup::SignsDiffer), 0);
    EXPECT_TRUE(r.hasProblems());

    // Customers 2, 4, 7 with 4 and 7 in Dare; suppliers 3, 5 with 3 in Avere. Intermediary 0
    // is the master itself and does not count.
    const auto partial = of(r, CheckGroup::PartialIntermediaries);
    ASSERT_EQ(partial.size(), 2u);
    EXPECT_EQ(partial[0].key.account, "1401000000");
    EXPECT_EQ(partial[0].key.sign, 1);
    EXPECT_EQ(partial[0].detail, "2 intermediari su 3 correlati in Dare");
    EXPECT_EQ(partial[0].target, "0202001");
    EXPECT_EQ(partial[1].key.account, "2601000000");
    EXPECT_EQ(partial[1].detail, "1 intermediario su 2 correlato in Avere");

    // Groups come in order, each in the editor's order.
    for (std::size_t i = 1; i < r.findings.size(); ++i)
        EXPECT_LE(static_cast<int>(r.findings[i - 1].group), static_cast<int>(r.findings[i].group));
}

TEST_F(Check, StoredTargetsTheTypingRulesNowRefuseCarryTheRefusal) {
    correlate("6001010001", 2, "0101001");      // a profit-and-loss account to a balance-sheet one
    correlate("0101010001", 1, "0601001");      // and the other way round
    rawExec("DELETE FROM PC03_ANAGPDC WHERE PC03_CODICE_PC01 = 101 AND PC03_CONTO = '0204001'");
    rawExec("UPDATE PC03_ANAGPDC SET PC03_INDANALITICO = 0 WHERE PC03_CODICE_PC01 = 101 AND PC03_CONTO = '0301001'");
    // Both masters on the same higher-level account: each refused because of the other.
    correlate("1401000000", 2, "0202");
    correlate("2601000000", 1, "0202");

    const auto r = check(coge());
    const auto invalid = of(r, CheckGroup::InvalidTarget);
    auto detail = [&](const std::string& account, int sign) {
        const auto* f = find(r, CheckGroup::InvalidTarget, account, sign);
        return f ? f->detail : std::string("<none>");
    };
    EXPECT_EQ(detail("6001010001", 2), "Conto non economico.");
    EXPECT_EQ(detail("0101010001", 1), "Conto non patrimoniale.");
    EXPECT_EQ(detail("1801010001", 1), "Conto inesistente.");
    EXPECT_EQ(detail("1801010001", 2), "Conto inesistente.");
    EXPECT_EQ(detail("1801010002", 1), "Conto inesistente.");
    EXPECT_EQ(detail("2001010001", 1), "Correlare un conto analitico.");
    EXPECT_EQ(detail("2001010001", 2), "Correlare un conto analitico.");
    EXPECT_EQ(detail("1401000000", 2), "Il conto 0202 non è valido in quanto è stato correlato al mastro fornitori.");
    EXPECT_EQ(detail("2601000000", 1), "Il conto 0202 non è valido in quanto è stato correlato al mastro clienti.");
    EXPECT_EQ(invalid.size(), 9u);
    const auto* f = find(r, CheckGroup::InvalidTarget, "6001010001", 2);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->target, "0101001");
    EXPECT_FALSE(f->description.empty());
    // The accounts that now differ by sign are reported once each, for both signs.
    const auto* differ = find(r, CheckGroup::SignsDiffer, "6001010001", 0);
    ASSERT_NE(differ, nullptr);
    EXPECT_EQ(differ->detail, "Dare 0701001, Avere 0101001");
}

TEST_F(Check, CorrelationsOfAccountsThatLeftTheChartAreOrphansAccountsOfOtherLevelsAreNot) {
    correlate("9999999999", 1, "0101001");
    correlate("9999999999", 2, "0101001");
    correlate("99'9", 1, "0101001");            // a quote in a stored code
    correlate("0101000000", 1, "0101001");      // a level the editor does not list
    const auto r = check(coge());
    const auto orphans = of(r, CheckGroup::OrphanCorrelation);
    ASSERT_EQ(orphans.size(), 3u);   // by account and sign
    EXPECT_EQ(orphans[0].key.account, "99'9");
    EXPECT_EQ(orphans[1].key.account, "9999999999");
    EXPECT_EQ(orphans[1].key.sign, 1);
    EXPECT_EQ(orphans[1].shownAccount, "99/99/99/9999");
    EXPECT_EQ(orphans[1].target, "0101001");
    EXPECT_EQ(orphans[1].detail, "Il conto non esiste più nel piano dei conti 10");
    EXPECT_EQ(orphans[2].key.sign, 2);
    EXPECT_EQ(find(r, CheckGroup::OrphanCorrelation, "0101000000", 1), nullptr);
    EXPECT_EQ(r.count(CheckGroup::InvalidTarget), 0);
}

TEST_F(Check, ManyOrphansAreFoundWithOneReadOfTheChart) {
    std::string sql = "BEGIN;";
    for (int i = 0; i < 250; ++i)
        sql += "INSERT INTO CG83_COLLRICL VALUES (10, '99" + std::to_string(10000000 + i) + "', 101, 1, '0101001');";
    rawExec(sql + "COMMIT;");
    const auto r = check(coge());
    EXPECT_EQ(r.count(CheckGroup::OrphanCorrelation), 250);
    EXPECT_EQ(find(r, CheckGroup::OrphanCorrelation, "0101000000", 1), nullptr);
}

TEST_F(Check, IntermediariesCountOnlyTheCompanysOwnWithATarget) {
    auto partialDetails = [&] {
        std::vector<std::string> out;
        for (const auto& f : of(check(coge()), CheckGroup::PartialIntermediaries))
            out.push_back(f.key.account + " " + f.detail);
        return out;
    };
    // Customer 2 in Dare completes the customers; rows for intermediary 0 and for one the
    // company does not have do not count.
    rawExec("INSERT INTO CG93_CORRINTERMEDIRICL VALUES (1, 0, 2, 101, 1, '0202001');"
            "INSERT INTO CG93_CORRINTERMEDIRICL VALUES (1, 1, 0, 101, 1, '0501001');"
            "INSERT INTO CG93_CORRINTERMEDIRICL VALUES (1, 1, 9, 101, 1, '0501001');"
            "INSERT INTO CG93_CORRINTERMEDIRICL VALUES (1, 0, 4, 101, 2, '0202001');"
            "INSERT INTO CG93_CORRINTERMEDIRICL VALUES (1, 0, 4, 102, 1, '0202001');");
    EXPECT_EQ(partialDetails(), (std::vector<std::string>{"1401000000 1 intermediario su 3 correlato in Avere",
                                                          "2601000000 1 intermediario su 2 correlato in Avere"}));
    // Another company's correlations are not this company's.
    rawExec("DELETE FROM CG93_CORRINTERMEDIRICL WHERE CG93_INTERMEDIO_CG40 = 3;"
            "INSERT INTO CG93_CORRINTERMEDIRICL VALUES (2, 1, 3, 101, 2, '0501001');");
    EXPECT_EQ(partialDetails(), (std::vector<std::string>{"1401000000 1 intermediario su 3 correlato in Avere"}));
}

TEST_F(Check, ConsReadsTheStructuresCompanyAndChartInItsDatabase) {
    const auto cons = scope(mapping::CorrelationKind::CONS, "", "401", "1");
    auto r = check(cons);
    EXPECT_EQ(r.scope.chart, "80");
    EXPECT_EQ(r.count(CheckGroup::PartialIntermediaries), 0);   // customer 4 and supplier 2: all there
    EXPECT_EQ(r.count(CheckGroup::OrphanCorrelation), 0);

    // A new customer in the group company's own database; the host's copy of the list is not it.
    conn->Execute("INSERT INTO [GRUPPO].dbo.CG40_ANADITTAINTER (CG40_DITTA_CG18, CG40_TIPOCF, CG40_INTERMEDIO, "
                  "CG40_DESCR) VALUES (2, 0, 6, 'Nuovi clienti')");
    rawExec("INSERT INTO CG40_ANADITTAINTER VALUES (2, 1, 8, 'Solo nella copia')");
    // An account only the host's chart 80 has, and one that left both.
    rawExec("INSERT INTO CG24_TABPDC (CG24_GRUPPO_CG10, CG24_CONTO, CG24_DESCR, CG24_INDTIPOCONTO) "
            "VALUES (80, '9898000000', 'Solo nel database principale', 1);"
            "INSERT INTO CGB3_COLLRICLCONS VALUES (1, '9898000000', 401, 1, 'IC101');"
            "INSERT INTO CGB3_COLLRICLCONS VALUES (1, '0101000001', 401, 1, 'IC101');");
    r = check(cons);
    const auto partial = of(r, CheckGroup::PartialIntermediaries);
    ASSERT_EQ(partial.size(), 1u);
    EXPECT_EQ(partial[0].key.account, "1401000000");
    EXPECT_EQ(partial[0].detail, "1 intermediario su 2 correlato in Dare");
    const auto orphans = of(r, CheckGroup::OrphanCorrelation);
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(orphans[0].key.account, "9898000000");
    EXPECT_EQ(orphans[0].detail, "Il conto non esiste più nel piano dei conti 80 del database GRUPPO");
}

TEST_F(Check, AnalyticChartOrphansAndNoIntermediaries) {
    rawExec("INSERT INTO PC07_COLLRICL VALUES (201, '7777777', 102, 1, '20002');"
            "INSERT INTO PC07_COLLRICL VALUES (201, '1001', 102, 1, '20002');");
    const auto r = check(scope(mapping::CorrelationKind::COIN, "201", "102"));
    const auto orphans = of(r, CheckGroup::OrphanCorrelation);
    ASSERT_EQ(orphans.size(), 1u) << (orphans.size() > 1 ? orphans[1].key.account : "");
    EXPECT_EQ(orphans[0].key.account, "7777777");
    EXPECT_EQ(orphans[0].detail, "Il conto non esiste più nel piano dei conti analitico 201");
    EXPECT_EQ(r.count(CheckGroup::PartialIntermediaries), 0);
}

TEST_F(Check, SignsThatDifferAreInformationNotAProblem) {
    mapping::ChartData data;
    data.scope = scope(mapping::CorrelationKind::HYPE, "80", "301");
    data.setAccounts({{"0101000000", "01/0100/0000", "Costi di impianto", 1, -1},
                      {"0201000000", "02/0100/0000", "Terreni", 1, -1}});
    data.setReclAccounts({{"BS1100", {"Immateriali", true, 1}}, {"BS1200", {"Materiali", true, 1}}});
    data.stored = {{{"0101000000", 1}, "BS1100"}, {{"0101000000", 2}, "BS1200"},
                   {{"0201000000", 1}, "BS1200"}, {{"0201000000", 2}, "BS1200"}};
    const auto r = mapping::checkCorrelations(*conn, data);
    ASSERT_EQ(r.findings.size(), 1u);
    EXPECT_EQ(r.findings[0].group, CheckGroup::SignsDiffer);
    EXPECT_EQ(r.findings[0].key.sign, 0);
    EXPECT_EQ(r.count(CheckGroup::SignsDiffer), 1);
    EXPECT_FALSE(r.hasProblems());
    EXPECT_TRUE(mapping::isInformation(CheckGroup::SignsDiffer));
    EXPECT_STREQ(mapping::groupTitle(CheckGroup::SignsDiffer),
                 "Conti con correlazioni diverse in Dare e in Avere (informazione)");
}

}  // namespace
