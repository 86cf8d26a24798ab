// Office export: the sections recorded as the module adds them, and the .xlsx written from
// them (a zip with one worksheet holding title, master pairs, detail header and rows).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "standalone/HostEventLog.h"
#include "standalone/OfficeExport.h"
#include "support/TestSupport.h"

using namespace standalone;
using testing::HasSubstr;

namespace {

void fillLikeTheEditor(OfficeExport& e) {
    e.setTitoloMaster("Correlazione PdC contabile - riclassificazione");
    e.addMasterDetail(std::vector<std::string>{"Codice PdC contabile", "Descrizione PdC contabile"},
                      std::vector<db::Variant>{db::Variant("12"), db::Variant("Piano dell'azienda è")},
                      "Campi correlati");
    e.addMasterDetail(std::vector<std::string>{"Conto contabile", "Segno", "Conto riclassificato"},
                      std::vector<std::vector<db::Variant>>{{db::Variant("0101"), db::Variant("Dare"), db::Variant("A.1")},
                                                            {db::Variant("0101"), db::Variant("Avere"), db::Variant()},
                                                            {db::Variant(42), db::Variant(""), db::Variant(1.5)}},
                      "Correlazioni");
}

// The text appears in the sheet's XML, an apostrophe written as is or as &apos;.
bool containsXmlText(const std::string& xml, const std::string& text) {
    std::string escaped;
    for (char c : text) escaped += (c == '\'' ? std::string("&apos;") : std::string(1, c));
    return xml.find(text) != std::string::npos || xml.find(escaped) != std::string::npos;
}

}  // namespace

TEST(OfficeExport, RecordsTitleAndSectionsInOrder) {
    auto log = std::make_shared<HostEventLog>();
    OfficeExport e(log);
    fillLikeTheEditor(e);
    EXPECT_EQ(e.titoloMaster(), "Correlazione PdC contabile - riclassificazione");
    ASSERT_EQ(e.sections().size(), 2u);
    EXPECT_EQ(e.sections()[0].kind, ExportSection::Kind::Master);
    EXPECT_EQ(e.sections()[0].caption, "Campi correlati");
    EXPECT_EQ(e.sections()[0].values[1], db::Variant("Piano dell'azienda è"));
    EXPECT_EQ(e.sections()[1].kind, ExportSection::Kind::Detail);
    EXPECT_EQ(e.sections()[1].rows.size(), 3u);
    EXPECT_EQ(e.sections()[1].rows[1][1], db::Variant("Avere"));
    ASSERT_EQ(log->count("exportSection"), 2u);
    EXPECT_EQ(log->ofKind("exportSection")[1]["rows"], 3);
}

TEST(OfficeExport, WritesAWorkbookWithOneSheetOfTheSections) {
    testsupport::TempDir dir;
    OfficeExport e;
    fillLikeTheEditor(e);
    auto file = dir.path() / "export.xlsx";
    e.writeXlsx(file);
    ASSERT_TRUE(std::filesystem::exists(file));
    std::string bytes = testsupport::readFile(file);
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 2), "PK");

    auto listing = testsupport::runCommand("unzip -Z1 '" + file.string() + "'");
    ASSERT_EQ(listing.exitCode, 0) << listing.err;
    EXPECT_THAT(listing.out, HasSubstr("xl/worksheets/sheet1.xml"));
    EXPECT_THAT(listing.out, testing::Not(HasSubstr("sheet2.xml")));

    // Constant-memory mode writes texts inline in the sheet.
    auto sheet = testsupport::runCommand("unzip -p '" + file.string() + "' xl/worksheets/sheet1.xml");
    ASSERT_EQ(sheet.exitCode, 0) << sheet.err;
    for (std::string text : {"Correlazione PdC contabile - riclassificazione", "Campi correlati", "Codice PdC contabile",
                             "Piano dell'azienda è", "Correlazioni", "Conto contabile", "Avere", "A.1"}) {
        EXPECT_TRUE(containsXmlText(sheet.out, text)) << text;
    }
    // The number 42 and 1.5 are numeric cells, not texts.
    EXPECT_THAT(sheet.out, HasSubstr("<v>42</v>"));
    EXPECT_THAT(sheet.out, HasSubstr("<v>1.5</v>"));
}

TEST(OfficeExport, AnUnwritablePathIsAClearError) {
    OfficeExport e;
    fillLikeTheEditor(e);
    try {
        e.writeXlsx("/nonexistent-folder/sub/export.xlsx");
        FAIL() << "no error";
    } catch (const ExportError& err) {
        EXPECT_THAT(err.what(), HasSubstr("/nonexistent-folder/sub/export.xlsx"));
    }
}
