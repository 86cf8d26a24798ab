#pragma once
// The interim-balance correlation by CEE scheme: a modal window opened by the correlation
// editor of kind COGE. It asks for a CEE scheme, checks that both the editor's chart and the
// standard ledger chart are correlated with it, asks for confirmation and merges in one batch
// the derived correlations of the editor's chart with the editor's interim-balance chart into
// CG83_COLLRICL. On success the editor's grid is filled again and the window closes.
//
// The window owns no connection or chart: it reads them from the calling editor when it
// needs them; messages and error reports go through the calling editor's host utility.

#include <cstdint>
#include <memory>
#include <string>

#include "editor/CeeCaller.h"
#include "editor/ErrorTrap.h"
#include "host/Cinterface.h"
#include "kit/Kit.h"

namespace bycee {

class FRMCG_CORRRICLBYCEE : public kit::Form {
public:
    static constexpr const char* kFormName = "FRMCG_CORRRICLBYCEE";
    static constexpr const char* kDesignCaption = "Correlazione Bilanci Infrannuali by CEE";
    static constexpr const char* kCeeLookup = "LKP_CODPDCRICLCEE";

    explicit FRMCG_CORRRICLBYCEE(kit::WindowSystem* windowSystem = nullptr);
    ~FRMCG_CORRRICLBYCEE() override = default;

    // --- set by the caller before showing ---
    std::shared_ptr<host::Cinterface> ClsChiamante;
    // The calling editor; the caller clears it after the window closed.
    editor::CeeCaller* FrmChiamante = nullptr;

    // --- procedures ---
    // True when chart PdcCodice has at least one correlation with CEE scheme CeeCodice.
    bool IsPdcCorrelatoCee(std::uint8_t PdcCodice, std::uint8_t CeeCodice);
    // Merges the derived correlations; the number of CG83_COLLRICL rows inserted or updated.
    std::int32_t BilInfrannuale_CorrelaByCee(std::uint8_t Pdc_Std, std::uint8_t Pdc_Elab, std::uint8_t CEE_Std,
                                             std::int16_t BI_Std);

private:
    void createControls();
    void connectHandlers();
    void Form_Activate();
    void Form_Unload();
    void QVA_RESIZEFORM1_RegisterControls();
    void TXT_CEE_COD_StartDecode(bool& Cancel, std::string& str_SQL, kit::DecodeFields& Arr_Fields,
                                 std::string& Str_Connect);
    void TXT_CEE_COD_StartLookup(bool& Cancel, std::string& str_SQL, kit::LookupFields& Arr_Fields,
                                 std::string& Str_Caption, std::string& Str_Connect);
    void BUT_ELABORA_ButtonClick();
    // Closes the window without running anything; Escape presses it.
    void BUT_CHIUDI_ButtonClick();

    // The calling editor, or a run-time error that names it.
    editor::CeeCaller& caller() const;
    // Procedures with an error handler report through the calling editor's utility.
    editor::ErrorReporter errorRoutine() const;
    // A host dictionary message through the calling editor's utility; returns the answer.
    int hostMessage(long code, int type, const std::string& par1 = "", const std::string& par2 = "");

    std::shared_ptr<kit::GroupFrame> frameCee_;
    std::shared_ptr<kit::CaptionLabel> lblCee_, lblCeeDesc_;
    std::shared_ptr<kit::CodeEditBox> txtCeeCod_;
    std::shared_ptr<kit::MenuButton> butElabora_, butChiudi_;
    std::shared_ptr<kit::FormResizer> resizer_;
};

// A code typed in a box as the small unsigned number or integer a statement declares; a
// clear error for text that is not such a number.
std::uint8_t toTinyInt(const std::string& text, const char* what);
std::int16_t toSmallInt(const std::string& text, const char* what);

}  // namespace bycee
