// The working table #CORRPDCRICL: dropped and created again for the charts in the header.
// At the first activation the header is still empty, so the table is created with its
// columns and no rows (chart 0 has no accounts).
//
// The grid fills: the ledger kinds read the working table into the grid recordset
// (ValorizzaGridNew); the analytic kind builds its rows on the client, pairing each account's
// debit and credit correlations (ValorizzaGridOld). ValorizzaGrid picks one and binds the grid.

#include "editor/FRMCG_CORRRICL.h"
#include "editor/Required.h"
#include "statements/WorkingTableStatements.h"
#include "host/EditorUtility.h"
#include "kit/FlagScope.h"

namespace editor {

namespace {

int levelCount(const FRMCG_CORRRICL& f, const std::string& control) {
    return f.ValoreNonVuoto(db::Variant(f.fieldText(control)), db::Variant(0)).toInt32();
}

// The analytic kind's grid recordset: the working table's columns without FAKEID, held in
// memory only (its rows are never sent back; every change has its own statement).
void defineAnalyticRows(db::Recordset& rs) {
    using namespace db::ado;
    auto& f = rs.fields();
    f.Append("CONTOPDC", adVarWChar, 15, adFldIsNullable);
    f.Append("DESCRPDC", adVarWChar, 80, adFldIsNullable);
    f.Append("CONTOPDCGRID", adVarWChar, 20, adFldIsNullable);
    f.Append("DESCRPDCGRID", adVarWChar, 80, adFldIsNullable);
    f.Append("CONTORICL", adVarWChar, 15, adFldIsNullable);
    f.Append("DESCRRICL", adVarWChar, 80, adFldIsNullable);
    f.Append("SEGNO", adDecimal, 1, adFldIsNullable);
    f.Append("INDTIPOCONTO", adDecimal, 2, adFldIsNullable);
    f.Append("TIPOCF", adDecimal, 2, adFldIsNullable);
    rs.setCursorLocation(adUseClient);
    rs.setLockType(adLockBatchOptimistic);
    rs.setCursorType(adOpenDynamic);
    rs.setActiveConnection(nullptr);
    rs.Open();
}

// Appends the two rows (sign 1, sign 2) of the analytic account the source stands on. The
// source lists an account once per stored correlation, ordered by account and sign, or once
// with a Null sign when it has none; a debit row followed by the same account's credit row
// is consumed here as one pair.
void appendAnalyticPair(db::Recordset& src, db::Recordset& rs, const std::string& displayText) {
    const db::Variant account = src.value("CONTOPDC");
    const db::Variant description = src.value("DESCRCONTO");
    const db::Variant sign = src.value("SEGNO");
    const int s = sign.isBlank() ? 0 : sign.toInt32();
    auto head = [&](const db::Variant& recl, const db::Variant& reclDescr) {
        rs.AddNew();
        rs.setValue("CONTOPDC", account);
        rs.setValue("DESCRPDC", description);
        rs.setValue("CONTOPDCGRID", db::Variant(displayText));
        rs.setValue("DESCRPDCGRID", description);
        if (!recl.isEmpty()) rs.setValue("CONTORICL", recl);
        if (!reclDescr.isEmpty()) rs.setValue("DESCRRICL", reclDescr);
        rs.setValue("SEGNO", db::Variant::decimal(1));
        rs.Update();
    };
    auto tail = [&](const db::Variant& recl, const db::Variant& reclDescr) {
        rs.AddNew();
        rs.setValue("CONTOPDC", account);
        rs.setValue("DESCRPDC", description);
        if (!recl.isEmpty()) rs.setValue("CONTORICL", recl);
        if (!reclDescr.isEmpty()) rs.setValue("DESCRRICL", reclDescr);
        rs.setValue("SEGNO", db::Variant::decimal(2));
        rs.Update();
    };
    if (s == 0) {
        head({}, {});
        tail({}, {});
    } else if (s == 1) {
        head(src.value("CONTOPDCRICL"), src.value("DESCRCONTORICL"));
        src.MoveNext();
        if (src.Eof() || src.value("CONTOPDC").toText() != account.toText()) {
            // No credit correlation: the next source row is another account's, handled by
            // the caller's next step.
            src.MovePrevious();
            tail({}, {});
        } else {
            tail(src.value("CONTOPDCRICL"), src.value("DESCRCONTORICL"));
        }
    } else {
        head({}, {});
        tail(src.value("CONTOPDCRICL"), src.value("DESCRCONTORICL"));
    }
}

}  // namespace

bool FRMCG_CORRRICL::ValorizzaGrid() {
    bool result = false;
    ErrorTrap trap{"ValorizzaGrid", errorRoutine()};
    trap.procedure([&] {
        trap([&] {
            txtContoCoin_->setChartCode(db::Variant(txtCodiceRicl_->Text()));
            txtContoCoin_->setFilterText("");
            txtContoCoin_->setInitialText("");
        });
        bool filled = false;
        trap([&] { filled = kind() == CorrelationKind::COIN ? ValorizzaGridOld() : ValorizzaGridNew(); });
        if (!filled) return;
        trap([&] {
            if (required(utility_, "EditorUtility").isEmptyRecordset(gridRecordset_)) return;
            // A fresh fill stands on its first row already; moving there again would make the
            // frame save a row the fill itself pre-filled before the user saw it.
            if (gridRecordset_->AbsolutePosition() != 1) gridRecordset_->MoveFirst();
            grid_->setRecordset(gridRecordset_);
            txtContoCoin_->setValue(gridRecordset_->value("CONTORICL").toText());
        });
        trap([&] {
            grid_->setEnabled(true);
            txtContoCoin_->setEnabled(true);
        });
        result = true;
    });
    return result;
}

bool FRMCG_CORRRICL::ValorizzaGridNew() {
    bool result = false;
    ErrorTrap trap{"ValorizzaGridNew", errorRoutine()};
    trap.procedure([&] {
        bool tableMade = false;
        trap([&] { tableMade = CreaTabella(); });
        // Its failure has been told once; reading the missing table would only repeat it.
        if (!tableMade) return;
        const std::string query = workingTableReadingQuery(kWorkingTable);
        trap([&] { required(frame_, "record frame").Clear(); });
        trap([&] {
            // After message 107 an earlier fill let the grid recordset go (below), and only
            // the frame set-up creates one. A later fill therefore takes a new recordset from
            // the RecordsetFactory, on the editor's connection; the frame follows the
            // editor's recordset variable and picks it up at SetQuery, and ValorizzaGrid
            // binds the grid to it, so the window stays usable after an empty chart.
            if (!gridRecordset_) {
                gridRecordset_ = recordsetFactory_ ? recordsetFactory_->newRecordset() : db::Recordset::create();
                required(gridRecordset_, "recordset della griglia").setActiveConnection(connection_);
            }
            auto& rs = *gridRecordset_;
            if (rs.State() == db::ado::adStateOpen) rs.Close();
            auto conn = rs.ActiveConnection() ? rs.ActiveConnection() : connection_;
            rs.Open(query, conn);
        });
        {
            kit::FlagScope loading(gridLoading_);
            trap([&] { required(frame_, "record frame").SetQuery(query); });
        }
        trap([&] {
            if (required(gridRecordset_, "recordset della griglia").RecordCount() > 0)
                required(frame_, "record frame").setStatus(kit::StatusShowing);
        });
        bool noRows = true;
        trap([&] { noRows = required(gridRecordset_, "recordset della griglia").Eof(); });
        if (noRows) {
            std::int32_t tipo = 3;
            ShowMessage(tipo, 107);
            // The empty recordset is let go; the grid and the frame stop showing it, and with
            // no row shown the header fields go back into the tab order (frame status 2), so
            // that the user can choose other charts.
            trap([&] {
                grid_->setRecordset(nullptr);
                gridRecordset_.reset();
                if (frame_) {
                    frame_->Clear();
                    frame_->setStatus(kit::StatusNew);
                }
            });
            return;
        }
        result = true;
    });
    return result;
}

bool FRMCG_CORRRICL::ValorizzaGridOld() {
    bool result = false;
    ErrorTrap trap{"ValorizzaGridOld", errorRoutine()};
    trap.procedure([&] {
        const std::string analyticChart = txtCodicePdc_->Text();
        const std::string reclChart = txtCodiceRicl_->Text();
        // The account box decodes each analytic account below; the frame must not take
        // those values for the user's changes of the row it shows.
        trap([&] {
            if (frame_) frame_->Clear();
        });
        trap([&] {
            gridRecordset_.reset();
            auto rs = recordsetFactory_ ? recordsetFactory_->newRecordset() : db::Recordset::create();
            defineAnalyticRows(required(rs, "recordset della griglia"));
            gridRecordset_ = rs;
        });
        std::shared_ptr<db::Recordset> src;
        trap([&] {
            src = required(connection_, "connessione")
                      .Execute(analyticRowsQuery(analyticChart, reclChart, std::to_string(global()->companyCode())),
                               nullptr, db::ado::adCmdText);
        });
        long count = 0;
        trap([&] { count = required(src, "risultato").RecordCount(); });
        if (count <= 0) {
            std::int32_t tipo = 3;
            ShowMessage(tipo, 107);
            return;
        }
        trap([&] {
            txtContoCoin_->setChartCode(db::Variant(reclChart));
            src->MoveFirst();
            txtContoCoin_->setChartCode(db::Variant(analyticChart));
        });
        auto& rows = required(gridRecordset_, "recordset della griglia");
        while (src->State() == db::ado::adStateOpen && !src->Eof()) {
            trap([&] {
                txtContoCoin_->setValue(src->value("CONTOPDC").toText());
                if (txtContoCoin_->IsAnalytic()) appendAnalyticPair(*src, rows, txtContoCoin_->DisplayText());
            });
            if (!trap([&] { src->MoveNext(); })) break;   // a source that cannot move would loop
        }
        src.reset();
        // The loop leaves the box on the analytic chart, but the box holds the rows'
        // reclassified accounts from now on: it goes back to the reclassification chart,
        // so that the value ValorizzaGrid puts into it decodes as a reclassified account.
        trap([&] { txtContoCoin_->setChartCode(db::Variant(reclChart)); });
        // The frame is handed the new rows on the first one, as the ledger kinds' fill does,
        // so that it shows and saves them.
        trap([&] {
            if (rows.RecordCount() > 0) rows.MoveFirst();
        });
        {
            kit::FlagScope loading(gridLoading_);
            trap([&] {
                auto& frame = required(frame_, "record frame");
                frame.SetQuery(frame.Query());
            });
        }
        trap([&] {
            if (rows.RecordCount() > 0) required(frame_, "record frame").setStatus(kit::StatusShowing);
        });
        result = true;
    });
    return result;
}

bool FRMCG_CORRRICL::CreaTabella() {
    bool made = false;
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
        trap([&] {
            required(connection_, "connessione").Execute(workingTableStatement(in), nullptr, db::ado::adCmdText);
            made = true;
        });
    });
    return made;
}

}  // namespace editor
