#pragma once
// Per-window factory of recordset objects.

#include <memory>

#include "db/Recordset.h"

namespace host {

class RecordsetFactory {
public:
    virtual ~RecordsetFactory() = default;
    virtual std::shared_ptr<db::Recordset> newRecordset() = 0;
};

}  // namespace host
