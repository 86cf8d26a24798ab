// The conflict check of the customers' and suppliers' master accounts (message 115), over
// working rows in memory as both editors hold them.
#include <gtest/gtest.h>

#include "db/Recordset.h"
#include "editor/MasterConflict.h"

namespace {

namespace ado = db::ado;

// Two rows (sign 1, sign 2) per account, with the reclassified accounts given in that order.
std::shared_ptr<db::Recordset> rows(const std::vector<std::pair<std::string, std::pair<const char*, const char*>>>& accounts) {
    auto rs = db::Recordset::create();
    rs->fields().Append("CONTOPDC", ado::adVarWChar, 15, ado::adFldIsNullable);
    rs->fields().Append("CONTORICL", ado::adVarWChar, 15, ado::adFldIsNullable);
    rs->fields().Append("SEGNO", ado::adDecimal, 1, ado::adFldIsNullable);
    rs->Open();
    for (const auto& [account, targets] : accounts)
        for (int sign : {1, 2}) {
            rs->AddNew();
            rs->setValue("CONTOPDC", account);
            const char* target = sign == 1 ? targets.first : targets.second;
            rs->setValue("CONTORICL", target ? db::Variant(std::string(target)) : db::Variant::null());
            rs->setValue("SEGNO", sign);
            rs->Update();
        }
    rs->MoveFirst();
    return rs;
}

const std::string kCustomers = "1401000000", kSuppliers = "2601000000";

TEST(MasterConflict, TheOtherMasterHoldingTheAccountOnEitherSignIsNamed) {
    auto rs = rows({{kCustomers, {"02", nullptr}}, {"1402000000", {"07", "07"}}, {kSuppliers, {nullptr, "05  "}}});
    const long position = rs->AbsolutePosition();
    // The suppliers hold 05 on sign 2 (stored with trailing blanks): refused for the customers.
    EXPECT_EQ(editor::otherMasterHolding(*rs, kCustomers, kSuppliers, kCustomers, "05"), "fornitori");
    // The customers hold 02 on sign 1: refused for the suppliers.
    EXPECT_EQ(editor::otherMasterHolding(*rs, kCustomers, kSuppliers, kSuppliers, "02"), "clienti");
    // A master's own account, another account's, or none at all is no conflict.
    EXPECT_EQ(editor::otherMasterHolding(*rs, kCustomers, kSuppliers, kCustomers, "02"), "");
    EXPECT_EQ(editor::otherMasterHolding(*rs, kCustomers, kSuppliers, kSuppliers, "07"), "");
    EXPECT_EQ(editor::otherMasterHolding(*rs, kCustomers, kSuppliers, kCustomers, "06"), "");
    // The rows themselves do not move and keep no filter.
    EXPECT_EQ(rs->AbsolutePosition(), position);
    EXPECT_EQ(rs->Filter(), "");
    EXPECT_EQ(rs->RecordCount(), 6);
}

TEST(MasterConflict, AMasterMissingFromTheRowsHoldsNothing) {
    auto rs = rows({{kCustomers, {"02", "02"}}});
    EXPECT_EQ(editor::otherMasterHolding(*rs, kCustomers, kSuppliers, kCustomers, "02"), "");
    EXPECT_EQ(editor::otherMasterHolding(*rs, kCustomers, "", kCustomers, "02"), "");
}

}  // namespace
