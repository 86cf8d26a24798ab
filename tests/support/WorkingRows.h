#pragma once
// An in-memory working recordset like the correlation editor's, for tests of grids.

#include <memory>
#include <string>

#include "db/Recordset.h"

namespace testsupport {

// Rows of (FAKEID, CONTOPDC, DESCRPDC, SEGNO, CONTORICL): `accounts` accounts, two signs each;
// the first account's "Dare" row is correlated to R1. The cursor is on the first row.
inline std::shared_ptr<db::Recordset> workingRows(int accounts) {
    auto rs = db::Recordset::create();
    rs->fields().Append("FAKEID", db::ado::adInteger);
    rs->fields().Append("CONTOPDC", db::ado::adVarWChar, 15, db::ado::adFldIsNullable);
    rs->fields().Append("DESCRPDC", db::ado::adVarWChar, 60, db::ado::adFldIsNullable);
    rs->fields().Append("SEGNO", db::ado::adInteger);
    rs->fields().Append("CONTORICL", db::ado::adVarWChar, 15, db::ado::adFldIsNullable);
    rs->Open();
    int id = 1;
    for (int a = 0; a < accounts; ++a)
        for (int sign = 1; sign <= 2; ++sign) {
            rs->AddNew();
            rs->setValue("FAKEID", id++);
            rs->setValue("CONTOPDC", "01" + std::to_string(100000 + a));
            rs->setValue("DESCRPDC", "Conto " + std::to_string(a));
            rs->setValue("SEGNO", sign);
            rs->setValue("CONTORICL", a == 0 && sign == 1 ? db::Variant("R1") : db::Variant::null());
            rs->Update();
        }
    rs->MoveFirst();
    return rs;
}

}  // namespace testsupport
