#pragma once
// What a program around an open correlation editor (the desktop window, the automation driver)
// needs to run the mapping operations on the editor's list: the scope its header shows, the
// row the user is on, a guard against losing an account the user typed and has not stored,
// and, after a plan was applied, the list rebuilt the way confirming the reclassification
// chart rebuilds it, with the cursor back on the row it was on.
//
// The link sees the editor only through its controls (the module is a library the host
// loads) and works on a database connection of its own: reading a scope rebuilds the working
// table, which must never happen on the editor's connection.

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "mapping/ChartData.h"
#include "mapping/Plan.h"
#include "mapping/Scope.h"

namespace db {
class Connection;
}

namespace kit {
class Form;
class QueryGrid;
}  // namespace kit

namespace mapping {

// A command the editor's state does not allow now (no list loaded, an account being typed);
// the text is for the user.
class EditorBusy : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kPendingEditMessage = "Confermare o annullare prima il conto della riga corrente.";
inline constexpr const char* kListNotLoadedMessage =
    "Compilare prima l'intestazione e confermare il piano di riclassificazione: l'elenco dei conti non è caricato.";

class EditorLink {
public:
    // `editor` is an open FRMCG_CORRRICL; it must outlive the link.
    EditorLink(kit::Form& editor, CorrelationKind kind, std::string connectionString, std::string company);
    ~EditorLink();
    EditorLink(const EditorLink&) = delete;
    EditorLink& operator=(const EditorLink&) = delete;

    CorrelationKind kind() const { return kind_; }
    // The scope of the list the editor shows; nothing (with the reason in `why`) while no
    // list is loaded.
    std::optional<Scope> scope(std::string* why = nullptr) const;
    // kPendingEditMessage while the account box holds an account that is not stored (typed
    // and not confirmed, or confirmed on a row not saved yet); "" otherwise. A value the
    // editor only proposes does not count: leaving the row discards it.
    std::string pendingEdit() const;
    // EditorBusy with the text of scope() or pendingEdit() when a command cannot run now.
    Scope requireReady() const;

    // The scope's data, read on the link's connection. EditorBusy, ScopeRefused, db::Error.
    ChartData load();
    // The link's own connection (opened on first use).
    db::Connection& connection();

    // The databases of the intercompany structures (CGB1_DATABASEINFRAGRUPPO), to copy from.
    std::vector<std::string> intercompanyDatabases();

    // The row the grid is on; nothing when none.
    std::optional<Key> currentKey() const;
    // The keys of the grid's recordset rows (0-based), in order, without repeats.
    std::vector<Key> keysOfRows(const std::vector<long>& recordsetRows) const;
    // The recordset row of a key (-1 when the list does not have it); sign 0: the account's
    // first row.
    long rowOf(const Key& key) const;

    // Applies the plan on the link's connection, then rebuilds the editor's list and goes back
    // to the row it was on. EditorBusy (nothing written) when the editor is not ready;
    // PlanOutdated and db::Error leave the tables as they were. Returns the rows written.
    long applyAndRefresh(const Plan& plan);
    // Rebuilds the editor's list as confirming its reclassification chart does.
    void refresh();
    // Moves the grid to the key's row as a click does: the focus goes to the grid first (an
    // account the editor refuses keeps the user where he is), then the row. True when the grid
    // is on the row afterwards.
    bool goTo(const Key& key);

private:
    kit::QueryGrid& grid() const;

    kit::Form& editor_;
    CorrelationKind kind_;
    std::string connectionString_;
    std::string company_;
    std::shared_ptr<db::Connection> connection_;
};

}  // namespace mapping
