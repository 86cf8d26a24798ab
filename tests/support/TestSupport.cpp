#include "support/TestSupport.h"

#include "db/Connection.h"
#include "db/Recordset.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "db/DatabaseSchema.h"
#include "hostdb/BackendSchema.h"

namespace testsupport {

namespace {

// Every test program is a Brevanto program: its backends know the host schema, as those of
// brevanto-cli and brevanto do, before any test opens a connection.
const bool kHostSchemaSet = [] {
    db::setDatabaseSchema(hostdb::backendSchema());
    return true;
}();

}  // namespace

TempDir::TempDir() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = std::filesystem::temp_directory_path() /
                         ("brevanto-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string sh(const std::string& word) {
    std::string out = "'";
    for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

CommandResult runCommand(const std::string& command, const std::string& input) {
    TempDir dir;
    auto in = dir.path() / "in", out = dir.path() / "out", err = dir.path() / "err";
    { std::ofstream(in, std::ios::binary) << input; }
    std::string full = "(" + command + ") <'" + in.string() + "' >'" + out.string() + "' 2>'" + err.string() + "'";
    int status = std::system(full.c_str());
    CommandResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readFile(out);
    r.err = readFile(err);
    return r;
}

std::filesystem::path testData(const std::string& relative) {
    return std::filesystem::path(BREVANTO_TEST_DATA) / relative;
}

std::string readFile(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::string queryValue(const std::string& connectionString, const std::string& query, long column) {
    auto c = db::Connection::create();
    c->Open(connectionString);
    auto rs = c->Execute(query);
    std::string out = rs->Eof() ? "<none>" : rs->fields().Item(column).Value().toText();
    c->Close();
    return out;
}

}  // namespace testsupport
