// The correlation editor's controls with their kit types, names, design captions, bound
// fields, tags and layout (twips). The header frame holds the chart fields in two rows (a
// third, above them, for the intercompany structure in kind CONS); the grid, its navigator
// and the record fields follow; the buttons sit at the bottom right.

#include "editor/FRMCG_CORRRICL.h"

namespace editor {

namespace {

template <class T>
std::shared_ptr<T> place(const std::shared_ptr<T>& c, int left, int top, int width, int height) {
    c->move(left, top, width, height);
    return c;
}

}  // namespace

void FRMCG_CORRRICL::createControls() {
    setSize(kHostBoxWidth, kHostBoxHeight);

    // Header. At design time the intercompany row and the chart row share the first line;
    // the load moves the chart rows down for CONS.
    frame1_ = place(create<kit::GroupFrame>("Frame1"), 60, 0, 11760, kHeaderHeight);
    lblCodIntercompany_ = place(create<kit::CaptionLabel>("LBL_CODINTERCOMPANY"), 120, 180, 2700, 255);
    lblCodIntercompany_->setCaption("Codice intercompany");
    txtCodIntercompany_ = place(create<kit::CodeEditBox>("TXT_CODINTERCOMPANY"), 2880, 150, 1200, 315);
    txtCodIntercompany_->setLabelCaption("Codice intercompany");
    txtDescrIntercompany_ = place(create<kit::CodeEditBox>("TXT_DESCRINTERCOMPANY"), 4560, 150, 5000, 315);
    txtDescrIntercompany_->setLabelCaption("Descrizione intercompany");

    lblCodPdc_ = place(create<kit::CaptionLabel>("LBL_CODPDC"), 120, 180, 2700, 255);
    lblCodPdc_->setCaption("Codice piano dei conti");
    txtCodicePdc_ = place(create<kit::CodeEditBox>("TXT_CODICE_PDC"), 2880, 150, 1200, 315);
    txtCodicePdc_->setLabelCaption("Codice piano dei conti");
    txtDescPdc_ = place(create<kit::CodeEditBox>("TXT_DESC_PDC"), 4560, 150, 5000, 315);
    txtDescPdc_->setLabelCaption("Descrizione P.d.C. contabile");
    txtNumLivelli_ = place(create<kit::CaptionLabel>("TXT_NUM_LIVELLI"), 9660, 150, 400, 315);
    txtNumLivelliCons_ = place(create<kit::CaptionLabel>("TXT_NUM_LIVELLI_CONS"), 10140, 150, 400, 315);

    lblCodRicl_ = place(create<kit::CaptionLabel>("LBL_CODRICL"), 120, 510, 2700, 255);
    lblCodRicl_->setCaption("Codice riclassificazione bilancio");
    txtCodiceRicl_ = place(create<kit::CodeEditBox>("TXT_CODICE_RICL"), 2880, 480, 1200, 315);
    txtCodiceRicl_->setLabelCaption("Codice riclassificazione bilancio");
    txtDescrChartRicl_ = place(create<kit::CodeEditBox>("TXT_DESCR_RICL"), 4560, 480, 5000, 315);
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

    txtConto_ = place(create<kit::LedgerAccountBox>("TXT_CONTO"), 60, 6780, 1500, 315);
    txtConto_->setDbfield("CONTOPDC");
    txtConto_->setTag("Codice conto");
    txtConto_->setLabelCaption("Cerca conto");
    // The search box's visible label, under it (the record fields fill the row).
    lblConto_ = place(create<kit::CaptionLabel>("LBL_CONTO"), 60, 7110, 1500, 255);
    lblConto_->setCaption("Cerca conto");
    txtKey_ = place(create<kit::CodeEditBox>("TXT_KEY"), 60, 7200, 600, 315);
    txtKey_->setDbfield("FAKEID");
    txtKey_->setLabelCaption("chiave univoca");
    txtKey_->setVisible(false);   // the row key the frame binds, never shown
    txtKey_->setTabStop(false);
    txtDescrPdc_ = place(create<kit::CodeEditBox>("TXT_DESCRPDC"), 1620, 6780, 3400, 315);
    txtDescrPdc_->setDbfield("DESCRPDC");
    txtDescrPdc_->setLabelCaption("Descrizione");
    txtDescrPdc_->setTabStop(false);
    txtDescrPdc_->setEnabled(false);
    cboSegno_ = place(create<kit::ListCombo>("CBO_SEGNO"), 5080, 6780, 900, 315);
    cboSegno_->setDbfield("SEGNO");
    cboSegno_->setLabelCaption("Segno");
    cboSegno_->setTabStop(false);
    cboSegno_->setEnabled(false);
    txtContoCoin_ = place(create<kit::CoinAccountBox>("TXT_CONTOCOIN"), 6040, 6780, 1800, 315);
    txtContoCoin_->setDbfield("CONTORICL");
    txtContoCoin_->setLabelCaption("Conto di contabilità industriale");
    txtDescrRicl_ = place(create<kit::CodeEditBox>("TXT_DESCRRICL"), 7900, 6780, 3920, 315);
    txtDescrRicl_->setDbfield("DESCRRICL");
    txtDescrRicl_->setLabelCaption("Descrizione conto riclassificato CEE");
    txtDescrRicl_->setTabStop(false);
    txtDescrRicl_->setEnabled(false);

    // Buttons, anchored to the bottom right by the resizer.
    grbCheck_ = place(create<kit::GroupFrame>("GRB_CHECK"), 2100, 7620, 600, 420);
    imgCheck_ = place(create<kit::ImageBox>("IMG_CHECK"), 2190, 7680, 300, 300);
    imgCheck_->setPicture(kit::ImageBox::kCheckMark);   // the master's intermediaries are correlated
    grbCheck_->add(*imgCheck_);
    butCorrInfrannualeCee_ = place(create<kit::MenuButton>("BUT_CORRINFRANNUALECEE"), 2760, 7620, 2400, 420);
    butCorrInfrannualeCee_->setCaption("Bilanci infrannuali");
    butCorrIntermedi_ = place(create<kit::MenuButton>("BUT_CORRINTERMEDI"), 5220, 7620, 3000, 420);
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

std::string FRMCG_CORRRICL::fieldText(const std::string& controlName) const {
    auto c = find(controlName);
    return c ? c->Text() : std::string();
}

}  // namespace editor
