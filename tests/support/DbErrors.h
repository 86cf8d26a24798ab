#pragma once
// The database error a call raises, and the SQLSTATEs it carries.

#include <string>

#include <gtest/gtest.h>

#include "db/Error.h"

namespace testsupport {

// The error a callable raises, or a failed expectation when it raises none.
template <class F>
db::Error errorOf(F&& f) {
    try {
        f();
    } catch (const db::Error& e) {
        return e;
    }
    ADD_FAILURE() << "no db::Error raised";
    return db::Error("none", 0, "", "");
}

inline bool hasState(const db::Error& e, const std::string& state) {
    for (const auto& i : e.items())
        if (i.sqlState == state) return true;
    return false;
}

}  // namespace testsupport
