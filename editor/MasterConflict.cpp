#include "editor/MasterConflict.h"

#include "db/Recordset.h"
#include "db/SqlText.h"
#include "text/Text.h"

namespace editor {

std::string otherMasterHolding(db::Recordset& rows, const std::string& customers, const std::string& suppliers,
                               const std::string& rowAccount, const std::string& account) {
    const bool customersRow = rowAccount == customers;
    const std::string& other = customersRow ? suppliers : customers;
    auto clone = rows.Clone();
    for (int sign : {1, 2}) {
        clone->setFilter("CONTOPDC = " + db::sqlQuoted(other) + " AND SEGNO = " + std::to_string(sign));
        if (!clone->Eof() && text::trimSpaces(clone->value("CONTORICL").toText()) == account)
            return customersRow ? "fornitori" : "clienti";
    }
    return "";
}

}  // namespace editor
