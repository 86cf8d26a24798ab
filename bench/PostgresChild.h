#pragma once
// brevanto-bench runs each PostgreSQL session in a child process of its own (itself, started
// with --pg-child): an open of the chart, or a session saving one row a given number of times.

namespace benchdb {

inline constexpr const char* kPostgresChildFlag = "--pg-child";

// The child's work, as its arguments say; prints what it measured.
int runPostgresChild(int argc, char** argv);

}  // namespace benchdb
