// Importing a trial balance: every refused row says why and stops the whole import, the
// preview compares with the balance kept at the same date, applying writes all or nothing.

#include <gmock/gmock.h>

#include "BalanceFixture.h"
#include "balances/BalanceStore.h"

using namespace balances;
using balancetest::kDate;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::StartsWith;

namespace {

class BalanceImportTest : public balancetest::BalanceTest {};

}  // namespace

TEST_F(BalanceImportTest, EveryBadRowIsRefusedWithItsReasonAndNothingCanBeApplied) {
    const auto file = csv("bad.csv",
                          "Conto;Descrizione;Dare;Avere\n"
                          "1801010001;Banca;1.000,00;\n"            // 2 fine
                          "9999999999;?;10;0\n"                      // 3 not in chart 10
                          "1801010001;again;5;0\n"                   // 4 duplicate
                          "1801020001;;dieci;0\n"                    // 5 not a number
                          "2001010001;;-5;\n"                        // 6 negative total
                          "18'01;;1;0\n"                             // 7 a quote in the code
                          ";nessun conto;1;0\n"                      // 8 no account
                          "1001010001;;=A1*2;0\n"                    // 9 formula
                          "1001010002;;;\n"                          // 10 no amounts
                          "1401010001;;1.234;0");                    // 11 ambiguous
    const BalancePreview p = preview(file);
    ASSERT_TRUE(p.fileProblems.empty()) << p.fileProblems.front();
    const std::pair<int, const char*> refusals[] = {
        {3, "Conto non presente nel piano dei conti 10"}, {4, "Conto ripetuto: è già alla riga 2"},
        {5, "Importo non numerico nella colonna \"Dare\": \"dieci\""}, {6, "Importo negativo nella colonna \"Dare\""},
        {7, "Conto non presente"}, {8, "Conto mancante"}, {9, "Formula non ammessa nella colonna \"Dare\""},
        {10, "Importi mancanti"}, {11, "Importo ambiguo"}};
    for (const auto& [line, reason] : refusals) {
        const BalanceRow* r = rowOfLine(p, line);
        ASSERT_NE(r, nullptr) << line;
        EXPECT_EQ(r->status, RowStatus::Refused) << line;
        EXPECT_THAT(r->reason, HasSubstr(reason)) << line;
    }
    EXPECT_EQ(rowOfLine(p, 2)->status, RowStatus::Added);
    EXPECT_EQ(p.count(RowStatus::Refused), 9);
    EXPECT_FALSE(p.applicable());
    EXPECT_THAT(p.notes, testing::Contains(HasSubstr("righe rifiutate")));
    EXPECT_THROW(applyBalanceImport(*conn, p), std::logic_error);
    EXPECT_EQ(storedRows(), 0);
}

TEST_F(BalanceImportTest, FilesThatAreNoBalanceAreRefusedWhole) {
    const std::pair<std::string, const char*> files[] = {
        {"Conto;Importo\n1801010001;5", "Colonne in più: \"Importo\""},
        {"Dare;Avere\n1;2", "Colonne mancanti: \"Conto\""},
        {"Conto;Dare\n1801010001;5", "Colonne degli importi mancanti: \"Avere\""},
        {"Conto;Saldo;Dare;Avere\n1801010001;5;5;0", "sia la colonna \"Saldo\""},
        {"Conto;Dare;Avere", "non contiene righe"},
        {"", "vuoto"}};
    int n = 0;
    for (const auto& [text, problem] : files) {
        const auto file = text.empty() ? dir.path() / "empty.csv" : csv("f" + std::to_string(++n) + ".csv", text);
        if (text.empty()) mappingtest::writeBytes(file, "");
        const BalancePreview p = preview(file);
        EXPECT_THAT(p.fileProblems, ElementsAre(HasSubstr(problem))) << text;
        EXPECT_TRUE(p.rows.empty());
        EXPECT_FALSE(p.applicable());
    }
    mappingtest::writeBytes(dir.path() / "latin1.csv", "Conto;Dare;Avere\r\n1801010001;5;0\r\nCaff\xE8;1;0\r\n");
    EXPECT_THAT(preview(dir.path() / "latin1.csv").fileProblems, ElementsAre(HasSubstr("non è in UTF-8")));
    mappingtest::writeBytes(dir.path() / "utf16.csv", std::string("\xFF\xFE" "C\0o\0", 6));
    EXPECT_THAT(preview(dir.path() / "utf16.csv").fileProblems, ElementsAre(HasSubstr("UTF-16")));
    EXPECT_THAT(preview(dir.path() / "none.csv").fileProblems, ElementsAre(HasSubstr("non esiste")));
    mapping::detail::ReadLimits small;   // the correlation files' limits hold here too
    small.maxFileBytes = 16;
    EXPECT_THAT(previewBalanceImport(*conn, csv("big.csv", "Conto;Dare;Avere\n1801010001;5;0"), {1, 10, kDate}, small).fileProblems,
                ElementsAre(HasSubstr("troppo grande")));
    mappingtest::writeBytes(dir.path() / "fake.xlsx", "PK not a workbook");
    EXPECT_THAT(preview(dir.path() / "fake.xlsx").fileProblems, ElementsAre(HasSubstr("non è un file Excel")));
    EXPECT_THAT(preview(csv("ok.csv", "Conto;Dare;Avere\n1801010001;5;0"), "31/12/2026").fileProblems,
                ElementsAre(HasSubstr("Data del bilancio non valida")));
}

