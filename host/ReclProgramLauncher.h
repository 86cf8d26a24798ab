#pragma once
// Opens the host's maintenance program of PC01 charts and their accounts.

#include <memory>

#include "db/Variant.h"
#include "host/Fwd.h"
#include "kit/Control.h"

namespace host {

class ReclProgramLauncher : public db::Object {
public:
    ~ReclProgramLauncher() override = default;
    virtual void init(std::shared_ptr<Global> global) = 0;
    // Opens the program on `chart` (Empty or not a number: the list of charts), positioned
    // on `account` when given. With `connectField` an account the user chooses is written
    // into that box (its text). Returns true when something was written back.
    virtual bool run(const db::Variant& chart, const db::Variant& account = {},
                     std::shared_ptr<kit::Control> connectField = nullptr) = 0;
    // Opens the program on the list of charts, positioned on `chart`. With `connectField`
    // the chart the user chooses is written into that box. True when something was written.
    virtual bool runCharts(const db::Variant& chart, std::shared_ptr<kit::Control> connectField = nullptr) = 0;
};

}  // namespace host
