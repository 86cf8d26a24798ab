#pragma once
// The single statement that stores one correlation (one account and sign) of the editor's
// kind: a DELETE, an UPDATE or an INSERT on the kind's correlation table.

#include <string>

#include "editor/CorrelationKind.h"

namespace editor {

// Columns of a kind's correlation table.
struct CorrelationTable {
    const char* table;
    const char* ledgerColumn;    // chart (or intercompany structure in CONS)
    const char* accountColumn;   // account being correlated
    const char* chartColumn;     // reclassification chart
    const char* targetColumn;    // reclassified account
    const char* signColumn;
};

const CorrelationTable& correlationTable(CorrelationKind kind);

enum class SaveOperation { Delete, Update, Insert };

// DELETE when the new account is "", UPDATE when there was a previous one, INSERT otherwise.
SaveOperation chooseSaveOperation(const std::string& newAccount, const std::string& previousAccount);

struct CorrelationKey {
    std::string ledgerCode;   // L: TXT_CODICE_PDC, or TXT_CODINTERCOMPANY in CONS
    std::string account;      // A: the working row's CONTOPDC
    std::string reclChart;    // R: TXT_CODICE_RICL
    int sign = 1;             // S: the working row's SEGNO
};

std::string deleteCorrelationStatement(CorrelationKind kind, const CorrelationKey& key,
                                       const std::string& previousAccount);
std::string updateCorrelationStatement(CorrelationKind kind, const CorrelationKey& key,
                                       const std::string& newAccount);
std::string insertCorrelationStatement(CorrelationKind kind, const CorrelationKey& key,
                                       const std::string& newAccount);

// The statement chooseSaveOperation picks.
std::string saveCorrelationStatement(CorrelationKind kind, const CorrelationKey& key,
                                     const std::string& newAccount, const std::string& previousAccount);

}  // namespace editor
