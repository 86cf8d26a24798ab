#include "gui/ThreadPoolDrain.h"

#include <QThread>
#include <QThreadPool>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace gui {

namespace {
// The name Qt gives its pool's threads, as the kernel keeps it (15 characters at most).
constexpr const char* kPoolThreadName = "Thread (pooled)";
}

int runningPoolThreads() {
    namespace fs = std::filesystem;
    std::error_code ec;
    int count = 0;
    for (fs::directory_iterator it("/proc/self/task", ec), end; !ec && it != end; it.increment(ec)) {
        std::ifstream comm(it->path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name == kPoolThreadName) ++count;
    }
    return count;
}

ThreadPoolDrain::~ThreadPoolDrain() {
    QThreadPool::globalInstance()->waitForDone();
    // The pool has joined its threads; each still has its clean-up to run. It takes
    // microseconds; a second is the most the program waits for it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (runningPoolThreads() > 0 && std::chrono::steady_clock::now() < deadline) QThread::usleep(500);
}

}  // namespace gui
