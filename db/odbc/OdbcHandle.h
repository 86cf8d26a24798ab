#pragma once
// Owning wrappers over ODBC handles and the reading of their diagnostic records. Internal to
// the ODBC backend (includes sql.h); callers use db/Backend.h and db/odbc/Odbc.h.

#include <sql.h>
#include <sqlext.h>

#include <string_view>
#include <vector>

#include "db/Error.h"

namespace db::odbc {

// One environment, connection or statement handle, freed on destruction. Move-only.
class Handle {
public:
    Handle() = default;
    // Allocates a handle of `type` under `parent` (SQL_NULL_HANDLE for an environment).
    // db::Error with the parent's diagnostics when the driver manager refuses.
    Handle(SQLSMALLINT type, SQLHANDLE parent);
    ~Handle() { reset(); }
    Handle(Handle&& other) noexcept;
    Handle& operator=(Handle&& other) noexcept;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    SQLHANDLE get() const { return handle_; }
    SQLSMALLINT type() const { return type_; }
    explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }
    void reset();
    // Forgets the handle without freeing it (its connection already freed it).
    void abandon() { handle_ = SQL_NULL_HANDLE; }

private:
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

// Every diagnostic record of a handle, in order, as error items with source "ODBC".
std::vector<ErrorItem> diagnostics(SQLSMALLINT type, SQLHANDLE handle);

// Throws db::Error with the handle's diagnostics; when the driver left none, a single item
// saying which call failed.
[[noreturn]] void throwDiagnostics(SQLSMALLINT type, SQLHANDLE handle, std::string_view call);

// Throws (as above) unless rc is SQL_SUCCESS or SQL_SUCCESS_WITH_INFO.
inline void check(SQLRETURN rc, const Handle& h, std::string_view call) {
    if (!SQL_SUCCEEDED(rc)) throwDiagnostics(h.type(), h.get(), call);
}

}  // namespace db::odbc
