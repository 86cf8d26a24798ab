#include "db/Backend.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "db/Error.h"
#include "text/Text.h"

namespace db {

namespace {

// Extra engines by lower-cased provider name.
std::map<std::string, BackendFactory>& registry() {
    static std::map<std::string, BackendFactory> r;
    return r;
}

}  // namespace

void Backend::beginTransaction() {
    throw Error("Il motore di database " + name() + " non gestisce le transazioni", 0, "HYC00", name());
}
void Backend::commitTransaction() { beginTransaction(); }
void Backend::rollbackTransaction() { beginTransaction(); }
ExecResult Backend::executeNative(const std::string&) {
    throw Error("Il motore di database " + name() + " accetta solo comandi T-SQL", 0, "HYC00", name());
}
std::unique_ptr<PreparedStatement> Backend::prepare(const std::string&) {
    throw Error("Il motore di database " + name() + " non gestisce i comandi preparati", 0, "HYC00", name());
}

void registerBackend(const std::string& provider, BackendFactory factory) {
    auto key = text::toLowerAscii(provider);
    if (factory)
        registry()[key] = std::move(factory);
    else
        registry().erase(key);
}

std::unique_ptr<Backend> openBackend(const ConnectionString& cs, const std::string& user,
                                     const std::string& password) {
    // No Provider (or an empty one) means the embedded engine.
    std::string provider = cs.getOr("Provider", "");
    if (provider.empty()) provider = "SQLite";
    const std::string key = text::toLowerAscii(provider);

    std::unique_ptr<Backend> backend;
    if (auto it = registry().find(key); it != registry().end())
        backend = it->second(cs, user, password);
    else if (key == "sqlite")
        backend = openSqliteBackend(cs);
    else if (key == "odbc")
        backend = openOdbcBackend(cs, user, password);
    else if (key == "postgresql")
        backend = openPostgresBackend(cs, user, password);
    else
        throw Error("Provider '" + provider +
                        "' non disponibile: usare Provider=SQLite, Provider=PostgreSQL o Provider=ODBC",
                    0,
                    "IM002", "ADO");
    if (!backend)
        throw Error("Provider '" + provider + "': il motore non ha aperto la connessione", 0, "08001", "ADO");
    return backend;
}

}  // namespace db
