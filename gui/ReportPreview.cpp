#include "gui/ReportPreview.h"

#include <QAction>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

#include "gui/FormWindow.h"
#include "gui/Support.h"
#include "report/PdfFile.h"
#include "report/ReportPainter.h"

namespace gui {

namespace {

// Writes the report to a PDF file the user chooses.
void savePdf(QWidget* parent, const report::ReportContent& content) {
    const QString file = QFileDialog::getSaveFileName(parent, QStringLiteral("Salva la stampa in PDF"),
                                                      QStringLiteral("correlazioni.pdf"),
                                                      QStringLiteral("Documenti PDF (*.pdf)"));
    if (file.isEmpty()) return;
    try {
        report::writePdf(content, ss(file));
    } catch (const report::ReportError& e) {
        QMessageBox::warning(parent, QStringLiteral("Stampa correlazioni"), qs(e.what()));
    }
}

}  // namespace

int ReportPreview::deliver(const report::ReportContent& content) {
    QPrinter printer(QPrinter::HighResolution);
    report::setUpPage(printer);
    printer.setDocName(qs(content.title));
    QPrintPreviewDialog dialog(&printer, parent_);
    dialog.setObjectName("ReportPreview");
    dialog.setWindowTitle(QStringLiteral("Anteprima di stampa - %1").arg(qs(content.title)));
    int pages = 0;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        QPainter painter(target);
        pages = report::ReportPainter(content).paint(painter, *target);
    });
    if (auto* bar = dialog.findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* save = bar->addAction(QString::fromUtf8(kSavePdfText));
        save->setObjectName("savePdf");
        QObject::connect(save, &QAction::triggered, &dialog, [&] { savePdf(&dialog, content); });
    }
    dialog.resize(900, 1000);
    dialog.exec();
    return pages;
}

void disablePrintInAnalytic(FormWindow& window) {
    kit::Form* form = window.form();
    auto button = form ? form->find("BUT_STAMPA") : nullptr;
    if (!button) return;
    button->setEnabled(false);
    if (QWidget* w = window.widgetOf("BUT_STAMPA")) w->setToolTip(QString::fromUtf8(kNoPrintInAnalytic));
}

}  // namespace gui
