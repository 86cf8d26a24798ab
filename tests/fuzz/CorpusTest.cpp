// Every seed of the fuzzers and every input that ever broke one, through the same oracles the
// fuzzers check, without libFuzzer: the properties hold in every build.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "FuzzOracles.h"
#include "support/TestSupport.h"

namespace {

void runFolder(const std::string& harness, const std::function<void(std::string_view)>& oracle) {
    int files = 0;
    for (const char* kind : {"corpus", "regressions"}) {
        const auto dir = testsupport::testData("fuzz") / kind / harness;
        if (!std::filesystem::exists(dir)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::stringstream bytes;
            bytes << in.rdbuf();
            ++files;
            try {
                oracle(bytes.str());
            } catch (const std::exception& e) {
                ADD_FAILURE() << entry.path() << ": " << e.what();
            }
        }
    }
    EXPECT_GT(files, 0) << harness;
}

TEST(FuzzCorpus, Translator) { runFolder("translator", fuzzoracle::translator); }
TEST(FuzzCorpus, Criteria) { runFolder("criteria", fuzzoracle::criteria); }
TEST(FuzzCorpus, ConnectionString) { runFolder("connection_string", fuzzoracle::connectionString); }
TEST(FuzzCorpus, Automation) { runFolder("automation", fuzzoracle::automation); }

// Too large for a committed file: writing back the id of this request exhausted the stack.
TEST(FuzzCorpus, AutomationRefusesADeeplyNestedRequest) {
    const int depth = 300000;
    const std::string line = "{\"cmd\":\"windows\",\"id\":" + std::string(depth, '[') + std::string(depth, ']') + "}\n";
    EXPECT_NO_THROW(fuzzoracle::automation(line + "{\"cmd\":\"windows\",\"id\":7}\n"));
}

}  // namespace
