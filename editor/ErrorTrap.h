#pragma once
// The module's error-trap convention in one place. A procedure runs its statements through
// a trap; when a statement throws, the trap asks the procedure's reporter for an answer,
// passing the procedure's name: 4 runs the failing statement again, 5 goes on with the next
// statement, any other answer leaves the procedure. Procedures whose errors are suppressed
// use a trap whose reporter always answers 5 and records the error in the trace.
//
//   ErrorTrap trap{"CreaTabella", reporter};
//   return trap.procedure([&] {
//       trap([&] { dropWorkingTable(); });
//       trap([&] { connection->Execute(sql); });
//   });   // false when the procedure was left

#include <exception>
#include <functional>
#include <string>

namespace editor {

inline constexpr int kAnswerAbort = 3;
inline constexpr int kAnswerRetry = 4;
inline constexpr int kAnswerIgnore = 5;

// What a reporter learns of an error: the procedure and the exception's text.
struct TrappedError {
    std::string procedure;
    std::string description;
    const std::exception* exception = nullptr;   // valid only during the call
};

using ErrorReporter = std::function<int(const TrappedError&)>;

// A reporter that always answers "go on": the error is swallowed, and reported only to the
// trace's sinks (db::publishSwallowed) with the procedure's name.
ErrorReporter suppressErrors();

// Runs a handler the host or a control calls (a button's click): no error gets out to the
// caller; a failing handler has already shown what it had to.
template <class F>
void withinHandler(F&& handler) noexcept {
    try {
        handler();
    } catch (const std::exception&) {
    }
}

class ErrorTrap {
public:
    ErrorTrap(std::string procedure, ErrorReporter reporter)
        : procedure_(std::move(procedure)), reporter_(std::move(reporter)) {}

    // Runs one statement under the trap. Returns true when it completed, false when the
    // error was ignored (answer 5). Other answers leave the procedure.
    template <class F>
    bool operator()(F&& statement) {
        for (int attempt = 0;; ++attempt) {
            try {
                statement();
                return true;
            } catch (const Leave&) {
                throw;
            } catch (const std::exception& e) {
                int answer = ask(e);
                if (answer == kAnswerRetry && attempt < kMaxRetries) continue;
                if (answer == kAnswerIgnore) return false;
                throw Leave{};
            }
        }
    }

    // Runs the body of a procedure; returns false when a statement made it leave.
    template <class F>
    bool procedure(F&& body) {
        try {
            body();
            return true;
        } catch (const Leave&) {
            return false;
        }
    }

    const std::string& name() const { return procedure_; }
    bool errorsSeen() const { return errors_ > 0; }

    struct Leave {};

private:
    // A retried statement that keeps failing is asked again each time; this only guards
    // against a reporter that answers "retry" forever.
    static constexpr int kMaxRetries = 1000;
    int ask(const std::exception& e);

    std::string procedure_;
    ErrorReporter reporter_;
    int errors_ = 0;
};

}  // namespace editor
