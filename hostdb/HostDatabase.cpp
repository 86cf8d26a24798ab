#include "hostdb/HostDatabase.h"

#include <stdexcept>

#include "balances/BalanceTable.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/SqlText.h"
#include "hostdb/Schema.h"

namespace hostdb {

namespace fs = std::filesystem;

fs::path databaseFileIn(const fs::path& folder, const std::string& name) { return folder / (name + ".db"); }

std::error_code removeDatabaseFiles(const fs::path& file) {
    std::error_code first;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        std::error_code ec;
        fs::remove(fs::path(file.string() + suffix), ec);
        if (ec && !first) first = ec;
    }
    return first;
}

std::string fileErrorText(const std::error_code& ec) {
    switch (static_cast<std::errc>(ec.value())) {
        case std::errc::permission_denied:
        case std::errc::operation_not_permitted: return "permesso negato";
        case std::errc::read_only_file_system: return "il disco è in sola lettura";
        case std::errc::no_space_on_device: return "spazio esaurito sul disco";
        case std::errc::no_such_file_or_directory: return "file o cartella inesistente";
        case std::errc::not_a_directory: return "una parte del percorso non è una cartella";
        case std::errc::is_a_directory: return "al suo posto c'è una cartella";
        case std::errc::file_exists: return "esiste già";
        case std::errc::filename_too_long: return "nome troppo lungo";
        case std::errc::device_or_resource_busy: return "in uso da un altro programma";
        default: return "errore di sistema " + std::to_string(ec.value()) + " (" + ec.message() + ")";
    }
}

std::shared_ptr<db::Connection> createHostDatabase(const fs::path& folder, const std::string& name) {
    if (folder.string().find(';') != std::string::npos)
        throw std::runtime_error("la cartella " + folder.string() + " contiene ';' e non può stare in una stringa di connessione");
    std::error_code ec;
    if (fs::exists(folder, ec) && !fs::is_directory(folder, ec))
        throw std::runtime_error(folder.string() + " esiste e non è una cartella");
    fs::create_directories(folder, ec);
    if (ec) throw std::runtime_error("impossibile creare la cartella " + folder.string() + ": " + fileErrorText(ec));
    const fs::path file = databaseFileIn(folder, name);
    if (fs::exists(file, ec)) throw std::runtime_error("il database " + file.string() + " esiste già");
    try {
        auto connection = db::Connection::create();
        connection->Open("Provider=SQLite;database=" + name + ";Data Source=" + folder.string() + ";Create=1");
        createHostSchema(*connection);
        return connection;
    } catch (...) {
        removeDatabaseFiles(file);
        throw;
    }
}

namespace {
std::string quotedName(const std::string& name) { return "\"" + db::replaceAll(name, "\"", "\"\"") + "\""; }
}  // namespace

std::shared_ptr<db::Connection> createPostgresHost(const std::string& connectionString) {
    auto connection = db::Connection::create();
    connection->Open(connectionString);
    createHostSchema(*connection);
    return connection;
}

std::shared_ptr<db::Connection> createPostgresSchema(const std::string& connectionString, const std::string& name) {
    {
        auto host = db::Connection::create();
        host->Open(connectionString);
        auto found = host->ExecuteNative("SELECT 1 FROM pg_namespace WHERE nspname = " + db::sqlQuoted(name));
        if (!found.resultSets.at(0).rows.empty())
            throw db::Error("Lo schema \"" + name + "\" esiste già nel database: il database intercompany " + name +
                                " non viene ricreato",
                            0, "42S01", "PostgreSQL");
        host->ExecuteNative("CREATE SCHEMA " + quotedName(name));
    }
    auto connection = db::Connection::create();
    connection->Open(db::ConnectionString(connectionString).without({"DefaultSchema"}) + "DefaultSchema=" + name);
    createHostSchema(*connection);
    return connection;
}

void dropPostgresHost(db::Connection& host, const std::string& group) {
    std::string tables = std::string("public.") + balances::kBalanceTable;
    for (const auto& t : hostTableNames()) tables += ", public." + t;
    host.ExecuteNative("DROP SCHEMA IF EXISTS " + quotedName(group) + " CASCADE; DROP TABLE IF EXISTS " + tables +
                       " CASCADE");
}

}  // namespace hostdb
