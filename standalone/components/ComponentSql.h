#pragma once
// Statement pieces the stand-alone code-field components share: filters on a numeric code
// and the listings that both a finder and a program browser show.

#include <string>

#include "db/Variant.h"
#include "host/LookupCatalog.h"

namespace standalone::components {

// " WHERE <column> = <n>" when `code` is a whole number (digits, blanks around allowed);
// otherwise a filter that finds nothing, so a letter or a quote in a code never reaches
// the statement text.
std::string whereCode(const std::string& column, const db::Variant& code);
// The same, as " AND <column> = <n>" / " AND 1 = 0", for a statement that has a WHERE.
std::string andCode(const std::string& column, const db::Variant& code);

// The ledger charts (CG10): code, description, levels.
host::LookupDefinition ledgerChartsListing();
// The accounts of ledger chart `chart` (CG24): code, description, type.
host::LookupDefinition ledgerAccountsListing(const db::Variant& chart);
// The PC01 charts of the types `typeFilter` allows (an SQL condition on PC01_INDTIPOPDC,
// "" for all): code, description, type.
host::LookupDefinition reclChartsListing(const std::string& typeFilter);
// The accounts of PC01 chart `chart`: code, description, analytic flag as "Sì"/"No", type.
host::LookupDefinition reclAccountsListing(const db::Variant& chart);
// The intercompany structures: code, description, company name, database.
host::LookupDefinition intercompanyStructuresListing();

// A value as text with blanks removed at both ends; "" for Empty, Null and objects.
std::string trimmedText(const db::Variant& value);
// A numeric code as the user sees it: a whole number without leading zeros or decimals,
// otherwise trimmedText.
std::string codeText(const db::Variant& code);

}  // namespace standalone::components
