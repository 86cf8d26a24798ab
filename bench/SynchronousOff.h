#pragma once
// While one lives, every SQLite connection this process opens starts with synchronous=OFF:
// how the benchmarks take the disk syncs out of a connection the client opens itself, to
// time the CPU a save costs. SQLite runs the callback at the end of each sqlite3_open.

#include <sqlite3.h>

namespace benchdb {

class SynchronousOff {
public:
    SynchronousOff() { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&onOpen)); }
    ~SynchronousOff() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&onOpen)); }
    SynchronousOff(const SynchronousOff&) = delete;
    SynchronousOff& operator=(const SynchronousOff&) = delete;

    // Connections opened with synchronous=OFF since the process started.
    static long& connections() {
        static long n = 0;
        return n;
    }

private:
    static int onOpen(sqlite3* db, const char**, const sqlite3_api_routines*) {
        if (sqlite3_exec(db, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr) == SQLITE_OK) ++connections();
        return SQLITE_OK;
    }
};

}  // namespace benchdb
