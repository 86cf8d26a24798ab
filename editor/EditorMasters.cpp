// The customers' and suppliers' master accounts of the ledger chart in the header.

#include "editor/FRMCG_CORRRICL.h"
#include "editor/HeaderStatements.h"

namespace editor {

void FRMCG_CORRRICL::GetMastroCliFor(db::Variant& MastroClienti, db::Variant& MastroFornitori) {
    MastroClienti = "";
    MastroFornitori = "";
    ErrorTrap trap{"GetMastroCliFor", errorRoutine()};
    trap.procedure([&] {
        if (!connection_ || connection_->State() != db::ado::adStateOpen) return;
        std::shared_ptr<db::Recordset> rs;
        trap([&] { rs = connection_->Execute(masterAccountsQuery(txtCodicePdc_->Text(), nomeDatabaseIntercompany_)); });
        if (!rs || rs->State() != db::ado::adStateOpen || rs->RecordCount() == 0) return;
        auto find = [&](const char* criterion, db::Variant& out) {
            trap([&] {
                rs->MoveFirst();
                rs->Find(criterion);
                out = rs->Eof() ? db::Variant("") : db::Variant(rs->value("CG36_CONTO_CG24").toText());
            });
        };
        find("CG36_CODICE = 10", MastroClienti);
        find("CG36_CODICE = 20", MastroFornitori);
    });
}

}  // namespace editor
