#pragma once
// Per-editor factory of database connections.

#include <memory>

#include "db/Connection.h"

namespace host {

class ConnectionProvider {
public:
    virtual ~ConnectionProvider() = default;
    // A new connection object, not opened.
    virtual std::shared_ptr<db::Connection> newConnection() = 0;
};

}  // namespace host
