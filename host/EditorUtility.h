#pragma once
// The host's utility class, one per editor: error reports for the load, activation and
// button handlers, host dictionary messages, and small recordset helpers.

#include <memory>
#include <string>
#include <vector>

#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/Variant.h"
#include "host/ErrorInfo.h"
#include "host/Fwd.h"

namespace host {

class EditorUtility {
public:
    virtual ~EditorUtility() = default;
    virtual void start() = 0;
    virtual void initialise(std::shared_ptr<Cinterface> entry, std::shared_ptr<db::Connection> connection,
                            const std::string& title, const db::Variant& window,
                            const std::string& caption) = 0;
    // Reports `error` raised in `procedure`; when the error carries no database items, the
    // error collection of the connection given to initialise is shown. Returns 3, 4 or 5.
    virtual int reportError(const std::string& procedure, const ErrorInfo& error) = 0;
    // Host dictionary message `code` with its parameters; `type` 2/3, 4 for a question.
    virtual int showHostMessage(long code, int type, const std::vector<db::Variant>& params = {},
                                int defaultButton = 0) = 0;
    virtual db::Variant valueOrDefault(const db::Variant& value, const db::Variant& fallback) = 0;
    // True when the recordset is absent, closed, or has no rows.
    virtual bool isEmptyRecordset(const std::shared_ptr<db::Recordset>& rs) = 0;
    // Closes the recordset if open and drops the reference.
    virtual void closeRecordset(std::shared_ptr<db::Recordset>& rs) = 0;
    virtual void finish() = 0;
};

}  // namespace host
