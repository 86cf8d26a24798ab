#pragma once
// The host navigator handed to an entry class (ActiveNavigator): its three events and the
// notices and refreshes the editor sends it.

#include <cstdint>
#include <memory>

#include "db/Variant.h"
#include "host/ExportToOffice.h"
#include "host/LayoutModel.h"
#include "host/ScriptModel.h"
#include "kit/Event.h"

namespace host {

class Navigator : public db::Object {
public:
    ~Navigator() override = default;

    // Raised by the host; the bool is Cancel.
    kit::Event<bool&, ExportToOffice&> BeforeExportToOffice;
    kit::Event<bool&, LayoutModel&> InitializeLayoutObjectModel;
    kit::Event<bool&, ScriptModel&> InitializeScriptObjectModel;

    virtual void refreshStatus(std::int16_t status) = 0;
    virtual void refresh() = 0;
    virtual void activationNotice() = 0;
    virtual void formNotice(db::Variant& out) = 0;
    virtual void closingNotice() = 0;
    // nullptr when there is none (e.g. after clearScriptModel).
    virtual std::shared_ptr<ScriptModel> scriptObjectModel() = 0;
    virtual void clearLayoutModel() = 0;
    virtual void clearScriptModel() = 0;
    virtual void clearEntryLink() = 0;
};

}  // namespace host
