#include "db/Connection.h"

#include <atomic>

#include "db/Recordset.h"
#include "db/Trace.h"

namespace db {

namespace {

std::atomic<long> nextConnectionId{1};

const char* const kClosedMessage = "Operazione non consentita se l'oggetto è chiuso.";

// A NUL ends the text early for a driver that reads it as a C string, and would slip into a
// literal elsewhere: no engine receives one.
void refuseNul(const std::string& commandText) {
    const std::size_t nul = commandText.find('\0');
    if (nul == std::string::npos) return;
    throw Error("Il testo del comando contiene un carattere NUL (posizione " + std::to_string(nul + 1) +
                    "): non viene eseguito.",
                0, "42000", "ADO");
}

}  // namespace

const ErrorItem& Errors::Item(long index) const {
    if (index < 0 || index >= Count())
        throw UsageError("Errors.Item(" + std::to_string(index) + "): indice fuori intervallo (" +
                         std::to_string(Count()) + " errori)");
    return items_[static_cast<std::size_t>(index)];
}

Connection::Connection() : id_(nextConnectionId++) {}

Connection::~Connection() {
    try {
        Close();
    } catch (...) {
        // A destructor must not throw; the engine is gone either way.
    }
}

void Connection::Open(const std::string& connectionString, const std::string& user,
                      const std::string& password, int /*options*/) {
    if (backend_) throw UsageError("Operazione non consentita se l'oggetto è aperto.");
    if (!connectionString.empty()) connectionString_ = connectionString;
    try {
        backend_ = openBackend(db::ConnectionString(connectionString_), user, password);
        ++session_;
    } catch (const Error& e) {
        errors_.set(e.items());
        throw;
    } catch (const Exception&) {
        throw;
    } catch (const std::exception& e) {
        // Anything else an engine throws while connecting is reported as a database error,
        // so that callers see it in Errors like every other failure.
        Error err(e.what(), 0, "08001", "ADO");
        errors_.set(err.items());
        throw err;
    }
}

void Connection::Close() {
    if (!backend_) return;
    // The connection counts as closed even if the engine fails while closing.
    std::unique_ptr<Backend> engine = std::move(backend_);
    inTransaction_ = false;
    engine->close();
}

std::string Connection::providerName() const { return backend_ ? backend_->name() : std::string(); }

template <class F>
auto Connection::onEngine(const std::string& traceText, F&& call) {
    TraceEvent before;
    before.connectionId = id_;
    before.commandText = traceText;
    publish(before);

    auto fail = [&](const Error& e) {
        errors_.set(e.items());
        TraceEvent after = before;
        after.failed = true;
        after.error = e.what();
        publish(after);
    };

    if (!backend_) {
        Error e(kClosedMessage, 3704, "08003", "ADO");
        fail(e);
        throw e;
    }
    try {
        return call(*backend_);
    } catch (const Error& e) {
        fail(e);
        throw;
    } catch (const std::exception& ex) {
        // A misbehaving engine (or translator) must still leave a trace and an error item.
        Error e(ex.what(), 0, "HY000", backend_->name());
        fail(e);
        throw e;
    }
}

ExecResult Connection::run(const std::string& commandText) {
    return onEngine(commandText, [&](Backend& engine) {
        refuseNul(commandText);
        return engine.execute(commandText);
    });
}

std::unique_ptr<PreparedCommand> Connection::Prepare(const std::string& commandText) {
    auto statement = onEngine(commandText, [&](Backend& engine) {
        refuseNul(commandText);
        return engine.prepare(commandText);
    });
    return std::unique_ptr<PreparedCommand>(
        new PreparedCommand(weak_from_this(), commandText, std::move(statement), session_));
}

PreparedCommand::PreparedCommand(std::weak_ptr<Connection> connection, std::string text,
                                 std::unique_ptr<PreparedStatement> statement, long session)
    : connection_(std::move(connection)), text_(std::move(text)), statement_(std::move(statement)), session_(session) {}

PreparedCommand::~PreparedCommand() = default;

long PreparedCommand::Execute(const std::vector<Variant>& values) {
    auto connection = connection_.lock();
    if (!connection) throw Error(kClosedMessage, 3704, "08003", "ADO");
    return static_cast<long>(connection->onEngine(text_, [&](Backend&) -> long long {
        // A connection closed (and maybe opened again) since the statement was prepared.
        if (connection->session_ != session_) throw Error(kClosedMessage, 3704, "08003", "ADO");
        return statement_->execute(values);
    }));
}

void Connection::BeginTrans() {
    if (inTransaction_) throw UsageError("Una transazione è già aperta su questa connessione.");
    onEngine("BEGIN TRANSACTION", [](Backend& engine) { engine.beginTransaction(); });
    inTransaction_ = true;
}

void Connection::CommitTrans() {
    if (!inTransaction_) throw UsageError("Nessuna transazione aperta su questa connessione.");
    // A commit the engine refused leaves the transaction open: the caller rolls it back.
    onEngine("COMMIT TRANSACTION", [](Backend& engine) { engine.commitTransaction(); });
    inTransaction_ = false;
}

void Connection::RollbackTrans() {
    if (!inTransaction_) throw UsageError("Nessuna transazione aperta su questa connessione.");
    inTransaction_ = false;
    onEngine("ROLLBACK TRANSACTION", [](Backend& engine) { engine.rollbackTransaction(); });
}

std::shared_ptr<Recordset> Connection::Execute(const std::string& commandText, long* recordsAffected,
                                               int options) {
    if (recordsAffected) *recordsAffected = 0;
    ExecResult result = run(commandText);
    if (recordsAffected) *recordsAffected = static_cast<long>(result.rowsAffected);
    const bool noRecords = options != ado::adCmdUnspecified && (options & ado::adExecuteNoRecords) != 0;
    if (noRecords || result.resultSets.empty()) {
        auto closed = Recordset::create();
        closed->setActiveConnection(weak_from_this().lock());
        return closed;
    }
    return Recordset::fromResult(std::move(result.resultSets.front()), weak_from_this().lock());
}

ExecuteResult Connection::TryExecute(const std::string& commandText, int options) {
    ExecuteResult result;
    try {
        Execute(commandText, &result.recordsAffected, options);
    } catch (const Error& e) {
        result.ok = false;
        result.errors = e.items();
        result.recordsAffected = 0;
    }
    return result;
}

ExecResult Connection::ExecuteAll(const std::string& commandText) { return run(commandText); }

ExecResult Connection::ExecuteNative(const std::string& sql) {
    return onEngine(sql, [&](Backend& engine) {
        refuseNul(sql);
        return engine.executeNative(sql);
    });
}

}  // namespace db
