#pragma once
// Every command text a connection receives is reported here, exactly as the caller built it,
// before it runs; so is every error the program swallows on purpose (a procedure that goes on
// with its next statement). Tests and the automation driver subscribe; a user can turn on an
// SQL log.

#include <functional>
#include <memory>
#include <string>

namespace db {

struct TraceEvent {
    long connectionId = 0;      // unique per Connection object in this process
    std::string commandText;    // as the caller wrote it (T-SQL)
    std::string executedText;   // what the backend ran after translation ("" when unchanged)
    bool failed = false;        // set on the event reported after a failure
    std::string error;          // first error description when failed
};

// An error a procedure let go without telling the user: where and what.
struct SwallowedError {
    std::string procedure;
    std::string description;
};

class TraceSink {
public:
    virtual ~TraceSink() = default;
    virtual void statement(const TraceEvent& e) = 0;
    // Sinks that follow only the statements ignore these.
    virtual void swallowed(const SwallowedError&) {}
};

// Process-wide subscribers (all connections). Returns a token for removeGlobalSink.
long addGlobalSink(std::shared_ptr<TraceSink> sink);
void removeGlobalSink(long token);
void publish(const TraceEvent& e);   // calls every global sink
// Reports a swallowed error to every global sink, Untraced or not: it is never bookkeeping.
void publishSwallowed(const SwallowedError& e);

// While one lives, the statements this thread runs are not reported: Brevanto's own
// bookkeeping (the history of changes) stays out of the statements callers follow.
class Untraced {
public:
    Untraced();
    ~Untraced();
    Untraced(const Untraced&) = delete;
    Untraced& operator=(const Untraced&) = delete;
};

// Convenience sinks from functions.
std::shared_ptr<TraceSink> makeSink(std::function<void(const TraceEvent&)> fn);
std::shared_ptr<TraceSink> makeSink(std::function<void(const TraceEvent&)> statements,
                                    std::function<void(const SwallowedError&)> swallowed);

}  // namespace db
