#pragma once
// What the interim-balance correlation by CEE scheme (bycee::FRMCG_CORRRICLBYCEE) sees of the
// correlation editor that opens it: the charts in its header, its connections, its host
// utility with the error report, and the two steps that bring the editor up to date once
// the run changed correlations. Implemented by editor::FRMCG_CORRRICL.

#include <memory>
#include <string>

#include "editor/ErrorTrap.h"

namespace db {
class Connection;
}
namespace host {
class EditorUtility;
}

namespace editor {

class CeeCaller {
public:
    // TXT_CODICE_PDC and TXT_CODICE_RICL as typed.
    virtual const std::string& CodicePdcText() const = 0;
    virtual const std::string& CodiceRiclText() const = 0;
    // The host's connection string (what the scheme code decodes and looks up through) and
    // the editor's own connection (what the run reads and writes through).
    virtual const std::string& StringaConnessioneHost() const = 0;
    virtual std::shared_ptr<db::Connection> EditorConnection() const = 0;
    // The host utility (messages, value-or-default) and its error report.
    virtual std::shared_ptr<host::EditorUtility> CeeUtility() const = 0;
    virtual ErrorReporter CeeErrorRoutine() = 0;
    // Fills the grid again from the database; true when it was filled.
    virtual bool ValorizzaGrid() = 0;
    // Takes TXT_CODICE_PDC and TXT_CODICE_RICL out of the tab order once the grid shows the
    // new correlations.
    virtual void EscludiCodiciDaTabulazione() = 0;

protected:
    ~CeeCaller() = default;
};

}  // namespace editor
