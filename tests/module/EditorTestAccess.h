#pragma once
// The internals of the correlation editor that the tests check directly: the window keeps
// them private and lets this accessor (a friend) reach them, so that its public part stays
// what the host and the sibling windows use.

#include <cstdint>
#include <memory>
#include <string>

#include "editor/FRMCG_CORRRICL.h"

namespace editor {

struct EditorTestAccess {
    static bool activated(const FRMCG_CORRRICL& ed) { return ed.activated(); }
    static const std::string& dictionaryText(const FRMCG_CORRRICL& ed, int index) { return ed.dictionaryText(index); }
    static std::int32_t VisualizzaErrore(FRMCG_CORRRICL& ed, const std::string& procedure) {
        return ed.VisualizzaErrore(procedure);
    }
    static std::shared_ptr<kit::RecordFrame> RecordFrame(const FRMCG_CORRRICL& ed) { return ed.RecordFrame(); }
    static std::shared_ptr<host::ReclChartFinder> ReclChartFinder(const FRMCG_CORRRICL& ed) {
        return ed.ReclChartFinder();
    }
    static std::shared_ptr<host::ReclChartDecoder> ReclChartDecoder(const FRMCG_CORRRICL& ed) {
        return ed.ReclChartDecoder();
    }
    static bool CreaTabella(FRMCG_CORRRICL& ed) { return ed.CreaTabella(); }
    static std::string GetStrConnectIntercompany(FRMCG_CORRRICL& ed) { return ed.GetStrConnectIntercompany(); }
    static void DeterminaMastriCliFor(FRMCG_CORRRICL& ed, const db::Variant& codicePdC, db::Variant& mastroClienti,
                                      db::Variant& mastroFornitori) {
        ed.DeterminaMastriCliFor(codicePdC, mastroClienti, mastroFornitori);
    }
};

}  // namespace editor
