// The correlation editor's controls with their kit types, names, design captions, bound
// fields, tags and layout (twips). The header frame holds the chart fields in two rows (a
// third, above them, for the intercompany structure in kind CONS); the grid, its navigator
// and the record fields follow; the buttons sit at the bottom right.

#include "editor/FRMCG_CORRRICL.h"
#include "kit/Placement.h"

namespace editor {

namespace {

// The header's columns: captions wide enough for the longest one ("Codice PdC riclassificato
// intercompany"), then the codes and their descriptions.
constexpr int kHeaderLabelWidth = 3420;
constexpr int kHeaderCodeLeft = 3600;
constexpr int kHeaderDescrLeft = 5280;
constexpr int kHeaderDescrWidth = 4320;

using kit::place;

}  // namespace

void FRMCG_CORRRICL::createControls() {
    setSize(kHostBoxWidth, kHostBoxHeight);

    // Header. At design time the intercompany row and the chart row share the first line;
    // the load moves the chart rows down for CONS.
    frame1_ = place(create<kit::GroupFrame>("Frame1"), 60, 0, 11760, kHeaderHeight);
    lblCodIntercompany_ = place(create<kit::CaptionLabel>("LBL_CODINTERCOMPANY"), 120, 180, kHeaderLabelWidth, 255);
    lblCodIntercompany_->setCaption("Codice intercompany");
    txtCodIntercompany_ = place(create<kit::CodeEditBox>("TXT_CODINTERCOMPANY"), kHeaderCodeLeft, 150, 1200, 315);
    txtCodIntercompany_->setLabelCaption("Codice intercompany");
    txtDescrIntercompany_ = place(create<kit::CodeEditBox>("TXT_DESCRINTERCOMPANY"), kHeaderDescrLeft, 150, kHeaderDescrWidth, 315);
    txtDescrIntercompany_->setLabelCaption("Descrizione intercompany");

    lblCodPdc_ = place(create<kit::CaptionLabel>("LBL_CODPDC"), 120, 180, kHeaderLabelWidth, 255);
    lblCodPdc_->setCaption("Codice piano dei conti");
    txtCodicePdc_ = place(create<kit::CodeEditBox>("TXT_CODICE_PDC"), kHeaderCodeLeft, 150, 1200, 315);
    txtCodicePdc_->setLabelCaption("Codice piano dei conti");
    txtDescPdc_ = place(create<kit::CodeEditBox>("TXT_DESC_PDC"), kHeaderDescrLeft, 150, kHeaderDescrWidth, 315);
    txtDescPdc_->setLabelCaption("Descrizione P.d.C. contabile");
    txtNumLivelli_ = place(create<kit::CaptionLabel>("TXT_NUM_LIVELLI"), 9660, 150, 400, 315);
    txtNumLivelliCons_ = place(create<kit::CaptionLabel>("TXT_NUM_LIVELLI_CONS"), 10140, 150, 400, 315);

    lblCodRicl_ = place(create<kit::CaptionLabel>("LBL_CODRICL"), 120, 510, kHeaderLabelWidth, 255);
    lblCodRicl_->setCaption("Codice riclassificazione bilancio");
    txtCodiceRicl_ = place(create<kit::CodeEditBox>("TXT_CODICE_RICL"), kHeaderCodeLeft, 480, 1200, 315);
    txtCodiceRicl_->setLabelCaption("Codice riclassificazione bilancio");
    txtDescrChartRicl_ = place(create<kit::CodeEditBox>("TXT_DESCR_RICL"), kHeaderDescrLeft, 480, kHeaderDescrWidth, 315);
    txtDescrChartRicl_->setLabelCaption("Descrizione P.d.C. riclassificazione");
    txtNumLivelliRicl_ = place(create<kit::CaptionLabel>("TXT_NUM_LIVELLI_RICL"), 9660, 480, 400, 315);

    for (kit::Control* c : std::initializer_list<kit::Control*>{
             lblCodIntercompany_.get(), txtCodIntercompany_.get(), txtDescrIntercompany_.get(), lblCodPdc_.get(),
             txtCodicePdc_.get(), txtDescPdc_.get(), txtNumLivelli_.get(), txtNumLivelliCons_.get(),
             lblCodRicl_.get(), txtCodiceRicl_.get(), txtDescrChartRicl_.get(), txtNumLivelliRicl_.get()})
        frame1_->add(*c);
    // Descriptions are filled by the decodes, never typed.
    for (auto* d : {txtDescrIntercompany_.get(), txtDescPdc_.get(), txtDescrChartRicl_.get()}) {
        d->setTabStop(false);
        d->setEnabled(false);
    }

    // Grid, navigator and the record fields.
    grid_ = place(create<kit::QueryGrid>("GRID_CORRPDC"), 60, 900, 11760, 5400);
    gridNav_ = place(create<kit::GridNavigator>("GRIDNAV"), 60, 6360, 11760, 360);
    gridNav_->setTabStop(false);

    txtConto_ = place(create<kit::LedgerAccountBox>("TXT_CONTO"), 60, 6780, 2100, 315);
    txtConto_->setDbfield("CONTOPDC");
    txtConto_->setTag("Codice conto");
    txtConto_->setLabelCaption("Cerca conto");
    // The search box's visible label, under it (the record fields fill the row).
    lblConto_ = place(create<kit::CaptionLabel>("LBL_CONTO"), 60, 7110, 2100, 255);
    lblConto_->setCaption("Cerca conto");
    txtKey_ = place(create<kit::CodeEditBox>("TXT_KEY"), 60, 7200, 600, 315);
    txtKey_->setDbfield("FAKEID");
    txtKey_->setLabelCaption("chiave univoca");
    txtKey_->setVisible(false);   // the row key the frame binds, never shown
    txtKey_->setTabStop(false);
    txtDescrPdc_ = place(create<kit::CodeEditBox>("TXT_DESCRPDC"), 2220, 6780, 3000, 315);
    txtDescrPdc_->setDbfield("DESCRPDC");
    txtDescrPdc_->setLabelCaption("Descrizione");
    txtDescrPdc_->setTabStop(false);
    txtDescrPdc_->setEnabled(false);
    cboSegno_ = place(create<kit::ListCombo>("CBO_SEGNO"), 5280, 6780, 900, 315);
    cboSegno_->setDbfield("SEGNO");
    cboSegno_->setLabelCaption("Segno");
    cboSegno_->setTabStop(false);
    cboSegno_->setEnabled(false);
    txtContoCoin_ = place(create<kit::CoinAccountBox>("TXT_CONTOCOIN"), 6240, 6780, 2700, 315);
    txtContoCoin_->setDbfield("CONTORICL");
    txtContoCoin_->setLabelCaption("Conto di contabilità industriale");
    txtDescrRicl_ = place(create<kit::CodeEditBox>("TXT_DESCRRICL"), 9000, 6780, 2820, 315);
    txtDescrRicl_->setDbfield("DESCRRICL");
    txtDescrRicl_->setLabelCaption("Descrizione conto riclassificato CEE");
    txtDescrRicl_->setTabStop(false);
    txtDescrRicl_->setEnabled(false);

    // Buttons, anchored to the bottom right by the resizer. The intermediaries button is wide
    // enough for its longest caption, "Correlazione intermedi mastro fornitori".
    grbCheck_ = place(create<kit::GroupFrame>("GRB_CHECK"), 1100, 7620, 600, 420);
    imgCheck_ = place(create<kit::ImageBox>("IMG_CHECK"), 150, 60, 300, 300);
    imgCheck_->setPicture(kit::ImageBox::kCheckMark);   // the master's intermediaries are correlated
    grbCheck_->add(*imgCheck_);
    butCorrInfrannualeCee_ = place(create<kit::MenuButton>("BUT_CORRINFRANNUALECEE"), 1760, 7620, 2400, 420);
    butCorrInfrannualeCee_->setCaption("Bilanci infrannuali");
    butCorrIntermedi_ = place(create<kit::MenuButton>("BUT_CORRINTERMEDI"), 4220, 7620, 4000, 420);
    butCorrIntermedi_->setCaption("Intermedi");
    butNuovaCorr_ = place(create<kit::MenuButton>("BUT_NUOVACORR"), 8280, 7620, 1700, 420);
    butNuovaCorr_->setCaption("Nuova");
    butStampa_ = place(create<kit::MenuButton>("BUT_STAMPA"), 10040, 7620, 1780, 420);
    butStampa_->setCaption("Stampa");

    // Two hidden decoder boxes: the validation of a reclassified account points them at the
    // row's own account to learn its type (analytic account in COIN, ledger account else).
    pTxtContoCoIn_ = place(create<kit::CoinAccountBox>("PTxtContoCoIn"), 6040, 7200, 1800, 315);
    pTxtContoCoge_ = place(create<kit::LedgerAccountBox>("PTxtContoCoge"), 7900, 7200, 1800, 315);
    for (kit::Control* c : std::initializer_list<kit::Control*>{pTxtContoCoIn_.get(), pTxtContoCoge_.get()}) {
        c->setVisible(false);
        c->setTabStop(false);
    }

    hostBox_ = create<kit::MdiHostBox>("MdiHostBox");
    resizer_ = create<kit::FormResizer>("FormResizer");
    anchorControls();

    // Tab order: the header fields first (the load decides which of the first two is a
    // stop), then the grid, the search box, the reclassified account and the buttons from
    // left to right, as the window shows them.
    int index = 0;
    for (kit::Control* c : std::initializer_list<kit::Control*>{
             txtCodIntercompany_.get(), txtCodicePdc_.get(), txtCodiceRicl_.get(), grid_.get(), txtConto_.get(),
             txtContoCoin_.get(), butCorrInfrannualeCee_.get(), butCorrIntermedi_.get(), butNuovaCorr_.get(),
             butStampa_.get()})
        c->setTabIndex(index++);
    txtCodIntercompany_->setTabStop(false);
}

void FRMCG_CORRRICL::anchorControls() {
    using R = kit::FormResizer;
    // A larger window gives the grid the room: the header and the descriptions widen, the
    // record fields follow the grid's bottom edge (the buttons and the navigator are the
    // resizer's registrations).
    frame1_->setAnchor(R::StretchWidth);
    for (kit::Control* c : std::initializer_list<kit::Control*>{txtDescrIntercompany_.get(), txtDescPdc_.get(),
                                                                txtDescrChartRicl_.get()})
        c->setAnchor(R::StretchWidth);
    for (kit::Control* c : std::initializer_list<kit::Control*>{txtNumLivelli_.get(), txtNumLivelliCons_.get(),
                                                                txtNumLivelliRicl_.get()})
        c->setAnchor(R::MoveRight);
    grid_->setAnchor(R::StretchWidth | R::StretchHeight);
    for (kit::Control* c : std::initializer_list<kit::Control*>{txtConto_.get(), lblConto_.get(), txtKey_.get(),
                                                                txtDescrPdc_.get(), cboSegno_.get(),
                                                                txtContoCoin_.get(), pTxtContoCoIn_.get(),
                                                                pTxtContoCoge_.get()})
        c->setAnchor(R::MoveDown);
    txtDescrRicl_->setAnchor(R::MoveDown | R::StretchWidth);
}

void FRMCG_CORRRICL::setHintsForKind() {
    // The design captions above are the same in every kind; what the fields hold is not.
    struct Hints {
        const char* chart;
        const char* account;
    };
    Hints h{"PdC riclassificazione", "conto riclassificato"};
    switch (kind()) {
        case CorrelationKind::COGE:
        case CorrelationKind::COIN: break;
        case CorrelationKind::HYPE: h = {"PdC Hyperion", "conto Hyperion"}; break;
        case CorrelationKind::CONS: h = {"PdC riclassificato intercompany", "conto riclassificato intercompany"}; break;
    }
    const std::string ledger = kind() == CorrelationKind::COIN ? "PdC analitico" : "PdC contabile";
    std::string account = h.account;
    account[0] = 'C';
    txtCodicePdc_->setToolTipText("Codice " + ledger);
    txtDescPdc_->setToolTipText("Descrizione " + ledger);
    txtCodiceRicl_->setToolTipText(std::string("Codice ") + h.chart);
    txtDescrChartRicl_->setToolTipText(std::string("Descrizione ") + h.chart);
    txtContoCoin_->setToolTipText(account);
    txtDescrRicl_->setToolTipText(std::string("Descrizione ") + h.account);
    txtDescrPdc_->setToolTipText(kind() == CorrelationKind::COIN ? "Descrizione conto analitico"
                                                                 : "Descrizione conto contabile");
    txtConto_->setToolTipText(kind() == CorrelationKind::COIN ? "Cerca conto analitico" : "Cerca conto contabile");
}

std::string FRMCG_CORRRICL::fieldText(const std::string& controlName) const {
    auto c = find(controlName);
    return c ? c->Text() : std::string();
}

}  // namespace editor
