#pragma once
// Connections that the code boxes open for decodes and lookups, one per connection string,
// shared by every box of the process and kept open until clear().

#include <map>
#include <memory>
#include <string>

#include "db/Connection.h"
#include "db/Recordset.h"

namespace kit {

class ConnectionCache {
public:
    static ConnectionCache& instance();
    // The open connection for this connection string, opened on first use.
    // Throws db::Error (or db::Exception) when it cannot be opened; nothing is kept then.
    std::shared_ptr<db::Connection> get(const std::string& connect);
    // Makes `connection` the one used for `connect` (e.g. a connection the caller opened).
    void put(const std::string& connect, std::shared_ptr<db::Connection> connection);
    void clear();
    std::size_t size() const { return connections_.size(); }

private:
    std::map<std::string, std::shared_ptr<db::Connection>> connections_;
};

// Runs `sql` on the connection for `connect` (or on `fallback` when `connect` is empty)
// and returns the rows. Throws db::Exception on failure, KitError with no connection.
std::shared_ptr<db::Recordset> runBoxQuery(const std::string& sql, const std::string& connect,
                                           const std::shared_ptr<db::Connection>& fallback);

// The text of a failure, for a box's lastError().
std::string describeFailure(const std::exception& e);

}  // namespace kit
