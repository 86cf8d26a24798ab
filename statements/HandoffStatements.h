#pragma once
// Counting a master account's intermediaries, and those already correlated, for the
// intermediaries button and its check mark.

#include <string>

namespace editor {

// Intermediaries of the company with that customer/supplier type (intermediary 0 included).
std::string intermediariesCountQuery(const std::string& intercompanyDatabase, const std::string& company, int tipoCf);

// The count above restricted to intermediaries other than 0 with a correlation on either
// sign in the reclassification chart; CONS reads CGB4_CORRINTERMEDICONS of the structure.
std::string correlatedIntermediariesCountQuery(bool cons, const std::string& intercompanyDatabase,
                                               const std::string& company, int tipoCf,
                                               const std::string& reclChart, const std::string& structure);

}  // namespace editor
