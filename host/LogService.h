#pragma once
// The host's log class, one per editor: collects the current error and shows error reports
// and the module's messages.

#include <cstdint>
#include <memory>
#include <string>

#include "db/Connection.h"
#include "db/Variant.h"
#include "host/ErrorInfo.h"
#include "host/Fwd.h"

namespace host {

class LogService {
public:
    virtual ~LogService() = default;
    virtual void initialise(std::shared_ptr<Cinterface> entry) = 0;
    // The error to report next (replaces any previous one).
    virtual void takeError(long number, const std::string& description, const std::string& source) = 0;
    void takeError(const ErrorInfo& e) { takeError(e.number, e.description, e.source); }
    // The database's error collection belonging to that error.
    virtual void takeAdoErrors(const db::Errors& errors) = 0;
    // Shows the taken error; `style` 4370 = abort/retry/ignore. Returns 3, 4 or 5.
    // The taken error is cleared afterwards.
    virtual int showError(const std::string& title, const std::string& caption,
                          const std::string& procedure, int style, const db::Variant& window) = 0;
    // Default button of the next showMessage (0 = the box's own default).
    virtual void setDefaultButton(int button) = 0;
    virtual std::int16_t showMessage(long code, int type, const std::string& text,
                                     const std::string& detail, const db::Variant& window) = 0;
    virtual void finish() = 0;
    // Drops the link to the entry class.
    virtual void detach() = 0;
};

}  // namespace host
