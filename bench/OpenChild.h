#pragma once
// brevanto-bench runs each side of the open benchmarks in a child process of its own (itself,
// started with --open-child), so that each side's peak memory is its own.

namespace benchdb {

inline constexpr const char* kOpenChildFlag = "--open-child";

// The child's work: opens the chart the way the arguments say and prints what it measured.
int runOpenChild(int argc, char** argv);

}  // namespace benchdb
