#include "gui/CeeRunInfo.h"

#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <charconv>

#include "db/Connection.h"
#include "db/Recordset.h"
#include "gui/FormWindow.h"
#include "gui/Support.h"
#include "kit/Form.h"
#include "kit/SimpleControls.h"
#include "text/Text.h"

namespace gui {

namespace {

std::string textOf(kit::Form* form, const char* control) {
    auto c = form ? form->find(control) : nullptr;
    return c ? c->Text() : std::string();
}

// A chart code as the number the tables hold; -1 for anything else.
int chartNumber(const std::string& text) {
    const std::string code = text::trimSpaces(text);
    if (code.empty()) return -1;
    int value = -1;
    const auto r = std::from_chars(code.data(), code.data() + code.size(), value);
    return r.ec == std::errc() && r.ptr == code.data() + code.size() && value >= 0 ? value : -1;
}

QString chartLine(const QString& what, const std::string& code, const std::string& description) {
    QString line = what + QLatin1Char(' ') + qs(code).trimmed();
    if (const QString d = qs(description).trimmed(); !d.isEmpty()) line += QStringLiteral(" – ") + d;
    return line;
}

}  // namespace

CeeRunInfo::CeeRunInfo(FormWindow& cee, FormWindow* editor, std::string connectionString)
    : QObject(&cee), cee_(&cee), editor_(editor), connectionString_(std::move(connectionString)),
      charts_(new QLabel(&cee)) {
    kit::Form* ed = editor ? editor->form() : nullptr;
    const std::string ledger = textOf(ed, "TXT_CODICE_PDC"), recl = textOf(ed, "TXT_CODICE_RICL");
    ledgerChart_ = chartNumber(ledger);
    reclChart_ = chartNumber(recl);
    charts_->setObjectName(QStringLiteral("ceeCharts"));
    charts_->setText(chartLine(QStringLiteral("Piano dei conti"), ledger, textOf(ed, "TXT_DESC_PDC")) + QLatin1Char('\n') +
                     chartLine(QStringLiteral("Bilanci infrannuali"), recl, textOf(ed, "TXT_DESCR_RICL")));
    charts_->setToolTip(QStringLiteral("Il piano dei conti da correlare e il piano dei bilanci infrannuali "
                                       "dell'editor da cui la finestra è stata aperta"));
    cee.statusBar()->addWidget(charts_, 1);
    cee.updateChrome();

    before_ = readCorrelations();
    if (kit::Form* form = cee.form())
        if (auto button = std::dynamic_pointer_cast<kit::MenuButton>(form->find("BUT_ELABORA")))
            // Connected after the module's own handler: this runs once the run is over.
            button->ButtonClick.connect([self = QPointer<CeeRunInfo>(this)] {
                if (self) self->afterRun();
            });
}

CeeRunInfo::~CeeRunInfo() = default;

QString CeeRunInfo::chartsText() const { return charts_->text(); }

std::optional<CeeRunInfo::Correlations> CeeRunInfo::readCorrelations() const {
    if (ledgerChart_ < 0 || reclChart_ < 0 || connectionString_.empty()) return std::nullopt;
    try {
        auto connection = db::Connection::create();
        connection->Open(connectionString_);
        auto rs = connection->Execute(
            "SELECT CG83_CONTO_CG24, CG83_INDSEGNO, CG83_CONTORICL_PC03 FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = " +
            std::to_string(ledgerChart_) + " AND CG83_CODICERICL_PC01 = " + std::to_string(reclChart_));
        Correlations rows;
        for (; rs && rs->State() == db::ado::adStateOpen && !rs->Eof(); rs->MoveNext())
            rows[rs->value("CG83_CONTO_CG24").toText() + '|' + rs->value("CG83_INDSEGNO").toText()] =
                rs->value("CG83_CONTORICL_PC03").toText();
        connection->Close();
        return rows;
    } catch (const std::exception& e) {
        qWarning("correlazioni dei bilanci infrannuali non lette: %s", e.what());
        return std::nullopt;
    }
}

void CeeRunInfo::afterRun() {
    if (!before_) return;
    const auto after = readCorrelations();
    if (!after) return;
    long added = 0, changed = 0;
    for (const auto& [key, account] : *after) {
        auto was = before_->find(key);
        if (was == before_->end()) ++added;
        else if (was->second != account) ++changed;
    }
    before_ = after;
    const QLocale it(QLocale::Italian);
    if (added + changed == 0)
        report_ = QStringLiteral("Bilanci infrannuali: nessuna correlazione nuova o cambiata.");
    else
        report_ = QStringLiteral("Bilanci infrannuali: %1 correlazioni scritte (%2 nuove, %3 cambiate).")
                      .arg(it.toString(static_cast<qlonglong>(added + changed)), it.toString(static_cast<qlonglong>(added)),
                           it.toString(static_cast<qlonglong>(changed)));
    // A run that wrote rows closes the window: then the editor says it.
    if (cee_ && cee_->form())
        charts_->setText(charts_->text().section(QLatin1Char('\n'), 0, 1) + QLatin1Char('\n') + report_);
    else if (editor_)
        editor_->statusBar()->showMessage(report_, 15000);
}

}  // namespace gui
