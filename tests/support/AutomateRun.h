#pragma once
// Runs `brevanto-cli automate` as a user's script would: one request a line in, one JSON reply
// a line out. Test binaries that define BREVANTO_MODULE_FILE load the module built beside them.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace testsupport {

struct AutomateResult {
    int exitCode = -1;
    std::vector<nlohmann::json> replies;   // a discarded value where a line is no JSON
    std::string out;
    std::string err;
};

// `where` is the database option of the command: "--dir DIR" or "--conn '…'".
inline AutomateResult runAutomate(const std::string& where, const std::vector<std::string>& lines) {
    std::string input;
    for (const auto& l : lines) input += l + "\n";
    std::string command = std::string(BREVANTO_CLI) + " automate " + where;
#ifdef BREVANTO_MODULE_FILE
    command = "BREVANTO_MODULE=" + sh(BREVANTO_MODULE_FILE) + " " + command;
#endif
    const CommandResult r = runCommand(command, input);
    AutomateResult result{r.exitCode, {}, r.out, r.err};
    std::size_t start = 0;
    while (start < r.out.size()) {
        std::size_t end = r.out.find('\n', start);
        if (end == std::string::npos) end = r.out.size();
        result.replies.push_back(nlohmann::json::parse(r.out.substr(start, end - start), nullptr, false));
        start = end + 1;
    }
    return result;
}

// The replies of a script that must succeed: the program exits 0 and every reply is ok.
inline std::vector<nlohmann::json> automateOk(const std::string& where, const std::vector<std::string>& lines) {
    AutomateResult r = runAutomate(where, lines);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    for (const auto& j : r.replies) {
        EXPECT_FALSE(j.is_discarded()) << r.out;
        if (j.is_discarded()) continue;
        EXPECT_EQ(j.value("ok", false), true) << j.dump();
    }
    return std::move(r.replies);
}

}  // namespace testsupport
