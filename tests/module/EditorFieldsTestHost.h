#pragma once
// The host of the header-field tests: a copy of the demo database with the few charts and
// structures the demo does not have (ledger charts with odd stored masks, an analytic chart
// of type 2, structures whose company has no chart or a chart only in the group database),
// and helpers that act as a user does: type into a box and leave it.

#include <memory>
#include <string>
#include <vector>

#include "ModuleTestHost.h"
#include "standalone/components/Programs.h"

namespace fieldstest {

// The folder of the extended copy, made once per test binary.
const std::string& fieldsFolder();
// Host connection string on that folder, in the demo's own form
// ("Provider=SQLite;database=BREVANTO;Data Source=DIR").
std::string fieldsConnectionString();

class FieldsHost : public moduletest::ModuleHost {
protected:
    void SetUp() override;

    // A host on `connectionString` whose company chart has `levels` levels.
    void useHost(const std::string& connectionString, int levels);
    std::shared_ptr<editor::FRMCG_CORRRICL> openKind(editor::CorrelationKind kind);

    // Puts the focus in the box, types `text` and presses Tab. True when the focus left.
    bool typeAndTab(editor::FRMCG_CORRRICL& ed, const std::string& control, const std::string& text);
    // Puts the focus in the box, types `text`, then clicks a button (the focus goes there).
    bool typeAndLeave(editor::FRMCG_CORRRICL& ed, const std::string& control, const std::string& text);
    std::string focusedName(const editor::FRMCG_CORRRICL& ed) const;

    // Statements since the last take that contain `needle`.
    std::vector<std::string> takeSqlContaining(const std::string& needle);
    standalone::RecordingProgramPresenter& programs();
};

}  // namespace fieldstest
