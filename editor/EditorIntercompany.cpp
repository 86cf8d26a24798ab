// The intercompany structure (kind CONS): the structure field TXT_CODINTERCOMPANY, the
// company and database the structure resolves to, the ledger chart taken from that company,
// the connection string that points at the structure's database and the connection
// ledger-side decoding runs on, and the host's structure program.

#include "editor/FRMCG_CORRRICL.h"
#include "statements/HeaderStatements.h"
#include "editor/Required.h"
#include "host/ClassFactory.h"

namespace editor {

namespace {

constexpr int kMsgStructureWithoutCompany = 121;

// A value as the structure and chart fields take it: "" for Null and Empty.
std::string textOrEmpty(const db::Variant& v) { return v.isNull() || v.isEmpty() ? std::string() : v.toText(); }

// Null, Empty and "" compare as "".
std::string comparable(const db::Variant& v) { return v.isObject() ? std::string() : textOrEmpty(v); }

}  // namespace

// ---- connection string and connection ------------------------------------------------------

std::string FRMCG_CORRRICL::GetStrConnectIntercompany() {
    std::string result = stringaConnessioneHost_;
    ErrorTrap trap{"GetStrConnectIntercompany", errorRoutine()};
    trap.procedure([&] {
        trap([&] { result = intercompanyConnectionString(stringaConnessioneHost_, nomeDatabaseIntercompany_); });
    });
    return result;
}

std::shared_ptr<db::Connection> FRMCG_CORRRICL::GetConnectIntercompany() {
    std::shared_ptr<db::Connection> result = connection_;
    try {
        const std::string connect = GetStrConnectIntercompany();
        if (connect == stringaConnessioneHost_) return result;
        // Each call opens a connection of its own; the editor keeps only the provider, the
        // boxes it is handed to keep the connection.
        provider_ = classFactory()->newConnectionProvider();
        result = required(provider_, "ConnectionProvider").newConnection();
        required(result, "connessione intercompany").setConnectionString(connect);
        result->Open("", "", "", -1);
    } catch (const std::exception&) {
        // Silent: the boxes that get a connection that did not open fail in their decodes.
    }
    return result;
}

// ---- structure, company and chart ----------------------------------------------------------

bool FRMCG_CORRRICL::ValorizzaDittaDatabaseIntercompany() {
    nomeDatabaseIntercompany_.clear();
    dittaIntercompany_.clear();
    bool result = false;
    ErrorTrap trap{"ValorizzaDittaDatabaseIntercompany", errorRoutine()};
    trap.procedure([&] {
        const std::string code = txtCodIntercompany_->Text();
        if (code.empty()) return;
        std::shared_ptr<db::Recordset> rs;
        trap([&] { rs = required(connection_, "connessione").Execute(intercompanyStructureQuery(code)); });
        trap([&] {
            if (rs && rs->State() == db::ado::adStateOpen && !rs->Eof()) {
                nomeDatabaseIntercompany_ = textOrEmpty(rs->value("CGB1_DATABASE"));
                dittaIntercompany_ = textOrEmpty(rs->value("CGC0_DITTA_CG18"));
            }
        });
        trap([&] {
            if (rs && rs->State() == db::ado::adStateOpen) rs->Close();
        });
        if (dittaIntercompany_.empty()) {
            std::int32_t type = 2;
            ShowMessage(type, kMsgStructureWithoutCompany, std::nullopt, db::Variant(code));
            return;
        }
        result = true;
    });
    return result;
}

void FRMCG_CORRRICL::ValorizzaPianoDeiContiByIntercompany() {
    ErrorTrap trap{"ValorizzaPianoDeiContiByIntercompany", errorRoutine()};
    trap.procedure([&] {
        trap([&] {
            txtCodicePdc_->setText("");
            txtDescPdc_->setText("");
        });
        if (dittaIntercompany_.empty()) return;
        std::shared_ptr<db::Recordset> rs;
        trap([&] {
            rs = required(connection_, "connessione")
                     .Execute(intercompanyChartQuery(dittaIntercompany_, nomeDatabaseIntercompany_));
        });
        trap([&] {
            if (rs && rs->State() == db::ado::adStateOpen && !rs->Eof()) {
                txtCodicePdc_->setText(textOrEmpty(rs->value("CG10_GRUPPO")));
                txtDescPdc_->setText(textOrEmpty(rs->value("CG10_DESCR")));
                txtNumLivelli_->setText(textOrEmpty(rs->value("CG10_NUMLIVELLI")));
                txtNumLivelliCons_->setText(textOrEmpty(rs->value("CG10_NUMLIVCONS")));
                // Filled here in place of the box's own decode: they go when the code is cleared.
                for (const auto& target : std::initializer_list<std::shared_ptr<kit::Control>>{
                         txtDescPdc_, txtNumLivelli_, txtNumLivelliCons_})
                    txtCodicePdc_->addDecodedTarget(target);
            }
        });
        trap([&] {
            if (rs && rs->State() == db::ado::adStateOpen) rs->Close();
        });
        // The ledger-account box decodes the structure company's accounts.
        trap([&] { txtConto_->setConnection(GetConnectIntercompany()); });
        trap([&] {
            const std::string chart = txtCodicePdc_->Text();
            txtConto_->setChartCode(chart.empty() ? std::int16_t{-1} : db::Variant(chart).toInt16());
        });
    });
}

void FRMCG_CORRRICL::ApriProgrammaIntercompany(const db::Variant& mode) {
    ErrorTrap trap{"ApriProgrammaIntercompany", errorRoutine()};
    trap.procedure([&] {
        trap([&] {
            auto program = classFactory()->newIntercompanyProgram();
            required(program, "IntercompanyProgram")
                .init(entry_, txtCodIntercompany_, db::Variant(txtCodIntercompany_->Text()), mode);
            program->run();
        });
        trap([&] { required(entry_, "classe di ingresso").setIsActive(true); });
        trap([&] { global()->setCurrentProgram(entry_); });
    });
}

// ---- TXT_CODINTERCOMPANY -------------------------------------------------------------------

void FRMCG_CORRRICL::TXT_CODINTERCOMPANY_GotFocus() { CodIntercompanyAllIngresso = db::Variant(txtCodIntercompany_->Text()); }

void FRMCG_CORRRICL::TXT_CODINTERCOMPANY_StartDecode(bool& /*Cancel*/, std::string& str_SQL,
                                                     kit::DecodeFields& Arr_Fields, std::string& Str_Connect) {
    ErrorTrap trap{"TXT_CODINTERCOMPANY_StartDecode", errorRoutine()};
    trap.procedure([&] {
        trap([&] {
            auto decoder = classFactory()->newIntercompanyDecoder();
            host::DecodeDefinition d = required(decoder, "IntercompanyDecoder")
                                           .decode(db::Variant(txtCodIntercompany_->Text()), txtDescrIntercompany_);
            str_SQL = d.sql;
            Arr_Fields = d.fields;
            Str_Connect = stringaConnessioneHost_;
        });
    });
}

void FRMCG_CORRRICL::TXT_CODINTERCOMPANY_StartLookup(bool& Cancel, std::string& /*str_SQL*/,
                                                     kit::LookupFields& /*Arr_Fields*/, std::string& /*Str_Caption*/,
                                                     std::string& /*Str_Connect*/) {
    // The host's structure program searches instead of the box's own lookup.
    Cancel = true;
    ApriProgrammaIntercompany(db::Variant(host::IntercompanyProgram::kSearch));
    ErrorTrap trap{"TXT_CODINTERCOMPANY_StartLookup", errorRoutine()};
    trap.procedure([&] { trap([&] { txtCodIntercompany_->Redecode(); }); });
}

void FRMCG_CORRRICL::TXT_CODINTERCOMPANY_KeyButtonMenuPress(const std::string& key) {
    if (key != "Kgestione") return;
    ApriProgrammaIntercompany(db::Variant(host::IntercompanyProgram::kMaintenance));
    ErrorTrap trap{"TXT_CODINTERCOMPANY_KeyButtonMenuPress", errorRoutine()};
    trap.procedure([&] { trap([&] { txtCodIntercompany_->Redecode(); }); });
}

void FRMCG_CORRRICL::TXT_CODINTERCOMPANY_Validate(bool& Cancel) {
    ErrorTrap trap{"TXT_CODINTERCOMPANY_Validate", errorRoutine()};
    trap.procedure([&] {
        const std::string code = txtCodIntercompany_->Text();
        if (code.empty() || !txtCodIntercompany_->IsDecoded()) {
            Cancel = true;
            return;
        }
        // An unchanged structure keeps what was loaded for it.
        if (code == comparable(CodIntercompanyAllIngresso)) return;
        if (ValorizzaDittaDatabaseIntercompany()) {
            ValorizzaPianoDeiContiByIntercompany();
            CalcolaMascheraConto();
        } else {
            Cancel = true;
        }
    });
}

}  // namespace editor
