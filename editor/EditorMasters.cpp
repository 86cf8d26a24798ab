// The customers' and suppliers' master accounts: of the ledger chart in the header, read from
// its settings, and as the host's ledger-chart parameters report them.

#include "editor/FRMCG_CORRRICL.h"
#include "statements/HeaderStatements.h"

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

void FRMCG_CORRRICL::DeterminaMastriCliFor(const db::Variant& CodicePdC, db::Variant& MastroClienti,
                                           db::Variant& MastroFornitori) {
    ErrorTrap trap{"DeterminaMastriCliFor", errorRoutine()};
    trap.procedure([&] {
        host::LedgerParameters parameters;
        trap([&] {
            auto g = global();
            parameters = g->ledgerParameters();
            // Parameters not read yet: those of the chart asked for.
            if (parameters.customersMaster.empty() && parameters.suppliersMaster.empty())
                parameters = g->loadLedgerParameters(CodicePdC);
        });
        MastroClienti = parameters.customersMaster;
        MastroFornitori = parameters.suppliersMaster;
    });
}

}  // namespace editor
