#pragma once
// Creates the host classes a window keeps for its lifetime. Reached through Global.

#include <memory>

#include "host/ConnectionProvider.h"
#include "host/EditorUtility.h"
#include "host/LogService.h"
#include "host/RecordsetFactory.h"

namespace host {

class ClassFactory {
public:
    virtual ~ClassFactory() = default;
    virtual std::shared_ptr<LogService> newLogService() = 0;
    virtual std::shared_ptr<EditorUtility> newEditorUtility() = 0;
    virtual std::shared_ptr<ConnectionProvider> newConnectionProvider() = 0;
    virtual std::shared_ptr<RecordsetFactory> newRecordsetFactory() = 0;
};

}  // namespace host
