#pragma once
// The host's intercompany-structure program (CGC0_STRUTINFRAGRUPPO), opened from a structure
// code box: mode 1 searches a structure and writes the chosen code into the box, mode 0
// opens the maintenance of the structures positioned on the box's code.

#include <memory>

#include "db/Variant.h"
#include "host/Fwd.h"
#include "kit/Control.h"

namespace host {

class IntercompanyProgram : public db::Object {
public:
    static constexpr int kMaintenance = 0;
    static constexpr int kSearch = 1;

    ~IntercompanyProgram() override = default;
    // `box` receives the chosen structure code; `text` is what it holds now.
    virtual void init(std::shared_ptr<Cinterface> entry, std::shared_ptr<kit::Control> box,
                      const db::Variant& text, const db::Variant& mode) = 0;
    // Runs the program; true when a code was written into the box. host::HostError for a
    // mode other than 0 and 1 or a run without init; db errors of the search statement
    // reach the caller.
    virtual bool run() = 0;
};

}  // namespace host
