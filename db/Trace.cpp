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
    explicit FunctionSink(std::function<void(const TraceEvent&)> fn) : fn_(std::move(fn)) {}
    void statement(const TraceEvent& e) override { fn_(e); }

private:
    std::function<void(const TraceEvent&)> fn_;
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

std::shared_ptr<TraceSink> makeSink(std::function<void(const TraceEvent&)> fn) {
    return std::make_shared<FunctionSink>(std::move(fn));
}

}  // namespace db
