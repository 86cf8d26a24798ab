#pragma once
// What a backend hands back for one statement that returns rows: column descriptions and
// the rows, already in memory in a compact table (the client-side static cursor is built on
// this, without copying them).

#include <string>
#include <vector>

#include "db/Ado.h"
#include "db/RowTable.h"
#include "db/Variant.h"

namespace db {

struct FieldInfo {
    std::string name;
    int type = ado::adVariant;         // ADO DataType
    long definedSize = 0;              // characters for text, precision for decimals
    int attributes = ado::adFldIsNullable;
};

struct ResultSet {
    std::vector<FieldInfo> fields;
    RowTable rows;   // as wide as `fields` once a backend has filled it
};

// Outcome of one command text (which may hold a batch of statements).
struct ExecResult {
    std::vector<ResultSet> resultSets;   // one per row-returning statement, in order
    long long rowsAffected = -1;         // sum over the data-changing statements; -1 when none
};

}  // namespace db
