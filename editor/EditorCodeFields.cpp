// The header's code fields: the chart being reclassified (TXT_CODICE_PDC) and the
// reclassification chart (TXT_CODICE_RICL) with their decodes, lookups, validation and menu
// keys; the account edit mask; the chart type and configuration checks; the description,
// lookup and maintenance program of a reclassified account; and the host components the
// fields decode and look up through.

#include "editor/FRMCG_CORRRICL.h"
#include "statements/HeaderStatements.h"
#include "editor/Required.h"
#include "host/Values.h"

namespace editor {

namespace {

// Host message codes of the reclassification chart's confirmation.
constexpr long kMsgCodeMissing = 71149;
constexpr long kMsgNotBalanceReclassification = 62846;
constexpr long kMsgNotIntercompanyReclassified = 62847;
constexpr long kMsgChartNotConfigured = 61803;
constexpr int kHostMessageError = 3;

// The chart whose interim balances are correlated by CEE already: no CEE button for it.
constexpr const char* kStandardChart = "80";

// A chart code as the ledger-account box takes it: -1 for none.
std::int16_t chartCodeOf(const std::string& text) {
    return text.empty() ? std::int16_t{-1} : db::Variant(text).toInt16();
}

bool isOneOf(std::int32_t t, std::initializer_list<std::int32_t> values) {
    for (auto v : values)
        if (t == v) return true;
    return false;
}

}  // namespace

std::string FRMCG_CORRRICL::FormattaConto(std::int16_t /*NumLivelli*/) const { return mascheraConto_; }

db::Variant FRMCG_CORRRICL::ValoreNonVuoto(const db::Variant& value, const db::Variant& fallback) const {
    return host::valueOrDefault(value, fallback);
}

// ---- components --------------------------------------------------------------------------------

void FRMCG_CORRRICL::CreaComponentiPianiRiclassificazione() {
    auto factory = classFactory();
    reclChartFinder_ = factory->newReclChartFinder();
    required(reclChartFinder_, "ReclChartFinder").init(entry_, connection_);
    reclChartDecoder_ = factory->newReclChartDecoder();
    required(reclChartDecoder_, "ReclChartDecoder").init(entry_, connection_);
}

void FRMCG_CORRRICL::RilasciaComponentiPianiRiclassificazione() {
    // Detached from the entry class and the connection before they go.
    if (reclChartFinder_) reclChartFinder_->init(nullptr, nullptr);
    reclChartFinder_.reset();
    if (reclChartDecoder_) reclChartDecoder_->init(nullptr, nullptr);
    reclChartDecoder_.reset();
}

// ---- account mask --------------------------------------------------------------------------

void FRMCG_CORRRICL::CalcolaMascheraConto() {
    ErrorTrap trap{"CalcolaMascheraConto", suppressErrors()};
    trap.procedure([&] {
        std::shared_ptr<db::Recordset> rs;
        if (!trap([&] { rs = required(connection_, "connessione").Execute(maskQuery(txtCodicePdc_->Text())); })) return;
        if (rs && rs->State() == db::ado::adStateOpen && !rs->Eof()) {
            trap([&] { mascheraConto_ = maskFromStored(rs->value("CG10_MASKEDIT").toText()); });
        } else {
            trap([&] {
                if (auto mask = maskForLevels(global()->ledgerLevelCount())) mascheraConto_ = *mask;
            });
        }
        trap([&] {
            if (rs && rs->State() == db::ado::adStateOpen) rs->Close();
        });
        // The search box shows and accepts the account codes as the grid shows them.
        txtConto_->setMask(mascheraConto_);
    });
}

// ---- chart checks --------------------------------------------------------------------------

std::int32_t FRMCG_CORRRICL::DeterminaTipoPdcRicl(const db::Variant& code) {
    std::int32_t type = 0;
    ErrorTrap trap{"DeterminaTipoPdcRicl", errorRoutine()};
    trap.procedure([&] {
        std::shared_ptr<db::Recordset> rs;
        trap([&] { rs = required(connection_, "connessione").Execute(chartTypeQuery(code.toText())); });
        trap([&] {
            if (rs && rs->State() == db::ado::adStateOpen && rs->RecordCount() > 0) {
                rs->MoveFirst();
                const db::Variant v = rs->value("PC01_INDTIPOPDC");
                type = v.isNull() ? 0 : v.toInt32();
            }
        });
    });
    return type;
}

bool FRMCG_CORRRICL::PdCConfigurato(const db::Variant& code) {
    bool configured = false;
    ErrorTrap trap{"PdCConfigurato", errorRoutine()};
    trap.procedure([&] {
        std::shared_ptr<db::Recordset> rs;
        trap([&] { rs = required(connection_, "connessione").Execute(chartConfiguredQuery(code.toText())); });
        trap([&] { configured = rs && rs->State() == db::ado::adStateOpen && rs->RecordCount() != 0; });
    });
    return configured;
}

// ---- reclassified accounts -----------------------------------------------------------------

db::Variant FRMCG_CORRRICL::DecodificaContoCoin(const db::Variant& conto) {
    db::Variant description = std::string();
    ErrorTrap trap{"DecodificaContoCoin", errorRoutine()};
    trap.procedure([&] {
        std::string sql;
        trap([&] {
            sql = accountDescriptionQuery(txtCodiceRicl_->Text(), conto.toText(), std::to_string(global()->companyCode()));
        });
        if (auto known = descriptionsThisAction_.find(sql)) {
            description = db::Variant(*known);
            return;
        }
        std::shared_ptr<db::Recordset> rs;
        trap([&] { rs = required(connection_, "connessione").Execute(sql); });
        trap([&] {
            if (rs && rs->State() == db::ado::adStateOpen) {
                if (rs->RecordCount() >= 1) {
                    rs->MoveFirst();
                    description = db::Variant(rs->value("PC03_DESCR").toText());
                }
                descriptionsThisAction_.remember(sql, description.toText());
            }
        });
    });
    return description;
}

void FRMCG_CORRRICL::EseguiLookupAnagraficaPdCCoin(kit::CoinAccountBox& TextEditConto, std::string& str_SQL,
                                                   kit::LookupFields& Arr_Fields, std::string& Str_Caption,
                                                   std::string& Str_Connect) {
    ErrorTrap trap{"EseguiLookupAnagraficaPdCCoin", errorRoutine()};
    trap.procedure([&] {
        trap([&] {
            auto& finder = required(reclChartFinder_, "ReclChartFinder");
            finder.setAccountsChart(db::Variant(txtCodiceRicl_->Text()));
            host::LookupDefinition d = finder.prepareAccountsLookup();
            str_SQL = d.sql;
            Arr_Fields = d.fields;
            Str_Caption = d.caption;
            TextEditConto.setIDLookup(d.lookupId);
            Str_Connect = stringaConnessioneHost_;
        });
    });
}

void FRMCG_CORRRICL::EseguiProgrammaAnagraficaPdC(kit::Control& ConnectField, db::Variant conto) {
    ErrorTrap trap{"EseguiProgrammaAnagraficaPdC", errorRoutine()};
    trap.procedure([&] {
        trap([&] {
            auto launcher = classFactory()->newReclProgramLauncher();
            reclProgramLauncher_ = launcher;
            required(launcher, "ReclProgramLauncher").init(global());
            launcher->run(db::Variant(txtCodiceRicl_->Text()), conto, ConnectField.shared_from_this());
        });
        reclProgramLauncher_.reset();
        trap([&] { required(entry_, "classe di ingresso").setIsActive(true); });
        trap([&] { global()->setCurrentProgram(entry_); });
        trap([&] { InizializzaScriptELayout(); });
        trap([&] { AggiornaNavigatore(); });
    });
    reclProgramLauncher_.reset();
}

// ---- TXT_CODICE_PDC ------------------------------------------------------------------------

void FRMCG_CORRRICL::TXT_CODICE_PDC_StartDecode(bool& Cancel, std::string& str_SQL, kit::DecodeFields& Arr_Fields,
                                                std::string& Str_Connect) {
    ErrorTrap trap{"TXT_CODICE_PDC_StartDecode", errorRoutine()};
    trap.procedure([&] {
        // In CONS the chart comes from the intercompany structure's company.
        if (!nomeDatabaseIntercompany_.empty()) {
            Cancel = true;
            return;
        }
        const db::Variant code(txtCodicePdc_->Text());
        trap([&] {
            host::DecodeDefinition d;
            if (kind() == CorrelationKind::COIN) {
                d = required(reclChartDecoder_, "ReclChartDecoder").decode(code, txtDescPdc_, txtNumLivelli_);
            } else {
                auto decoder = classFactory()->newLedgerChartDecoder();
                required(decoder, "LedgerChartDecoder").init(global(), txtNumLivelliCons_);
                d = decoder->decode(code, txtDescPdc_, txtNumLivelli_);
            }
            str_SQL = d.sql;
            Arr_Fields = d.fields;
            Str_Connect = stringaConnessioneHost_;
        });
    });
}

void FRMCG_CORRRICL::TXT_CODICE_PDC_StartLookup(bool& Cancel, std::string& str_SQL, kit::LookupFields& Arr_Fields,
                                                std::string& Str_Caption, std::string& Str_Connect) {
    ErrorTrap trap{"TXT_CODICE_PDC_StartLookup", errorRoutine()};
    trap.procedure([&] {
        if (!nomeDatabaseIntercompany_.empty()) {
            Cancel = true;
            return;
        }
        trap([&] {
            host::LookupDefinition d;
            if (kind() == CorrelationKind::COIN) {
                auto& finder = required(reclChartFinder_, "ReclChartFinder");
                finder.setChartSelector(host::ReclChartFinder::kAnalytic);
                d = finder.prepareChartLookup();
            } else {
                auto finder = classFactory()->newLedgerChartFinder();
                required(finder, "LedgerChartFinder").init(global());
                d = finder->ledgerCharts();
            }
            str_SQL = d.sql;
            Arr_Fields = d.fields;
            Str_Caption = d.caption;
            Str_Connect = stringaConnessioneHost_;
            txtCodicePdc_->setIDLookup(d.lookupId);
        });
    });
}

void FRMCG_CORRRICL::TXT_CODICE_PDC_Validate(bool& Cancel) {
    ErrorTrap trap{"TXT_CODICE_PDC_Validate", errorRoutine()};
    trap.procedure([&] {
        const std::string code = txtCodicePdc_->Text();
        if (!nomeDatabaseIntercompany_.empty() || code.empty() || !txtCodicePdc_->IsDecoded()) {
            Cancel = true;
            return;
        }
        // An analytic chart must not be a reclassification, intercompany or Hyperion chart.
        if (kind() == CorrelationKind::COIN && isOneOf(DeterminaTipoPdcRicl(db::Variant(code)), {3, 4, 5, 6})) {
            Cancel = true;
            return;
        }
        trap([&] { txtConto_->setChartCode(chartCodeOf(code)); });
        trap([&] { CalcolaMascheraConto(); });
    });
}

void FRMCG_CORRRICL::TXT_CODICE_PDC_KeyButtonMenuPress(const std::string& key) {
    ErrorTrap trap{"TXT_CODICE_PDC_KeyButtonMenuPress", errorRoutine()};
    trap.procedure([&] {
        if (key != "Kgestione" || !nomeDatabaseIntercompany_.empty()) return;
        const db::Variant code(txtCodicePdc_->Text());
        bool chosen = false;
        trap([&] {
            if (kind() == CorrelationKind::COIN) {
                auto launcher = classFactory()->newReclProgramLauncher();
                reclProgramLauncher_ = launcher;
                required(launcher, "ReclProgramLauncher").init(global());
                chosen = launcher->runCharts(code, txtCodicePdc_);
            } else {
                auto launcher = std::dynamic_pointer_cast<host::LedgerProgramLauncher>(ledgerProgramLauncher_);
                if (!launcher) {
                    launcher = classFactory()->newLedgerProgramLauncher();
                    required(launcher, "LedgerProgramLauncher").init(global());
                    ledgerProgramLauncher_ = launcher;
                }
                chosen = launcher->runCharts(code, txtCodicePdc_);
            }
        });
        // A chart chosen in the program comes back into the box, decoded as a lookup's.
        if (chosen) trap([&] { txtCodicePdc_->Redecode(); });
        reclProgramLauncher_.reset();
        trap([&] { AggiornaNavigatore(); });
    });
    reclProgramLauncher_.reset();
}

// ---- TXT_CODICE_RICL -----------------------------------------------------------------------

void FRMCG_CORRRICL::TXT_CODICE_RICL_StartDecode(bool& /*Cancel*/, std::string& str_SQL,
                                                 kit::DecodeFields& Arr_Fields, std::string& Str_Connect) {
    ErrorTrap trap{"TXT_CODICE_RICL_StartDecode", errorRoutine()};
    trap.procedure([&] {
        trap([&] {
            host::DecodeDefinition d = required(reclChartDecoder_, "ReclChartDecoder")
                                           .decode(db::Variant(txtCodiceRicl_->Text()), txtDescrChartRicl_,
                                                   txtNumLivelliRicl_);
            str_SQL = d.sql;
            Arr_Fields = d.fields;
            Str_Connect = stringaConnessioneHost_;
        });
    });
}

void FRMCG_CORRRICL::TXT_CODICE_RICL_StartLookup(bool& /*Cancel*/, std::string& str_SQL,
                                                 kit::LookupFields& Arr_Fields, std::string& Str_Caption,
                                                 std::string& Str_Connect) {
    if (LookupPersonalizzato) {
        CercaPdcRiclCorrelati(str_SQL, Arr_Fields, Str_Caption, Str_Connect);
        return;
    }
    ErrorTrap trap{"TXT_CODICE_RICL_StartLookup", errorRoutine()};
    trap.procedure([&] {
        trap([&] {
            auto& finder = required(reclChartFinder_, "ReclChartFinder");
            finder.setChartSelector(kind() == CorrelationKind::CONS ? host::ReclChartFinder::kIntercompanyReclassified
                                                                    : host::ReclChartFinder::kBalanceReclassification);
            host::LookupDefinition d = finder.prepareChartLookup();
            str_SQL = d.sql;
            Arr_Fields = d.fields;
            Str_Caption = d.caption;
            Str_Connect = stringaConnessioneHost_;
            txtCodiceRicl_->setIDLookup(d.lookupId);
        });
    });
}

void FRMCG_CORRRICL::CercaPdcRiclCorrelati(std::string& str_SQL, kit::LookupFields& Arr_Fields,
                                           std::string& Str_Caption, std::string& Str_Connect) {
    ErrorTrap trap{"CercaPdcRiclCorrelati", errorRoutine()};
    trap.procedure([&] {
        const std::string chart = txtCodicePdc_->Text();
        if (chart.empty()) return;
        trap([&] {
            auto finder = classFactory()->newLedgerChartFinder();
            required(finder, "LedgerChartFinder").init(global());
            host::LookupDefinition d;
            switch (kind()) {
                case CorrelationKind::COIN: d = finder->reclChartsOfAnalyticChart(db::Variant(chart)); break;
                case CorrelationKind::HYPE: d = finder->hyperionChartsOfLedgerChart(db::Variant(chart)); break;
                case CorrelationKind::CONS:
                    d = finder->reclChartsOfStructure(db::Variant(txtCodIntercompany_->Text()));
                    break;
                default: d = finder->reclChartsOfLedgerChart(db::Variant(chart)); break;
            }
            str_SQL = d.sql;
            Arr_Fields = d.fields;
            Str_Caption = d.caption;
            txtCodiceRicl_->setIDLookup(d.lookupId);
            Str_Connect = stringaConnessioneHost_;
        });
    });
}

void FRMCG_CORRRICL::TXT_CODICE_RICL_AfterItem(bool& Cancel) {
    ErrorTrap trap{"TXT_CODICE_RICL_AfterItem", errorRoutine()};
    trap.procedure([&] {
        const std::string code = txtCodiceRicl_->Text();
        long message = 0;
        std::int32_t type = 0;
        if (code.empty()) {
            message = kMsgCodeMissing;
        } else {
            type = DeterminaTipoPdcRicl(db::Variant(code));
            if (kind() == CorrelationKind::CONS) {
                if (type != 4) message = kMsgNotIntercompanyReclassified;
            } else if (!isOneOf(type, {3, 5, 6})) {
                message = kMsgNotBalanceReclassification;
            }
            if (message == 0 && !PdCConfigurato(db::Variant(code))) message = kMsgChartNotConfigured;
        }
        if (message != 0) {
            Cancel = true;
            trap([&] { required(utility_, "EditorUtility").showHostMessage(message, kHostMessageError); });
            trap([&] { txtCodiceRicl_->SetFocus(); });
            return;
        }

        trap([&] {
            grid_->setEnabled(true);
            grid_->SetFocus();
        });
        bool filled = false;
        trap([&] { filled = ValorizzaGrid(); });
        if (filled) {
            trap([&] {
                txtCodIntercompany_->setTabStop(false);
                txtCodicePdc_->setTabStop(false);
                txtCodiceRicl_->setTabStop(false);
                // The interim-balance correlation by CEE is offered for the interim-balance
                // chart, except on the standard chart whose correlation it copies.
                butCorrInfrannualeCee_->setTabStop(type == 6 && txtCodicePdc_->Text() != kStandardChart);
            });
            trap([&] { txtContoCoin_->SetFocus(); });
        } else {
            trap([&] {
                if (kind() == CorrelationKind::CONS)
                    txtCodIntercompany_->SetFocus();
                else
                    txtCodicePdc_->SetFocus();
            });
        }
    });
}

void FRMCG_CORRRICL::TXT_CODICE_RICL_KeyButtonMenuPress(const std::string& key) {
    ErrorTrap trap{"TXT_CODICE_RICL_KeyButtonMenuPress", errorRoutine()};
    trap.procedure([&] {
        std::shared_ptr<host::ReclProgramLauncher> launcher;
        trap([&] {
            launcher = std::dynamic_pointer_cast<host::ReclProgramLauncher>(reclProgramLauncher_);
            if (!launcher) {
                launcher = classFactory()->newReclProgramLauncher();
                required(launcher, "ReclProgramLauncher").init(global());
                reclProgramLauncher_ = launcher;
            }
        });
        if (key == "Kgestione") {
            trap([&] {
                // A chart chosen in the program comes back into the box, decoded as a lookup's.
                if (required(launcher, "ReclProgramLauncher").runCharts(db::Variant(txtCodiceRicl_->Text()), txtCodiceRicl_))
                    txtCodiceRicl_->Redecode();
            });
        } else if (key == "Kpers1") {
            LookupPersonalizzato = true;
            trap([&] { txtCodiceRicl_->OpenLookup(); });
            LookupPersonalizzato = false;
        }
        launcher.reset();
        reclProgramLauncher_.reset();
        trap([&] { required(entry_, "classe di ingresso").setIsActive(true); });
        trap([&] { AggiornaNavigatore(); });
    });
    LookupPersonalizzato = false;
    reclProgramLauncher_.reset();
}

}  // namespace editor
