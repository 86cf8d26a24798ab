#include "db/Trace.h"

#include <map>

namespace db {

namespace {
std::map<long, std::shared_ptr<TraceSink>>& sinks() {
    static std::map<long, std::shared_ptr<TraceSink>> s;
    return s;
}
long nextToken = 1;
thread_local int untraced = 0;

class FunctionSink : public TraceSink {
public:
    FunctionSink(std::function<void(const TraceEvent&)> statements, std::function<void(const SwallowedError&)> swallowed)
        : statements_(std::move(statements)), swallowed_(std::move(swallowed)) {}
    void statement(const TraceEvent& e) override {
        if (statements_) statements_(e);
    }
    void swallowed(const SwallowedError& e) override {
        if (swallowed_) swallowed_(e);
    }

private:
    std::function<void(const TraceEvent&)> statements_;
    std::function<void(const SwallowedError&)> swallowed_;
};
}  // namespace

long addGlobalSink(std::shared_ptr<TraceSink> sink) {
    long t = nextToken++;
    sinks()[t] = std::move(sink);
    return t;
}

void removeGlobalSink(long token) { sinks().erase(token); }

Untraced::Untraced() { ++untraced; }
Untraced::~Untraced() { --untraced; }

void publish(const TraceEvent& e) {
    if (untraced > 0) return;
    // Copy first: a sink may add or remove sinks while it runs.
    auto current = sinks();
    for (auto& [t, s] : current) s->statement(e);
}

void publishSwallowed(const SwallowedError& e) {
    auto current = sinks();
    for (auto& [t, s] : current) s->swallowed(e);
}

std::shared_ptr<TraceSink> makeSink(std::function<void(const TraceEvent&)> fn) {
    return std::make_shared<FunctionSink>(std::move(fn), nullptr);
}

std::shared_ptr<TraceSink> makeSink(std::function<void(const TraceEvent&)> statements,
                                    std::function<void(const SwallowedError&)> swallowed) {
    return std::make_shared<FunctionSink>(std::move(statements), std::move(swallowed));
}

}  // namespace db
