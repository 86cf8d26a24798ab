#include "ScriptFile.h"

#include "GoldenFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace tsqltest {

namespace {

struct Block {
    std::string directive;
    std::string text;
    std::vector<std::string> expected;
    int line = 0;
};

std::vector<Block> readScript(const std::filesystem::path& file) {
    std::istringstream in(testsupport::readFile(file));
    std::vector<Block> blocks;
    std::string line;
    int lineNo = 0;
    enum { Idle, Text, Rows } state = Idle;
    while (std::getline(in, line)) {
        ++lineNo;
        if (state == Idle) {
            if (line.empty() || line[0] == '#') continue;
            Block b;
            b.directive = line;
            b.line = lineNo;
            blocks.push_back(b);
            state = Text;
            continue;
        }
        if (line.empty()) {
            state = Idle;
            continue;
        }
        Block& b = blocks.back();
        if (state == Text && line == "----") {
            state = Rows;
        } else if (state == Text) {
            if (!b.text.empty()) b.text += "\n";
            b.text += unescape(line);
        } else {
            b.expected.push_back(line);
        }
    }
    return blocks;
}

std::string joinRows(const std::vector<std::string>& rows) {
    std::string s;
    for (const auto& r : rows) s += r + "\n";
    return s;
}

// "a || b": the wording of the target; a text without alternatives is every target's.
std::string wordingFor(const std::string& text, int target) {
    const auto bar = text.find(" || ");
    if (bar == std::string::npos) return text;
    return target == 0 ? text.substr(0, bar) : text.substr(bar + 4);
}

}  // namespace

void runScript(const std::filesystem::path& file, ScriptRunner& runner, int target) {
    for (const Block& b : readScript(file)) {
        const std::string where = file.filename().string() + ":" + std::to_string(b.line);
        long long changes = 0;
        try {
            if (b.directive == "sqlite ok") {
                runner.fixture(b.text);
            } else if (b.directive == "statement ok") {
                runner.run(b.text, changes);
            } else if (b.directive.rfind("statement changes ", 0) == 0) {
                runner.run(b.text, changes);
                EXPECT_EQ(changes, std::stoll(b.directive.substr(18))) << where;
            } else if (b.directive.rfind("statement error ", 0) == 0) {
                const std::string wanted = wordingFor(b.directive.substr(16), target);
                try {
                    runner.run(b.text, changes);
                    ADD_FAILURE() << where << ": no error, expected \"" << wanted << "\"";
                } catch (const std::exception& e) {
                    EXPECT_NE(std::string(e.what()).find(wanted), std::string::npos)
                        << where << ": error \"" << e.what() << "\", expected \"" << wanted << "\"";
                }
            } else if (b.directive == "query") {
                EXPECT_EQ(joinRows(runner.run(b.text, changes)), joinRows(b.expected)) << where;
            } else {
                ADD_FAILURE() << where << ": unknown directive " << b.directive;
            }
        } catch (const std::exception& e) {
            ADD_FAILURE() << where << ": " << e.what();
        }
    }
}

std::vector<std::filesystem::path> scriptFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(testsupport::testData("tsql/scripts")))
        if (entry.path().extension() == ".test") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace tsqltest
