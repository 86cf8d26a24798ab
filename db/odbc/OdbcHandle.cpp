#include "db/odbc/OdbcHandle.h"

#include <algorithm>
#include <string>
#include <utility>

namespace db::odbc {

Handle::Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
    if (!SQL_SUCCEEDED(rc)) {
        handle_ = SQL_NULL_HANDLE;
        if (parent == SQL_NULL_HANDLE)
            throw Error("Impossibile inizializzare l'ambiente ODBC", 0, "HY001", "ODBC");
        SQLSMALLINT parentType = type == SQL_HANDLE_DBC ? SQL_HANDLE_ENV : SQL_HANDLE_DBC;
        throwDiagnostics(parentType, parent, "SQLAllocHandle");
    }
}

Handle::Handle(Handle&& other) noexcept
    : type_(other.type_), handle_(std::exchange(other.handle_, SQLHANDLE{})) {}

Handle& Handle::operator=(Handle&& other) noexcept {
    if (this != &other) {
        reset();
        type_ = other.type_;
        handle_ = std::exchange(other.handle_, SQLHANDLE{});
    }
    return *this;
}

void Handle::reset() {
    if (handle_ != SQL_NULL_HANDLE) {
        SQLFreeHandle(type_, handle_);
        handle_ = SQL_NULL_HANDLE;
    }
}

std::vector<ErrorItem> diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    std::vector<ErrorItem> items;
    if (handle == SQL_NULL_HANDLE) return items;
    // A runaway driver could report records without end; a few hundred is far beyond any
    // real batch's messages.
    for (SQLSMALLINT record = 1; record <= 500; ++record) {
        SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
        SQLINTEGER native = 0;
        std::string message(512, '\0');
        SQLSMALLINT length = 0;
        SQLRETURN rc = SQLGetDiagRec(type, handle, record, state, &native,
                                     reinterpret_cast<SQLCHAR*>(message.data()),
                                     static_cast<SQLSMALLINT>(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
            // The message did not fit: read the same record again with room for all of it.
            message.assign(static_cast<std::size_t>(length) + 1, '\0');
            rc = SQLGetDiagRec(type, handle, record, state, &native,
                               reinterpret_cast<SQLCHAR*>(message.data()),
                               static_cast<SQLSMALLINT>(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc)) break;
        std::size_t used = std::min<std::size_t>(length < 0 ? 0 : static_cast<std::size_t>(length),
                                                 message.size() - 1);
        message.resize(used);
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
            message.pop_back();
        items.push_back({std::move(message), static_cast<long>(native),
                         std::string(reinterpret_cast<const char*>(state)), "ODBC"});
    }
    return items;
}

void throwDiagnostics(SQLSMALLINT type, SQLHANDLE handle, std::string_view call) {
    auto items = diagnostics(type, handle);
    if (items.empty())
        items.push_back({"Errore ODBC senza diagnostica in " + std::string(call), 0, "HY000", "ODBC"});
    throw Error(std::move(items));
}

}  // namespace db::odbc
