#pragma once
// The intermediaries editor's working table #CORRINTERMEDI and the statements that store an
// intermediary's correlation in CG93_CORRINTERMEDIRICL (or CGB4_CORRINTERMEDICONS in CONS).

#include <string>

namespace intermedi {

inline constexpr const char* kIntermediTable = "#CORRINTERMEDI";

struct IntermediTableInput {
    bool cons = false;
    std::string intercompanyDatabase;   // P ("" = host database)
    std::string chartCode;              // G
    std::string masterAccount;          // M
    std::string companyCode;            // D
    int tipoCf = 0;                     // T
    std::string reclChart;              // R
    std::string structureCode;          // S
};

std::string intermediTableStatement(const IntermediTableInput& in);
std::string intermediReadingQuery();

struct IntermediKey {
    bool cons = false;
    std::string owner;      // D (company) or X (structure, CONS)
    int tipoCf = 0;         // T
    int intermediary = 0;   // I
    std::string reclChart;  // R
    int sign = 1;           // S
};

// Characters 3 and 4 of a sub-account code as a number (0 when absent or not numeric).
int intermediaryOfCode(const std::string& code);

std::string deleteIntermediStatement(const IntermediKey& k, const std::string& storedAccount);
std::string conditionalInsertIntermediStatement(const IntermediKey& k, const std::string& newAccount);
std::string updateIntermediStatement(const IntermediKey& k, const std::string& newAccount,
                                     const std::string& storedAccount);

}  // namespace intermedi
