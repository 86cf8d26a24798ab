#include "kit/ConnectionCache.h"

#include "db/Error.h"
#include "kit/Control.h"

namespace kit {

ConnectionCache& ConnectionCache::instance() {
    static ConnectionCache cache;
    return cache;
}

std::shared_ptr<db::Connection> ConnectionCache::get(const std::string& connect) {
    auto it = connections_.find(connect);
    if (it != connections_.end() && it->second && it->second->State() == db::ado::adStateOpen)
        return it->second;
    auto c = db::Connection::create();
    c->Open(connect);
    connections_[connect] = c;
    return c;
}

void ConnectionCache::put(const std::string& connect, std::shared_ptr<db::Connection> connection) {
    connections_[connect] = std::move(connection);
}

void ConnectionCache::clear() {
    for (auto& [text, c] : connections_) {
        try {
            if (c && c->State() == db::ado::adStateOpen) c->Close();
        } catch (const db::Exception&) {
            // closing is best effort
        }
    }
    connections_.clear();
}

std::shared_ptr<db::Recordset> runBoxQuery(const std::string& sql, const std::string& connect,
                                           const std::shared_ptr<db::Connection>& fallback) {
    std::shared_ptr<db::Connection> conn;
    if (!connect.empty())
        conn = ConnectionCache::instance().get(connect);
    else
        conn = fallback;
    if (!conn) throw KitError("nessuna connessione al database su cui eseguire la ricerca");
    if (conn->State() != db::ado::adStateOpen) throw KitError("the connection is closed");
    return conn->Execute(sql);
}

std::string describeFailure(const std::exception& e) {
    if (auto* dbe = dynamic_cast<const db::Error*>(&e); dbe && !dbe->items().empty())
        return dbe->items().front().description;
    return e.what();
}

}  // namespace kit
