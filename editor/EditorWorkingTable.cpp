// The working table #CORRPDCRICL: dropped and created again for the charts in the header.
// At the first activation the header is still empty, so the table is created with its
// columns and no rows (chart 0 has no accounts).

#include "editor/FRMCG_CORRRICL.h"
#include "editor/Required.h"
#include "editor/WorkingTableStatements.h"

namespace editor {

namespace {

int levelCount(const FRMCG_CORRRICL& f, const std::string& control) {
    return f.ValoreNonVuoto(db::Variant(f.fieldText(control)), db::Variant(0)).toInt32();
}

}  // namespace

void FRMCG_CORRRICL::CreaTabella() {
    ErrorTrap trap{"CreaTabella", errorRoutine()};
    trap.procedure([&] {
        // The table does not exist the first time: that error is expected and forgotten.
        ErrorTrap drop{"CreaTabella", suppressErrors()};
        drop([&] { required(connection_, "connessione").Execute(dropTableStatement(kWorkingTable), nullptr, db::ado::adCmdText); });
        drop([&] { required(connection_, "connessione").Errors().Clear(); });

        WorkingTableInput in;
        trap([&] {
            // The analytic kind fills its grid on the client and never reads this table, but
            // the record frame opens its reading query on it: it gets the ledger kinds'
            // shape, whose join supplies PC03_CONTO and PC03_DESCR (the analytic statement
            // has no source for them), and chart code 0 lists no account.
            in.kind = kind() == CorrelationKind::COIN ? CorrelationKind::COGE : kind();
            in.chartCode = kind() == CorrelationKind::COIN ? std::string() : txtCodicePdc_->Text();
            in.reclChartCode = txtCodiceRicl_->Text();
            in.intercompanyCode = txtCodIntercompany_->Text();
            in.mask = mascheraConto_;
            in.intercompanyDatabase = nomeDatabaseIntercompany_;
        });
        trap([&] { in.levels = levelCount(*this, "TXT_NUM_LIVELLI"); });
        trap([&] { in.consolidationLevels = levelCount(*this, "TXT_NUM_LIVELLI_CONS"); });
        trap([&] {
            db::Variant customers, suppliers;
            GetMastroCliFor(customers, suppliers);
            in.customersMaster = customers.toText();
            in.suppliersMaster = suppliers.toText();
        });
        trap([&] { in.companyCode = std::to_string(global()->companyCode()); });
        trap([&] { required(connection_, "connessione").Execute(workingTableStatement(in), nullptr, db::ado::adCmdText); });
    });
}

}  // namespace editor
