#pragma once
// The host programs a code field opens, as the automation driver shows them: a program that
// hands a choice back to its box is answered like a lookup window, from the same queue of
// picks, and kept among the lookups shown. A read-only one only appears as its "program"
// event.

#include <optional>
#include <string>

#include "host/ProgramPresenter.h"
#include "kit/WindowSystem.h"

namespace standalone {

class ProgramLookups : public host::ProgramPresenter {
public:
    // `lookups` must outlive the presenter (the driver's window system owns both).
    explicit ProgramLookups(kit::LookupPresenter& lookups) : lookups_(lookups) {}
    std::optional<std::string> run(const host::ProgramRequest& request) override;

private:
    kit::LookupPresenter& lookups_;
};

}  // namespace standalone
