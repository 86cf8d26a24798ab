#pragma once
// Creates the host classes a window keeps for its lifetime, and the code-field components
// (decoders, finders, program launchers) the editor creates per use or keeps. Reached
// through Global.

#include <memory>

#include "host/ConnectionProvider.h"
#include "host/CorrelationReport.h"
#include "host/EditorUtility.h"
#include "host/IntercompanyDecoder.h"
#include "host/IntercompanyProgram.h"
#include "host/LedgerChartDecoder.h"
#include "host/LedgerChartFinder.h"
#include "host/LedgerProgramLauncher.h"
#include "host/LogService.h"
#include "host/ReclChartDecoder.h"
#include "host/ReclChartFinder.h"
#include "host/ReclProgramLauncher.h"
#include "host/RecordsetFactory.h"

namespace host {

class ClassFactory {
public:
    virtual ~ClassFactory() = default;
    virtual std::shared_ptr<LogService> newLogService() = 0;
    virtual std::shared_ptr<EditorUtility> newEditorUtility() = 0;
    virtual std::shared_ptr<ConnectionProvider> newConnectionProvider() = 0;
    virtual std::shared_ptr<RecordsetFactory> newRecordsetFactory() = 0;

    // Code-field components; each call gives a new, uninitialised instance.
    virtual std::shared_ptr<LedgerChartDecoder> newLedgerChartDecoder() = 0;
    virtual std::shared_ptr<LedgerChartFinder> newLedgerChartFinder() = 0;
    virtual std::shared_ptr<ReclChartDecoder> newReclChartDecoder() = 0;
    virtual std::shared_ptr<ReclChartFinder> newReclChartFinder() = 0;
    virtual std::shared_ptr<IntercompanyDecoder> newIntercompanyDecoder() = 0;
    virtual std::shared_ptr<ReclProgramLauncher> newReclProgramLauncher() = 0;
    virtual std::shared_ptr<LedgerProgramLauncher> newLedgerProgramLauncher() = 0;
    virtual std::shared_ptr<IntercompanyProgram> newIntercompanyProgram() = 0;

    // The printed list of correlations; nullptr when the host prints none.
    virtual std::shared_ptr<CorrelationReport> newCorrelationReport() { return nullptr; }
};

}  // namespace host
