#pragma once
// ADO-like connection: a connection string, Open/Close, Execute of command texts and the
// Errors collection. A failing statement both fills Errors and raises db::Error.

#include <memory>
#include <string>
#include <vector>

#include "db/Ado.h"
#include "db/Backend.h"
#include "db/ConnectionString.h"
#include "db/Error.h"
#include "db/ResultSet.h"
#include "db/Variant.h"

namespace db {

class Recordset;
class Connection;

// A statement with ? markers prepared once on a connection and executed many times, each
// value bound (never written into the text). It works while the connection stays open.
class PreparedCommand {
public:
    ~PreparedCommand();
    PreparedCommand(const PreparedCommand&) = delete;
    PreparedCommand& operator=(const PreparedCommand&) = delete;
    // Executes with `values` for the markers, in order; the rows changed. db::Error (also in
    // the connection's Errors) when the engine refuses.
    long Execute(const std::vector<Variant>& values);
    const std::string& CommandText() const { return text_; }

private:
    friend class Connection;
    PreparedCommand(std::weak_ptr<Connection> connection, std::string text,
                    std::unique_ptr<PreparedStatement> statement, long session);
    std::weak_ptr<Connection> connection_;
    std::string text_;
    std::unique_ptr<PreparedStatement> statement_;
    long session_;   // the connection's session it was prepared on
};

class Errors {
public:
    long Count() const { return static_cast<long>(items_.size()); }
    const ErrorItem& Item(long index) const;   // UsageError when out of range
    void Clear() { items_.clear(); }
    const std::vector<ErrorItem>& items() const { return items_; }
    void set(std::vector<ErrorItem> items) { items_ = std::move(items); }

private:
    std::vector<ErrorItem> items_;
};

// What a statement run through Connection::TryExecute did: the rows it changed, or the
// database's refusal as the entries of the connection's error collection.
struct ExecuteResult {
    long recordsAffected = 0;
    std::vector<ErrorItem> errors;   // empty when the statement went through
    bool ok = true;
};

class Connection : public Object, public std::enable_shared_from_this<Connection> {
public:
    Connection();
    ~Connection() override;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    static std::shared_ptr<Connection> create() { return std::make_shared<Connection>(); }

    const std::string& ConnectionString() const { return connectionString_; }
    void setConnectionString(std::string s) { connectionString_ = std::move(s); }

    // Opens on the given (or the set) connection string. db::Error on failure (also in Errors).
    void Open(const std::string& connectionString = "", const std::string& user = "",
              const std::string& password = "", int options = -1);
    int State() const { return backend_ ? ado::adStateOpen : ado::adStateClosed; }
    void Close();

    // Executes a command text. Returns a recordset open on the first row-returning statement,
    // or a closed recordset when there is none. recordsAffected receives the rows changed.
    std::shared_ptr<Recordset> Execute(const std::string& commandText, long* recordsAffected = nullptr,
                                       int options = ado::adCmdText);
    // Executes a statement that returns no rows and reports a refusal in the result instead of
    // raising it: Errors and the trace are filled as Execute fills them. Misuse of the client
    // (UsageError) still raises.
    ExecuteResult TryExecute(const std::string& commandText,
                             int options = static_cast<int>(ado::adCmdText) | static_cast<int>(ado::adExecuteNoRecords));
    // The whole outcome of a batch (every result set), for tools such as `brevanto-cli sql`.
    ExecResult ExecuteAll(const std::string& commandText);
    // A text in the engine's own dialect, untranslated (schema scripts on PostgreSQL).
    ExecResult ExecuteNative(const std::string& sql);

    // A transaction around the statements executed until CommitTrans or RollbackTrans; they
    // do not nest. db::Error (also in Errors) when the engine refuses.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool inTransaction() const { return inTransaction_; }

    // Prepares a single statement with ? markers for many executions.
    std::unique_ptr<PreparedCommand> Prepare(const std::string& commandText);

    db::Errors& Errors() { return errors_; }
    long id() const { return id_; }
    std::string providerName() const;   // "SQLite", "ODBC", "PostgreSQL", "" when closed

private:
    ExecResult run(const std::string& commandText);
    friend class PreparedCommand;
    // Runs one call on the engine, reporting its failure in Errors and in the trace.
    template <class F>
    auto onEngine(const std::string& traceText, F&& call);
    std::string connectionString_;
    std::unique_ptr<Backend> backend_;
    db::Errors errors_;
    long id_;
    long session_ = 0;   // counts the opens: a prepared command belongs to one
    bool inTransaction_ = false;
};

}  // namespace db
