#pragma once
// Helpers shared by the test binaries: scratch folders that clean up after themselves and
// running a command line while capturing its output.

#include <filesystem>
#include <string>

namespace testsupport {

// A fresh empty folder under the system temp dir, removed on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

struct CommandResult {
    int exitCode = -1;
    std::string out;   // stdout
    std::string err;   // stderr
};

// A shell word: single-quoted, each ' written as '\''.
std::string sh(const std::string& word);

// Runs `command` through /bin/sh with `input` on stdin.
CommandResult runCommand(const std::string& command, const std::string& input = "");

// Path of a file under tests/ (BREVANTO_TEST_DATA).
std::filesystem::path testData(const std::string& relative);

std::string readFile(const std::filesystem::path& p);

// One value of the first row `query` returns on a connection of its own, as text: column
// `column` (by position), or "<none>" when there is no row.
std::string queryValue(const std::string& connectionString, const std::string& query, long column = 0);

}  // namespace testsupport
