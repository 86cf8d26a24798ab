#include "support/PostgresTestDatabase.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "hostdb/DemoData.h"
#include "hostdb/HostDatabase.h"
#include "hostdb/Schema.h"

namespace testsupport {

namespace {

// Any number: the test processes building a template at once wait on it.
constexpr const char* kTemplateLock = "SELECT pg_advisory_lock(7243001)";
constexpr const char* kTemplateUnlock = "SELECT pg_advisory_unlock(7243001)";

std::string withDatabase(const std::string& server, const std::string& database) {
    return db::ConnectionString(server).without({"database"}) + "database=" + database;
}

// One connection to the server's maintenance database per process.
db::Connection& admin() {
    static std::shared_ptr<db::Connection> connection = [] {
        auto c = db::Connection::create();
        c->Open(postgresServer());
        return c;
    }();
    return *connection;
}

bool databaseExists(const std::string& name) {
    return !admin().ExecuteNative("SELECT 1 FROM pg_database WHERE datname = '" + name + "'").resultSets.at(0).rows.empty();
}

void fill(const std::string& connectionString, PostgresTestDatabase::Content content) {
    auto host = hostdb::createPostgresHost(connectionString);
    if (content == PostgresTestDatabase::Content::Demo) {
        auto group = hostdb::createPostgresSchema(connectionString, hostdb::kDemoGroupDatabase);
        hostdb::fillDemo(*host, *group);
        group->Close();
    }
    host->Close();
}

// The template for `content`, made when the server has none yet. Its name carries a digest
// of the schema, so that a server kept between runs never serves tables of an older build.
std::string templateFor(PostgresTestDatabase::Content content) {
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    std::string digestOf = hostdb::hostSchemaSql();
    const std::size_t digest = std::hash<std::string>{}(digestOf) % 1000000007u;
    const std::string name = std::string("brevanto_tpl_") +
                             (content == PostgresTestDatabase::Content::Demo ? "demo_" : "schema_") +
                             std::to_string(digest);
    if (databaseExists(name)) return name;
    admin().ExecuteNative(kTemplateLock);
    try {
        if (!databaseExists(name)) {
            const std::string building = name + "_wip";
            admin().ExecuteNative("DROP DATABASE IF EXISTS " + building + " WITH (FORCE)");
            admin().ExecuteNative("CREATE DATABASE " + building);
            fill(withDatabase(postgresServer(), building), content);
            admin().ExecuteNative("ALTER DATABASE " + building + " RENAME TO " + name);
        }
    } catch (...) {
        admin().ExecuteNative(kTemplateUnlock);
        throw;
    }
    admin().ExecuteNative(kTemplateUnlock);
    return name;
}

}  // namespace

std::string postgresServer() {
    if (const char* cs = std::getenv("BREVANTO_TEST_PG"); cs && *cs) return cs;
#ifdef BREVANTO_PG_STATE
    std::ifstream file(BREVANTO_PG_STATE "/libpq.txt");
    std::string line;
    std::getline(file, line);
    return line;
#else
    return "";
#endif
}

PostgresTestDatabase::PostgresTestDatabase(Content content) {
    const std::string server = postgresServer();
    if (server.empty()) throw std::runtime_error("nessun server PostgreSQL per i test");
    static std::atomic<int> counter{0};
    name_ = "brevanto_t" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    std::string create = "CREATE DATABASE " + name_;
    if (content != Content::Empty) create += " TEMPLATE " + templateFor(content);
    admin().ExecuteNative("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    admin().ExecuteNative(create);
    connectionString_ = withDatabase(server, name_);
}

PostgresTestDatabase::~PostgresTestDatabase() {
    try {
        admin().ExecuteNative("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    } catch (const std::exception&) {
        // The server is gone with the database.
    }
}

}  // namespace testsupport
