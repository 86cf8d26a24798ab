// Every case of the golden files under tests/tsql/golden/ translates to its expected text.

#include "GoldenFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

std::string translateCase(const tsqltest::GoldenCase& c) {
    try {
        db::tsql::TranslateOptions options;
        options.mainDatabase = c.mainDatabase;
        return tsqltest::renderTranslation(db::tsql::translate(c.input, options));
    } catch (const db::tsql::TranslateError& e) {
        return std::string("error: ") + e.what();
    }
}

TEST(TsqlGolden, EveryCaseTranslatesToItsExpectedText) {
    const auto dir = testsupport::testData("tsql/golden");
    int files = 0, cases = 0;
    // BREVANTO_GOLDEN_DUMP=1 prints the actual rendering of every case, to review new cases.
    const bool dump = std::getenv("BREVANTO_GOLDEN_DUMP") != nullptr;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".txt") continue;
        ++files;
        for (const auto& c : tsqltest::readGoldenFile(entry.path())) {
            ++cases;
            const std::string actual = translateCase(c);
            if (dump) std::printf("==== %s\n%s\n", c.name.c_str(), actual.c_str());
            EXPECT_EQ(actual, c.expected) << entry.path().filename().string() << ":" << c.line << " " << c.name;
        }
    }
    EXPECT_GT(files, 0);
    EXPECT_GT(cases, 0);
}

}  // namespace
