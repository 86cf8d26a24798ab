#include "hostdb/SqliteTableFunctions.h"

#include <sqlite3.h>

#include <string>
#include <vector>

#include "db/Error.h"

namespace hostdb {

namespace {

// What distinguishes one function from the other: its output columns (with the declared
// types callers see), its arguments and the lookup it runs.
struct FunctionDef {
    const char* name;
    std::vector<const char*> columns;    // "NAME TYPE", in output order
    std::vector<const char*> params;     // hidden argument columns, in call order
    int requiredParams;                  // the first N arguments are bound as ?1..?N
    const char* lookup;                  // SELECT of the output columns, WHERE on ?1..?N
};

const FunctionDef kAnagPdc{
    "FNPC03_ANAGPDC_COGE",
    {"PC03_CODICE_PC01 SMALLINT", "PC03_CONTO NVARCHAR(15) COLLATE TSQL", "PC03_DESCR NVARCHAR(80) COLLATE TSQL"},
    {"p_chart", "p_conto", "p_ditta", "p_extra"},
    2,
    "SELECT PC03_CODICE_PC01, PC03_CONTO, PC03_DESCR FROM main.PC03_ANAGPDC"
    " WHERE PC03_CODICE_PC01 = ?1 AND PC03_CONTO = ?2 COLLATE TSQL",
};

const FunctionDef kAnagDittaInter{
    "FNCG40_ANADITTAINTER",
    {"CG40_DESCR NVARCHAR(80) COLLATE TSQL"},
    {"p_tipocf", "p_intermedio", "p_ditta"},
    3,
    "SELECT CG40_DESCR FROM main.CG40_ANADITTAINTER"
    " WHERE CG40_TIPOCF = ?1 AND CG40_INTERMEDIO = ?2 AND CG40_DITTA_CG18 = ?3",
};

struct FnVtab {
    sqlite3_vtab base{};
    const FunctionDef* def = nullptr;
    sqlite3* db = nullptr;
};

struct FnCursor {
    sqlite3_vtab_cursor base{};
    sqlite3_stmt* stmt = nullptr;           // the lookup, prepared once per cursor
    std::vector<sqlite3_value*> args;       // this call's arguments, one per hidden column
    bool eof = true;
    sqlite3_int64 rowid = 0;