TEST_F(BalanceImportTest, ASignedBalanceInAWorkbookGoesToDareOrAvere) {
    const auto file = dir.path() / "saldo.xlsx";
    mappingtest::writeXlsx(file,
                           "<row r=\"1\"><c t=\"inlineStr\"><is><t>conto</t></is></c><c t=\"inlineStr\"><is><t>SALDO</t></is></c>"
                           "<c t=\"inlineStr\"><is><t>Data</t></is></c></row>"
                           "<row r=\"2\"><c><v>1801010001</v></c><c><v>1234.5</v></c><c><v>46387</v></c></row>"
                           "<row r=\"3\"><c t=\"inlineStr\"><is><t>26/01/01/0001</t></is></c><c t=\"inlineStr\"><is><t>-1.234,50</t></is></c>"
                           "<c t=\"inlineStr\"><is><t>31/12/2026</t></is></c></row>"
                           "<row r=\"4\"><c><v>1801020001</v></c><c><v>0</v></c><c t=\"inlineStr\"><is><t>30/06/2026</t></is></c></row>");
    const BalancePreview p = preview(file);
    ASSERT_TRUE(p.fileProblems.empty()) << p.fileProblems.front();
    EXPECT_EQ(rowOfLine(p, 2)->after, (StoredAmounts{123450, 0}));
    EXPECT_EQ(rowOfLine(p, 3)->account, "2601010001");   // written through the chart's mask
    EXPECT_EQ(rowOfLine(p, 3)->after, (StoredAmounts{0, 123450}));
    EXPECT_THAT(rowOfLine(p, 4)->reason, HasSubstr("non è quella del bilancio (31/12/2026)"));
}

TEST_F(BalanceImportTest, AnImportReplacesTheBalanceOfItsDateAndAReimportChangesNothing) {
    const auto first = csv("first.csv", "Conto;Dare;Avere\n1801010001;1.000,00;0\n2601010001;0;600\n1801020001;0,5;0");
    BalancePreview p = preview(first);
    EXPECT_EQ(p.count(RowStatus::Added), 3);
    EXPECT_THAT(p.notes, ElementsAre(StartsWith("Attenzione: il bilancio non quadra. Totale Dare 1.000,50, totale Avere 600,00")));
    EXPECT_EQ(applyBalanceImport(*conn, p), 3);
    EXPECT_EQ(storedAmounts("1801010001"), "1000.00/0.00");
    EXPECT_EQ(storedAmounts("1801020001"), "0.50/0.00");

    p = preview(first);
    EXPECT_EQ(p.count(RowStatus::Unchanged), 3);
    EXPECT_EQ(p.writes(), 0);
    EXPECT_FALSE(p.applicable());

    const auto second = csv("second.csv", "Conto;Dare;Avere\n1801010001;1000;0\n2601010001;0;1.000,50\n1601010001;0,5;");
    p = preview(second);
    EXPECT_EQ(p.summary(), "1 aggiunta, 1 modificata, 1 eliminata, 1 invariata, 0 rifiutate");
    EXPECT_THAT(p.notes, ElementsAre(HasSubstr("sostituisce il bilancio già presente alla stessa data (3 conti)")));
    ASSERT_EQ(p.rows.back().status, RowStatus::Removed);
    EXPECT_EQ(p.rows.back().account, "1801020001");
    EXPECT_EQ(applyBalanceImport(*conn, p), 3);
    EXPECT_EQ(storedRows(), 3);
    EXPECT_EQ(storedAmounts("2601010001"), "0.00/1000.50");
    EXPECT_EQ(storedAmounts("1801020001"), "");
    EXPECT_EQ(storedRows("2025-12-31"), std::stol(scalar("SELECT COUNT(*) FROM BRV_SALDI WHERE BRV_DATA = '2025-12-31'")));
}

