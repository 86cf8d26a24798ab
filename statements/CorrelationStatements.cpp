#include "statements/CorrelationStatements.h"

#include "statements/SqlValues.h"

namespace editor {

namespace {
const CorrelationTable kTables[] = {
    {"CG83_COLLRICL", "CG83_CODICE_CG10", "CG83_CONTO_CG24", "CG83_CODICERICL_PC01", "CG83_CONTORICL_PC03", "CG83_INDSEGNO"},
    {"PC07_COLLRICL", "PC07_CODICE_PC01", "PC07_CONTO_PC03", "PC07_CODICERICL_PC01", "PC07_CONTORICL_PC03", "PC07_INDSEGNO"},
    {"CGH0_COLLRICLHYP", "CGH0_GRUPPO_CG10", "CGH0_CONTO_CG24", "CGH0_CODICE_PC01", "CGH0_CONTO_PC03", "CGH0_INDSEGNO"},
    {"CGB3_COLLRICLCONS", "CGB3_CODICE_CGC0", "CGB3_CONTO_CG24", "CGB3_CODICE_PC01", "CGB3_CONTO_PC03", "CGB3_INDSEGNO"},
};
}  // namespace

const CorrelationTable& correlationTable(CorrelationKind kind) { return kTables[static_cast<int>(kind) & 3]; }

SaveOperation chooseSaveOperation(const std::string& newAccount, const std::string& previousAccount) {
    if (newAccount.empty()) return SaveOperation::Delete;
    if (!previousAccount.empty()) return SaveOperation::Update;
    return SaveOperation::Insert;
}

std::string deleteCorrelationStatement(CorrelationKind kind, const CorrelationKey& k, const std::string& previous) {
    const auto& t = correlationTable(kind);
    return std::string("DELETE FROM ") + t.table + " WHERE " + t.targetColumn + " = '" + textValue(previous) + "'" +
           " AND " + t.ledgerColumn + " = " + bareValue(k.ledgerCode) + " AND " + t.accountColumn + " = '" +
           textValue(k.account) + "'" + " AND " + t.chartColumn + " = " + bareValue(k.reclChart) + " AND " +
           t.signColumn + " = " + std::to_string(k.sign);
}

std::string updateCorrelationStatement(CorrelationKind kind, const CorrelationKey& k, const std::string& account) {
    const auto& t = correlationTable(kind);
    return std::string(" UPDATE ") + t.table + " SET " + t.targetColumn + " = '" + textValue(account) + "'" +
           " WHERE " + t.ledgerColumn + " = " + bareValue(k.ledgerCode) + " AND " + t.accountColumn + " = '" +
           textValue(k.account) + "'" + " AND " + t.signColumn + " = " + std::to_string(k.sign) + " AND " +
           t.chartColumn + " = " + bareValue(k.reclChart);
}

std::string insertCorrelationStatement(CorrelationKind kind, const CorrelationKey& k, const std::string& account) {
    const auto& t = correlationTable(kind);
    return std::string("INSERT INTO ") + t.table + " " + " (" + t.ledgerColumn + "," + " " + t.accountColumn + "," +
           " " + t.chartColumn + "," + " " + t.targetColumn + ", " + " " + t.signColumn + ") VALUES (" +
           bareValue(k.ledgerCode) + ", '" + textValue(k.account) + "', " + bareValue(k.reclChart) + ", '" +
           textValue(account) + "', " + std::to_string(k.sign) + ")";
}

std::string saveCorrelationStatement(CorrelationKind kind, const CorrelationKey& key, const std::string& newAccount,
                                     const std::string& previousAccount) {
    switch (chooseSaveOperation(newAccount, previousAccount)) {
        case SaveOperation::Delete: return deleteCorrelationStatement(kind, key, previousAccount);
        case SaveOperation::Update: return updateCorrelationStatement(kind, key, newAccount);
        case SaveOperation::Insert: break;
    }
    return insertCorrelationStatement(kind, key, newAccount);
}

}  // namespace editor