    void clearArgs() {
        for (auto*& v : args) {
            sqlite3_value_free(v);
            v = nullptr;
        }
    }
};

const FunctionDef& defOf(sqlite3_vtab* tab) { return *reinterpret_cast<FnVtab*>(tab)->def; }

int setError(sqlite3_vtab* tab, const std::string& message) {
    sqlite3_free(tab->zErrMsg);
    tab->zErrMsg = sqlite3_mprintf("%s", message.c_str());
    return SQLITE_ERROR;
}

int xConnect(sqlite3* db, void* aux, int, const char* const*, sqlite3_vtab** out, char** err) {
    const auto* def = static_cast<const FunctionDef*>(aux);
    std::string schema = "CREATE TABLE x(";
    for (const char* c : def->columns) schema += std::string(c) + ", ";
    for (std::size_t i = 0; i < def->params.size(); ++i)
        schema += std::string(def->params[i]) + " HIDDEN" + (i + 1 < def->params.size() ? ", " : ")");
    int rc = sqlite3_declare_vtab(db, schema.c_str());
    if (rc != SQLITE_OK) {
        *err = sqlite3_mprintf("%s: %s", def->name, sqlite3_errmsg(db));
        return rc;
    }
    sqlite3_vtab_config(db, SQLITE_VTAB_INNOCUOUS);
    auto* tab = new FnVtab;
    tab->def = def;
    tab->db = db;
    *out = &tab->base;
    return SQLITE_OK;
}

int xDisconnect(sqlite3_vtab* tab) {
    delete reinterpret_cast<FnVtab*>(tab);
    return SQLITE_OK;
}

// Every argument arrives as an equality constraint on its hidden column. Each one present
// must be usable (a value known before this table is scanned) and is consumed (omit=1): the
// hidden columns have no stored value SQLite could check afterwards. When an argument depends
// on a table not scanned yet, SQLITE_CONSTRAINT tells the planner to try another join order.
int xBestIndex(sqlite3_vtab* tab, sqlite3_index_info* info) {
    const FunctionDef& def = defOf(tab);
    const int visible = static_cast<int>(def.columns.size());
    const int params = static_cast<int>(def.params.size());
    std::vector<int> usable(params, -1);
    std::vector<bool> unusable(params, false);
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto& c = info->aConstraint[i];
        const int p = c.iColumn - visible;
        if (p < 0 || p >= params || c.op != SQLITE_INDEX_CONSTRAINT_EQ) continue;
        if (!c.usable)
            unusable[p] = true;
        else if (usable[p] < 0)
            usable[p] = i;
    }
    for (int p = 0; p < params; ++p) {
        if (usable[p] >= 0) continue;
        if (unusable[p]) return SQLITE_CONSTRAINT;
        if (p < def.requiredParams)
            return setError(tab, std::string(def.name) + ": servono almeno " + std::to_string(def.requiredParams) +
                                     " argomenti; un argomento che porta il nome di una colonna della funzione va"
                                     " qualificato con l'alias della sua tabella");
    }
    int argv = 0, mask = 0;
    for (int p = 0; p < params; ++p) {
        if (usable[p] < 0) continue;
        info->aConstraintUsage[usable[p]].argvIndex = ++argv;
        info->aConstraintUsage[usable[p]].omit = 1;
        mask |= 1 << p;
    }
    info->idxNum = mask;
    info->estimatedCost = 10;
    info->estimatedRows = 1;
    info->idxFlags = SQLITE_INDEX_SCAN_UNIQUE;
    return SQLITE_OK;
}

int xOpen(sqlite3_vtab* tab, sqlite3_vtab_cursor** out) {
    auto* cur = new FnCursor;
    cur->args.assign(defOf(tab).params.size(), nullptr);
    *out = &cur->base;
    return SQLITE_OK;
}

int xClose(sqlite3_vtab_cursor* base) {
    auto* cur = reinterpret_cast<FnCursor*>(base);
    cur->clearArgs();
    sqlite3_finalize(cur->stmt);
    delete cur;
    return SQLITE_OK;
}

int advance(FnCursor* cur) {
    int rc = sqlite3_step(cur->stmt);
    if (rc == SQLITE_ROW) {
        cur->eof = false;
        ++cur->rowid;
        return SQLITE_OK;
    }
    cur->eof = true;
    if (rc == SQLITE_DONE) return SQLITE_OK;
    auto* vt = reinterpret_cast<FnVtab*>(cur->base.pVtab);
    setError(cur->base.pVtab, std::string(vt->def->name) + ": " + sqlite3_errmsg(vt->db));
    return rc;
}

int xFilter(sqlite3_vtab_cursor* base, int idxNum, const char*, int argc, sqlite3_value** argv) {
    auto* cur = reinterpret_cast<FnCursor*>(base);
    auto* vt = reinterpret_cast<FnVtab*>(base->pVtab);
    const FunctionDef& def = *vt->def;
    cur->clearArgs();
    cur->eof = true;
    cur->rowid = 0;
    int k = 0;
    for (std::size_t p = 0; p < def.params.size() && k < argc; ++p)
        if (idxNum & (1 << p)) cur->args[p] = sqlite3_value_dup(argv[k++]);
    for (int p = 0; p < def.requiredParams; ++p)
        if (!cur->args[p] || sqlite3_value_type(cur->args[p]) == SQLITE_NULL) return SQLITE_OK;

    if (!cur->stmt) {
        int rc = sqlite3_prepare_v3(vt->db, def.lookup, -1, SQLITE_PREPARE_PERSISTENT, &cur->stmt, nullptr);
        if (rc != SQLITE_OK) {
            setError(base->pVtab, std::string(def.name) + ": " + sqlite3_errmsg(vt->db));
            sqlite3_finalize(cur->stmt);
            cur->stmt = nullptr;
            return rc;
        }
    } else {
        sqlite3_reset(cur->stmt);
    }
    for (int p = 0; p < def.requiredParams; ++p) sqlite3_bind_value(cur->stmt, p + 1, cur->args[p]);
    return advance(cur);
}

int xNext(sqlite3_vtab_cursor* base) { return advance(reinterpret_cast<FnCursor*>(base)); }

int xEof(sqlite3_vtab_cursor* base) { return reinterpret_cast<FnCursor*>(base)->eof ? 1 : 0; }

int xColumn(sqlite3_vtab_cursor* base, sqlite3_context* ctx, int column) {
    auto* cur = reinterpret_cast<FnCursor*>(base);
    const int visible = static_cast<int>(defOf(base->pVtab).columns.size());
    if (column < visible) {
        sqlite3_result_value(ctx, sqlite3_column_value(cur->stmt, column));
    } else {
        sqlite3_value* arg = cur->args[column - visible];
        if (arg)
            sqlite3_result_value(ctx, arg);
        else
            sqlite3_result_null(ctx);
    }
    return SQLITE_OK;
}

int xRowid(sqlite3_vtab_cursor* base, sqlite3_int64* rowid) {
    *rowid = reinterpret_cast<FnCursor*>(base)->rowid;
    return SQLITE_OK;
}

sqlite3_module makeModule() {
    sqlite3_module m{};
    m.iVersion = 0;
    m.xCreate = nullptr;   // eponymous only: CREATE VIRTUAL TABLE is refused
    m.xConnect = xConnect;
    m.xBestIndex = xBestIndex;
    m.xDisconnect = xDisconnect;
    m.xDestroy = xDisconnect;
    m.xOpen = xOpen;
    m.xClose = xClose;
    m.xFilter = xFilter;
    m.xNext = xNext;
    m.xEof = xEof;
    m.xColumn = xColumn;
    m.xRowid = xRowid;
    return m;
}

const sqlite3_module kModule = makeModule();

}  // namespace

void registerTableFunctions(sqlite3* db) {
    for (const FunctionDef* def : {&kAnagPdc, &kAnagDittaInter}) {
        int rc = sqlite3_create_module_v2(db, def->name, &kModule, const_cast<FunctionDef*>(def), nullptr);
        if (rc != SQLITE_OK)
            throw db::Error(std::string("Impossibile registrare la funzione ") + def->name + ": " + sqlite3_errmsg(db),
                        rc, "HY000", "SQLite");
    }
}

}  // namespace hostdb