TEST_F(BalanceImportTest, AWriteThatFailsMidwayLeavesTheTableAsItWas) {
    ASSERT_EQ(applyBalanceImport(*conn, preview(csv("a.csv", "Conto;Dare;Avere\n1801010001;10;0\n2601010001;0;10"))), 2);
    rawExec("CREATE TRIGGER no_cash BEFORE INSERT ON BRV_SALDI WHEN NEW.BRV_CONTO = '1801020001' "
            "BEGIN SELECT RAISE(ABORT, 'cassa rifiutata'); END");
    const BalancePreview p = preview(csv("b.csv", "Conto;Dare;Avere\n1801010001;20;0\n1001010001;5;0\n1801020001;5;0"));
    ASSERT_TRUE(p.applicable());
    EXPECT_THROW(applyBalanceImport(*conn, p), db::Error);
    EXPECT_EQ(storedRows(), 2);
    EXPECT_EQ(storedAmounts("1801010001"), "10.00/0.00");
    EXPECT_EQ(storedAmounts("2601010001"), "0.00/10.00");
    EXPECT_EQ(storedAmounts("1001010001"), "");
}

TEST_F(BalanceImportTest, ABalanceChangedAfterThePreviewIsNotOverwritten) {
    const BalancePreview p = preview(csv("a.csv", "Conto;Dare;Avere\n1801010001;10;0"));
    rawExec(std::string("INSERT INTO BRV_SALDI VALUES (1, 10, '") + kDate + "', '1801020001', 1, 0)");
    EXPECT_THROW(applyBalanceImport(*conn, p), BalanceOutdated);
    EXPECT_EQ(storedRows(), 1);
}

TEST_F(BalanceImportTest, TheTableIsCreatedOnTheFirstImport) {
    rawExec("DROP TABLE BRV_SALDI");
    EXPECT_TRUE(listBalances(*conn, 1).empty());
    const BalancePreview p = preview(csv("a.csv", "Conto;Dare;Avere\n1801010001;10;0"));
    EXPECT_EQ(p.count(RowStatus::Added), 1);
    EXPECT_THAT(scalar("SELECT COUNT(*) FROM BRV_SALDI"), StartsWith("<error"));   // a preview writes nothing
    EXPECT_EQ(applyBalanceImport(*conn, p), 1);
    EXPECT_EQ(storedRows(), 1);
}

TEST_F(BalanceImportTest, TheDemoKeepsTwoDatesWithABankOnBothSidesAndACustomerInCredit) {
    const auto kept = listBalances(*conn, 1, 10);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].date, "2025-12-31");
    EXPECT_EQ(kept[1].date, "2026-06-30");
    const long leaves = std::stol(scalar("SELECT COUNT(*) FROM CG24_TABPDC WHERE CG24_GRUPPO_CG10 = 10 AND CG24_CONTO NOT LIKE '%0000'"));
    for (const auto& k : kept) {
        EXPECT_GT(k.rows * 10, leaves * 8) << k.date;   // most of the chart's accounts
        EXPECT_EQ(k.debit, k.credit) << k.date;          // a balance that balances
    }
    const auto balanceOf = [&](const char* account, const char* date) {
        return std::stod(scalar(std::string("SELECT BRV_DARE - BRV_AVERE FROM BRV_SALDI WHERE BRV_PDC = 10 AND BRV_CONTO = '") +
                                account + "' AND BRV_DATA = '" + date + "'"));
    };
    EXPECT_GT(balanceOf("1801010002", "2025-12-31"), 0);
    EXPECT_LT(balanceOf("1801010002", "2026-06-30"), 0);
    EXPECT_LT(balanceOf("1401010002", "2026-06-30"), 0);
    // Their credit balance falls on a sign row that is not correlated with chart 101.
    EXPECT_NE(stored("1801010002", 1), "");
    EXPECT_EQ(stored("1801010002", 2), "");
    EXPECT_EQ(stored("1401010002", 2), "");
}
