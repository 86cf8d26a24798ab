#pragma once
// What the intermediaries editor uses of the correlation editor that opens it: the header's
// charts, company and connections, the messages and the error report, the reclassification
// accounts' decoding, existence test, lookup and maintenance program, the two hidden account
// boxes that tell an account's type, and the calling editor's working rows (the master's own
// rows are shown there as well). The correlation editor hands one to the window it opens,
// valid while the window is shown.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "db/Connection.h"
#include "db/Recordset.h"
#include "editor/CorrelationKind.h"
#include "editor/ErrorTrap.h"
#include "host/Cinterface.h"
#include "kit/Kit.h"

namespace editor {

class IntermediCaller {
public:
    virtual ~IntermediCaller() = default;

    // --- the header ---
    virtual CorrelationKind kind() const = 0;
    virtual std::string CodicePdcText() const = 0;
    virtual std::string CodiceRiclText() const = 0;
    virtual std::string CodIntercompanyText() const = 0;
    virtual std::string DittaIntercompany() const = 0;
    virtual std::string NomeDatabaseIntercompany() const = 0;
    // The ledger account mask for NumLivelli levels, and a control's text ("TXT_NUM_LIVELLI").
    virtual std::string FormattaConto(std::int16_t NumLivelli) const = 0;
    virtual std::string fieldText(const std::string& controlName) const = 0;

    // --- host and connections ---
    virtual std::shared_ptr<host::Cinterface> EntryClass() const = 0;
    virtual std::string StringaConnessioneHost() const = 0;
    virtual std::shared_ptr<db::Connection> EditorConnection() const = 0;
    virtual std::shared_ptr<db::Connection> GetConnectIntercompany() = 0;
    virtual void GetMastroCliFor(db::Variant& MastroClienti, db::Variant& MastroFornitori) = 0;

    // --- messages and errors ---
    virtual std::int16_t ShowMessage(std::int32_t& Tipo, const db::Variant& CodiceErr,
                                     const std::optional<db::Variant>& CodiceDett = std::nullopt,
                                     const std::optional<db::Variant>& ValPar1 = std::nullopt,
                                     const std::optional<db::Variant>& ValPar2 = std::nullopt,
                                     std::optional<std::int32_t> DefaultButton = std::nullopt) = 0;
    // The calling editor's VisualizzaErrore, as the reporter of the window's procedures.
    virtual ErrorReporter IntermediErrorRoutine() = 0;

    // --- reclassified accounts ---
    virtual db::Variant DecodificaContoCoin(const db::Variant& conto) = 0;
    virtual bool EsisteContoRiclassificato(const db::Variant& CodicePdcRicl, const db::Variant& ContoRicl) = 0;
    virtual void EseguiLookupAnagraficaPdCCoin(kit::CoinAccountBox& TextEditConto, std::string& str_SQL,
                                               kit::LookupFields& Arr_Fields, std::string& Str_Caption,
                                               std::string& Str_Connect) = 0;
    virtual void EseguiProgrammaAnagraficaPdC(kit::Control& ConnectField, db::Variant conto) = 0;
    virtual kit::CoinAccountBox& HiddenCoinAccountBox() = 0;       // PTxtContoCoIn
    virtual kit::LedgerAccountBox& HiddenLedgerAccountBox() = 0;   // PTxtContoCoge

    // --- the calling editor's working rows (#CORRPDCRICL) ---
    virtual std::shared_ptr<db::Recordset> WorkingRecordset() const = 0;
};

}  // namespace editor
