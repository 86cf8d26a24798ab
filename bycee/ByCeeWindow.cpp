// The interim-balance correlation by CEE scheme as a window: its controls, the decode and
// lookup of the scheme code, the run (checks, confirmation, merge, refresh of the calling
// editor) and closing.

#include "bycee/FRMCG_CORRRICLBYCEE.h"

#include <charconv>
#include <limits>
#include <stdexcept>

#include "statements/ByCeeStatements.h"
#include "db/Connection.h"
#include "editor/CorrelationKind.h"
#include "editor/Required.h"
#include "host/EditorUtility.h"
#include "host/Global.h"
#include "host/LookupCatalog.h"
#include "journal/Journal.h"
#include "journal/StoredTargets.h"
#include "kit/Placement.h"

namespace bycee {

using editor::ErrorTrap;
using editor::required;
using editor::suppressErrors;

namespace {

using kit::place;

constexpr int kResizeAnchored = 12;
constexpr int kMessageInfo = 2;
constexpr int kMessageQuestion = 4;

template <class N>
N toNumber(const std::string& text, const char* what) {
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    long value = 0;
    bool ok = first != std::string::npos;
    if (ok) {
        const char* b = text.data() + first;
        const char* e = text.data() + last + 1;
        const auto r = std::from_chars(b, e, value);
        ok = r.ec == std::errc() && r.ptr == e && value >= std::numeric_limits<N>::min() &&
             value <= std::numeric_limits<N>::max();
    }
    if (!ok) throw std::invalid_argument(std::string(what) + ": codice non valido \"" + text + "\"");
    return static_cast<N>(value);
}

}  // namespace

std::uint8_t toTinyInt(const std::string& text, const char* what) { return toNumber<std::uint8_t>(text, what); }
std::int16_t toSmallInt(const std::string& text, const char* what) { return toNumber<std::int16_t>(text, what); }

FRMCG_CORRRICLBYCEE::FRMCG_CORRRICLBYCEE(kit::WindowSystem* windowSystem) : kit::Form(kFormName, windowSystem) {
    setCaption(kDesignCaption);
    createControls();
    connectHandlers();
}

void FRMCG_CORRRICLBYCEE::createControls() {
    setSize(6600, 1980);
    frameCee_ = place(create<kit::GroupFrame>("FRAME_CEE"), 60, 0, 6420, 900);
    lblCee_ = place(create<kit::CaptionLabel>("LBL_CEE"), 120, 300, 1680, 255);
    lblCee_->setCaption("Codice bilancio CEE");
    txtCeeCod_ = place(create<kit::CodeEditBox>("TXT_CEE_COD"), 1860, 240, 1000, 315);
    txtCeeCod_->setLabelCaption("Codice bilancio CEE");
    txtCeeCod_->setMandatory(true);
    txtCeeCod_->setUpperCase(true);
    lblCeeDesc_ = place(create<kit::CaptionLabel>("LBL_CEE_DESC"), 2920, 240, 3440, 315);
    lblCeeDesc_->setBorder(true);
    for (kit::Control* c :
         std::initializer_list<kit::Control*>{lblCee_.get(), txtCeeCod_.get(), lblCeeDesc_.get()})
        frameCee_->add(*c);
    butChiudi_ = place(create<kit::MenuButton>("BUT_CHIUDI"), 3690, 1020, 1365, 420);
    butChiudi_->setCaption("&Chiudi");
    butChiudi_->setCancel(true);
    butElabora_ = place(create<kit::MenuButton>("BUT_ELABORA"), 5115, 1020, 1365, 420);
    butElabora_->setCaption("Elabora");
    resizer_ = create<kit::FormResizer>("QVA_RESIZEFORM1");
    frameCee_->setAnchor(kit::FormResizer::StretchWidth);
    lblCeeDesc_->setAnchor(kit::FormResizer::StretchWidth);

    int index = 0;
    for (kit::Control* c :
         std::initializer_list<kit::Control*>{txtCeeCod_.get(), butElabora_.get(), butChiudi_.get()})
        c->setTabIndex(index++);
}

void FRMCG_CORRRICLBYCEE::connectHandlers() {
    Activate.connect([this] { Form_Activate(); });
    Unload.connect([this] { Form_Unload(); });
    resizer_->RegisterControls.connect([this] { QVA_RESIZEFORM1_RegisterControls(); });
    txtCeeCod_->StartDecode.connect([this](bool& cancel, std::string& sql, kit::DecodeFields& fields,
                                           std::string& connect) {
        TXT_CEE_COD_StartDecode(cancel, sql, fields, connect);
    });
    txtCeeCod_->StartLookup.connect([this](bool& cancel, std::string& sql, kit::LookupFields& fields,
                                           std::string& caption, std::string& connect) {
        TXT_CEE_COD_StartLookup(cancel, sql, fields, caption, connect);
    });
    butElabora_->ButtonClick.connect([this] { BUT_ELABORA_ButtonClick(); });
    butChiudi_->ButtonClick.connect([this] { BUT_CHIUDI_ButtonClick(); });
}

// ---- helpers -------------------------------------------------------------------------------

editor::CeeCaller& FRMCG_CORRRICLBYCEE::caller() const {
    if (!FrmChiamante) throw std::logic_error("finestra chiamante (FrmChiamante) non impostata");
    return *FrmChiamante;
}

editor::ErrorReporter FRMCG_CORRRICLBYCEE::errorRoutine() const {
    return [this](const editor::TrappedError& e) {
        if (!FrmChiamante) return editor::kAnswerAbort;
        return FrmChiamante->CeeErrorRoutine()(e);
    };
}

int FRMCG_CORRRICLBYCEE::hostMessage(long code, int type, const std::string& par1, const std::string& par2) {
    return required(caller().CeeUtility(), "EditorUtility")
        .showHostMessage(code, type, {db::Variant(par1), db::Variant(par2)});
}

// ---- activation and closing ----------------------------------------------------------------

void FRMCG_CORRRICLBYCEE::Form_Activate() {
    ErrorTrap trap{"Form_Activate", errorRoutine()};
    trap.procedure([&] { trap([&] { resizer_->Start(); }); });
}

void FRMCG_CORRRICLBYCEE::QVA_RESIZEFORM1_RegisterControls() {
    try {
        resizer_->Register("BUT_ELABORA", kResizeAnchored);
        resizer_->Register("BUT_CHIUDI", kResizeAnchored);
    } catch (const std::exception&) {
        // the button then keeps its design place
    }
}

void FRMCG_CORRRICLBYCEE::Form_Unload() {
    ErrorTrap trap{"Form_Unload", errorRoutine()};
    trap.procedure([&] {
        // The host learns the calling editor is the current program again.
        trap([&] {
            auto& entry = required(ClsChiamante, "classe chiamante");
            required(entry.ClsGlobal(), "ClsGlobal").setCurrentProgram(ClsChiamante);
        });
    });
    FrmChiamante = nullptr;
}

void FRMCG_CORRRICLBYCEE::BUT_CHIUDI_ButtonClick() {
    ErrorTrap trap{"BUT_CHIUDI_ButtonClick", errorRoutine()};
    trap.procedure([&] { trap([&] { close(); }); });
}

// ---- the scheme code -----------------------------------------------------------------------

void FRMCG_CORRRICLBYCEE::TXT_CEE_COD_StartDecode(bool& /*Cancel*/, std::string& str_SQL,
                                                  kit::DecodeFields& Arr_Fields, std::string& Str_Connect) {
    ErrorTrap trap{"TXT_CEE_COD_StartDecode", errorRoutine()};
    trap.procedure([&] {
        std::shared_ptr<host::LookupCatalog> catalog;
        trap([&] {
            catalog = required(required(ClsChiamante, "classe chiamante").ClsGlobal(), "ClsGlobal").lookupCatalog();
        });
        trap([&] {
            const auto d =
                required(catalog, "LookupCatalog").prepareDecode(kCeeLookup, db::Variant(txtCeeCod_->Text()), lblCeeDesc_);
            str_SQL = d.sql;
            Arr_Fields = d.fields;
        });
        trap([&] { Str_Connect = caller().StringaConnessioneHost(); });
    });
}

void FRMCG_CORRRICLBYCEE::TXT_CEE_COD_StartLookup(bool& /*Cancel*/, std::string& str_SQL,
                                                  kit::LookupFields& Arr_Fields, std::string& Str_Caption,
                                                  std::string& Str_Connect) {
    ErrorTrap trap{"TXT_CEE_COD_StartLookup", errorRoutine()};
    trap.procedure([&] {
        std::shared_ptr<host::LookupCatalog> catalog;
        trap([&] {
            catalog = required(required(ClsChiamante, "classe chiamante").ClsGlobal(), "ClsGlobal").lookupCatalog();
        });
        trap([&] {
            const auto l = required(catalog, "LookupCatalog").prepare(kCeeLookup, db::Variant(0));
            str_SQL = l.sql;
            Arr_Fields = l.fields;
            Str_Caption = l.caption;
            txtCeeCod_->setIDLookup(l.lookupId);
        });
        trap([&] { Str_Connect = caller().StringaConnessioneHost(); });
    });
}

// ---- the run -------------------------------------------------------------------------------

void FRMCG_CORRRICLBYCEE::BUT_ELABORA_ButtonClick() {
    ErrorTrap trap{"BUT_ELABORA_ButtonClick", errorRoutine()};
    trap.procedure([&] {
        // A step whose value the next steps need stops the run when it fails, also when the
        // error report answers "go on": nothing is written with a value that was not read.
        editor::CeeCaller* c = nullptr;
        host::EditorUtility* utility = nullptr;
        if (!trap([&] {
                c = &caller();
                utility = &required(c->CeeUtility(), "EditorUtility");
            }))
            return;
        const std::string cee = txtCeeCod_->Text();
        bool missing = true;
        if (!trap([&] {
                missing = utility->valueOrDefault(db::Variant(cee), db::Variant("")).toText().empty() ||
                          !txtCeeCod_->IsDecoded();
            }))
            return;
        if (missing) {
            trap([&] { hostMessage(71149, kMessageInfo); });
            trap([&] { txtCeeCod_->SetFocus(); });
            return;
        }

        const std::string pdc = c->CodicePdcText();
        std::uint8_t pdcCode = 0, ceeCode = 0;
        std::int16_t biCode = 0;
        if (!trap([&] {
                pdcCode = toTinyInt(pdc, "Piano dei conti");
                ceeCode = toTinyInt(cee, "Codice bilancio CEE");
                biCode = toSmallInt(c->CodiceRiclText(), "Piano di riclassificazione");
            }))
            return;
        if (!IsPdcCorrelatoCee(pdcCode, ceeCode)) {
            trap([&] { hostMessage(62988, kMessageInfo, pdc, cee); });
            return;
        }
        if (!IsPdcCorrelatoCee(kStandardLedgerChart, ceeCode)) {
            trap([&] { hostMessage(62988, kMessageInfo, std::to_string(kStandardLedgerChart), cee); });
            return;
        }
        int answer = 0;
        if (!trap([&] { answer = hostMessage(52477, kMessageQuestion); })) return;
        if (answer == 0) return;

        const std::int32_t n = BilInfrannuale_CorrelaByCee(kStandardLedgerChart, pdcCode, ceeCode, biCode);
        if (n != 0) {
            bool filled = false;
            trap([&] { filled = c->ValorizzaGrid(); });
            if (filled) trap([&] { c->EscludiCodiciDaTabulazione(); });
            trap([&] { hostMessage(77179, kMessageInfo); });
            trap([&] { close(); });
        } else {
            trap([&] { hostMessage(38891, kMessageInfo); });
        }
    });
}

bool FRMCG_CORRRICLBYCEE::IsPdcCorrelatoCee(std::uint8_t PdcCodice, std::uint8_t CeeCodice) {
    bool correlated = false;
    ErrorTrap trap{"IsPdcCorrelatoCee", errorRoutine()};
    trap.procedure([&] {
        std::shared_ptr<db::Recordset> rs;
        trap([&] {
            rs = required(caller().EditorConnection(), "connessione").Execute(pdcCorrelatedWithCeeQuery(PdcCodice, CeeCodice));
        });
        trap([&] { correlated = rs && rs->AbsolutePosition() != -1; });
        trap([&] {
            if (rs && rs->State() == db::ado::adStateOpen) rs->Close();
        });
    });
    return correlated;
}

std::int32_t FRMCG_CORRRICLBYCEE::BilInfrannuale_CorrelaByCee(std::uint8_t Pdc_Std, std::uint8_t Pdc_Elab,
                                                              std::uint8_t CEE_Std, std::int16_t BI_Std) {
    std::int32_t processed = 0;
    ErrorTrap trap{"BilInfrannuale_CorrelaByCee", errorRoutine()};
    trap.procedure([&] {
        // The run does not say which rows it changed: the scope is read before and after, and
        // the difference is one step of the history.
        const journal::Scope scope{static_cast<int>(editor::CorrelationKind::COGE), std::to_string(Pdc_Elab),
                                   std::to_string(BI_Std)};
        std::optional<journal::Targets> before;
        try {
            before = journal::storedTargets(required(caller().EditorConnection(), "connessione"), scope);
        } catch (const std::exception&) {
            // without the first reading the run goes on, unjournalled
        }
        std::shared_ptr<db::Recordset> rs;
        trap([&] {
            rs = required(caller().EditorConnection(), "connessione")
                     .Execute(bulkCorrelationScript(Pdc_Std, Pdc_Elab, CEE_Std, BI_Std));
        });
        trap([&] { processed = required(rs, "risultato della correlazione").value("ELABORATI").toInt32(); });
        trap([&] {
            if (rs && rs->State() == db::ado::adStateOpen) rs->Close();
        });
        if (before) {
            try {
                auto& conn = required(caller().EditorConnection(), "connessione");
                journal::Step step;
                step.source = "CEE";
                step.scope = scope;
                step.changes = journal::differences(*before, journal::storedTargets(conn, scope));
                journal::session().record(conn, std::move(step));
            } catch (const std::exception&) {
                // the correlations are written; only their place in the history is lost
            }
        }
    });
    return processed;
}

}  // namespace bycee
