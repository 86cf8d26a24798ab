#pragma once

namespace gui {

// Qt paints large areas and converts images on its global thread pool. When the program
// ends, this waits for the pool's work and then for its threads to have really left:
// QThread::wait() returns before a thread has run its thread-local clean-up, and a process
// that exits in that moment loses the thread's data (leak checkers report it).
class ThreadPoolDrain {
public:
    ThreadPoolDrain() = default;
    ThreadPoolDrain(const ThreadPoolDrain&) = delete;
    ThreadPoolDrain& operator=(const ThreadPoolDrain&) = delete;
    ~ThreadPoolDrain();
};

// The threads of this process that Qt's pool started and that have not ended yet.
int runningPoolThreads();

}  // namespace gui
