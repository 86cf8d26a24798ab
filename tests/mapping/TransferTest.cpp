// The round trip through a file: an export read back changes nothing; a file edited in a
// spreadsheet is compared row by row, refused rows say why, and `correlations import` writes
// only with --apply.

#include <gmock/gmock.h>

#include <fstream>

#include "mapping/Transfer.h"
#include "MappingFixture.h"
#include "SheetFiles.h"

using namespace mapping;
using testing::HasSubstr;

namespace {

class TransferTest : public mappingtest::MappingTest {
protected:
    // The export of COGE 10/101 with `edit` applied to its rows, written to `name`.
    std::filesystem::path editedExport(const std::string& name, const std::function<void(std::vector<SheetRow>&)>& edit) {
        auto rows = exportRows(load(coge()));
        edit(rows);
        auto file = dir.path() / name;
        writeCorrelationFile(file, rows);
        return file;
    }
    static SheetRow& rowOf(std::vector<SheetRow>& rows, const std::string& account, const std::string& sign) {
        for (auto& r : rows)
            if (r.account == account && r.sign == sign) return r;
        throw std::runtime_error("no row " + account);
    }
    testsupport::CommandResult cli(const std::string& args) const {
        return testsupport::runCommand(std::string(BREVANTO_CLI) + " correlations " + args + " --dir '" + dir.str() + "'");
    }
};

}  // namespace

TEST_F(TransferTest, AnUnchangedExportReadsBackAsNothingToDoInBothFormats) {
    ChartData data = load(coge());
    for (const char* name : {"c.xlsx", "c.csv"}) {
        const auto file = dir.path() / name;
        EXPECT_EQ(exportCorrelations(data, file), static_cast<long>(data.accounts.size() * 2));
        ImportPreview preview = previewImport(*conn, file, data.scope);
        ASSERT_TRUE(preview.fileProblems.empty()) << preview.fileProblems.front();
        EXPECT_EQ(preview.plan.count(RowStatus::Unchanged), static_cast<long>(data.accounts.size() * 2)) << name;
        EXPECT_EQ(preview.plan.writes(), 0) << name;
        EXPECT_FALSE(preview.applicable());
    }
}

TEST_F(TransferTest, EditedRowsBecomeAPlanWithReasonsPerRow) {
    auto file = editedExport("edit.csv", [](std::vector<SheetRow>& rows) {
        rowOf(rows, "0101010002", "Avere").target = "0101002";
        rowOf(rows, "0101010001", "Dare").target = "elimina";
        rowOf(rows, "0101010001", "Avere").target = "";              // keeps what is stored
        rowOf(rows, "7001010001", "Dare").target = "0201001";        // wrong type
        rowOf(rows, "7001010002", "Dare").sign = "Forse";
        rowOf(rows, "7001010003", "Dare").kind = "HYPE";
        rows.push_back(rowOf(rows, "0101010002", "Avere"));          // said twice
    });
    ImportPreview preview = previewImport(*conn, file, coge());
    ASSERT_TRUE(preview.fileProblems.empty());
    const Plan& plan = preview.plan;
    auto line = [&](int n) -> const PlanRow& {
        for (const auto& r : plan.rows)
            if (r.line == n) return r;
        throw std::runtime_error("no line");
    };
    EXPECT_EQ(plan.count(RowStatus::Removed), 1);
    EXPECT_EQ(plan.count(RowStatus::Added), 0);   // the duplicate refuses both rows of the key
    EXPECT_EQ(plan.count(RowStatus::Refused), 5);
    const int last = static_cast<int>(plan.rows.size()) + 1;
    EXPECT_THAT(line(last).reason, HasSubstr("compare più volte in Avere (righe 5, " + std::to_string(last) + ")"));
    EXPECT_EQ(line(3).status, RowStatus::Unchanged);
    bool sawType = false, sawSign = false, sawScope = false;
    for (const auto& r : plan.rows) {
        sawType |= r.reason == "Conto non economico." && r.wanted == "0201001";
        sawSign |= r.reason == "Segno \"Forse\" non valido: indicare Dare o Avere.";
        sawScope |= r.reason.find("è di un'altra correlazione (HYPE, PdC 10") != std::string::npos;
    }
    EXPECT_TRUE(sawType && sawSign && sawScope);
}

TEST_F(TransferTest, AFileOfAnotherScopeOrUnreadableIsRefusedWhole) {
    auto file = editedExport("other.csv", [](auto&) {});
    ImportPreview other = previewImport(*conn, file, coge("10", "103"));
    ASSERT_EQ(other.fileProblems.size(), 1u);
    EXPECT_THAT(other.fileProblems[0], HasSubstr("non di COGE, PdC 10, PdC di riclassificazione 103"));
    EXPECT_FALSE(other.applicable());

    mappingtest::writeBytes(dir.path() / "bad.csv", "Conto;Segno\n1;Dare\n");
    EXPECT_THAT(previewImport(*conn, dir.path() / "bad.csv", std::nullopt).fileProblems.at(0), HasSubstr("Colonne mancanti"));
}

TEST_F(TransferTest, TheCommandShowsTheDiffAndWritesOnlyWithApply) {
    auto file = editedExport("edit.xlsx", [](std::vector<SheetRow>& rows) {
        rowOf(rows, "0101010002", "Avere").target = "0101002";
        rowOf(rows, "7001010001", "Dare").target = "9'9";
    });
    const long before = storedCount();
    auto preview = cli("import '" + file.string() + "'");
    EXPECT_EQ(preview.exitCode, 0) << preview.err;
    EXPECT_THAT(preview.out, HasSubstr("1 aggiunta, 0 modificate, 0 eliminate, 100 invariate, 1 rifiutata"));
    EXPECT_THAT(preview.out, HasSubstr("9'9      Rifiutata  Conto inesistente."));
    EXPECT_THAT(preview.out, HasSubstr("Anteprima: nulla è stato scritto. Aggiungere --apply per scrivere le 1 correlazioni"));
    EXPECT_EQ(storedCount(), before);

    auto applied = cli("import --apply --json '" + file.string() + "'");
    EXPECT_EQ(applied.exitCode, 0) << applied.err;
    EXPECT_THAT(applied.out, HasSubstr("\"scritte\": 1"));
    EXPECT_EQ(stored("0101010002", 2), "0101002");
    EXPECT_EQ(storedCount(), before + 1);

    auto exported = cli("export --kind coge --pdc 99 --ricl 101 --out '" + (dir.path() / "x.csv").string() + "'");
    EXPECT_EQ(exported.exitCode, 1);
    EXPECT_THAT(exported.err, HasSubstr("Il piano dei conti 99 non esiste."));
    auto missing = cli("import '" + (dir.path() / "nessuno.csv").string() + "'");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_THAT(missing.err, HasSubstr("nulla è stato scritto"));
}
