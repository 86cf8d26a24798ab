#include "gui/ProgramWindow.h"

#include <QApplication>
#include <QMessageBox>

#include "gui/LookupDialog.h"
#include "gui/Support.h"
#include "kit/ConnectionCache.h"

namespace gui {

std::optional<std::string> QtProgramPresenter::run(const host::ProgramRequest& request) {
    QWidget* owner = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                     : parent_                        ? parent_.data()
                                                      : QApplication::activeWindow();
    const QString title = qs(request.caption.empty() ? request.program : request.caption);
    if (request.sql.empty()) {
        QMessageBox::information(owner, title,
                                 QStringLiteral("Il programma \"%1\" non è disponibile nella versione autonoma.")
                                     .arg(qs(request.program)));
        return std::nullopt;
    }
    std::shared_ptr<db::Recordset> rows;
    try {
        rows = kit::runBoxQuery(request.sql, request.connectionString, nullptr);
    } catch (const std::exception& e) {
        QMessageBox::warning(owner, title, QStringLiteral("Impossibile leggere i dati del programma:\n%1")
                                               .arg(qs(kit::describeFailure(e))));
        return std::nullopt;
    }
    if (!rows || rows->State() != db::ado::adStateOpen) return std::nullopt;
    kit::LookupRequest view{request.caption, request.fields, rows, request.position, ""};
    LookupDialog dialog(view, owner, request.returnsChoice ? LookupDialog::Use::Choose : LookupDialog::Use::Browse);
    if (dialog.exec() != QDialog::Accepted || !request.returnsChoice || !dialog.chosen()) return std::nullopt;
    const auto& row = rows->viewRow(*dialog.chosen());
    if (row.empty()) return std::nullopt;
    return row[0].toText();
}

}  // namespace gui
