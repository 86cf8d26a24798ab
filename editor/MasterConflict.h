#pragma once
// A customers' or suppliers' master account may take a reclassified account that is not
// analytic, unless the other master already has it on either sign: the check both editors
// run over their working rows before message 115.

#include <string>

namespace db {
class Recordset;
}

namespace editor {

// The other master's word for message 115 ("fornitori" for the customers' master's row,
// "clienti" for the suppliers'), when that master holds `account` on sign 1 or 2 among `rows`
// (working rows with CONTOPDC, SEGNO and CONTORICL); "" when it does not. `rowAccount` is the
// master whose row takes the account. Moves a clone only; raises what the recordset raises.
std::string otherMasterHolding(db::Recordset& rows, const std::string& customers, const std::string& suppliers,
                               const std::string& rowAccount, const std::string& account);

}  // namespace editor
