#pragma once
// Printing in the desktop shell: the finished correlation report opens in Qt's print preview,
// from which the user prints it on any printer the system knows or saves it as a PDF file.
// Kind COIN has no print, and its editor's button says so.

#include <QPointer>
#include <QWidget>

#include "report/ReportOutput.h"

namespace gui {

class FormWindow;

class ReportPreview : public report::ReportOutput {
public:
    static constexpr const char* kSavePdfText = "Salva PDF…";

    explicit ReportPreview(QWidget* parent = nullptr) : parent_(parent) {}
    // Shows the preview modally; the pages of the report.
    int deliver(const report::ReportContent& content) override;

private:
    QPointer<QWidget> parent_;
};

inline constexpr const char* kNoPrintInAnalytic =
    "Stampa non disponibile: la correlazione analitica (COIN) non prevede la stampa delle correlazioni.";

// Disables the print button of a COIN editor's window, with the reason as its tool tip.
void disablePrintInAnalytic(FormWindow& window);

}  // namespace gui
