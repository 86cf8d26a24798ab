// Every case of the golden files translates to its expected text: tests/tsql/golden/ for
// SQLite, tests/tsql/golden-pg/ for PostgreSQL (the same inputs, where both targets have them).

#include "GoldenFile.h"
#include "hostdb/BackendSchema.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

using TranslateFn = db::tsql::Translation (*)(std::string_view, const db::tsql::TranslateOptions&);

std::string translateCase(const tsqltest::GoldenCase& c, TranslateFn translate) {
    try {
        return tsqltest::renderTranslation(translate(c.input, hostdb::translateOptions(c.mainDatabase)));
    } catch (const db::tsql::TranslateError& e) {
        return std::string("error: ") + e.what();
    }
}

void checkGoldenFolder(const char* folder, TranslateFn translate) {
    const auto dir = testsupport::testData(folder);
    int files = 0, cases = 0;
    // BREVANTO_GOLDEN_DUMP=1 prints the actual rendering of every case, to review new cases.
    const bool dump = std::getenv("BREVANTO_GOLDEN_DUMP") != nullptr;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".txt") continue;
        ++files;
        for (const auto& c : tsqltest::readGoldenFile(entry.path())) {
            ++cases;
            const std::string actual = translateCase(c, translate);
            if (dump) std::printf("==== %s\n%s\n", c.name.c_str(), actual.c_str());
            EXPECT_EQ(actual, c.expected) << entry.path().filename().string() << ":" << c.line << " " << c.name;
        }
    }
    EXPECT_GT(files, 0);
    EXPECT_GT(cases, 0);
}

TEST(TsqlGolden, EveryCaseTranslatesToItsExpectedText) {
    checkGoldenFolder("tsql/golden", [](std::string_view tsql, const db::tsql::TranslateOptions& options) {
        return db::tsql::translate(tsql, options);
    });
}

TEST(TsqlGolden, EveryPostgresCaseTranslatesToItsExpectedText) {
    checkGoldenFolder("tsql/golden-pg", db::tsql::translateForPostgres);
}

}  // namespace
