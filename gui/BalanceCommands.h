#pragma once
// The "Bilancio" menu of a correlation editor's window: "Importa bilancio di verifica…" reads
// a trial balance of the list's company and ledger chart (COGE and HYPE: the header's chart;
// CONS: the structure's chart) at a date the user gives, shows its preview, and writes it only
// when the user presses "Applica". The analytic kind COIN has no ledger balances and no menu.

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "gui/BalancePreview.h"
#include "mapping/EditorLink.h"

class QAction;
class QWidget;

namespace gui {

class FormWindow;

// The questions the import asks: Qt dialogs by default, replaced in tests.
struct BalancePrompts {
    // The file to import; "" when cancelled.
    std::function<QString(QWidget* parent)> chooseFile;
    // The balance date, proposing `proposed`; nothing when cancelled.
    std::function<std::optional<QDate>(QWidget* parent, const QDate& proposed)> chooseDate;
    // Shows the preview; true when the user pressed "Applica".
    std::function<bool(BalancePreviewDialog& preview)> review;
    std::function<void(QWidget* parent, const QString& title, const QString& text)> warn;
};
BalancePrompts qtBalancePrompts();

class BalanceCommands : public QObject {
    Q_OBJECT
public:
    // Adds the menu to `window` (not in COIN); lives as long as the window.
    BalanceCommands(FormWindow& window, mapping::CorrelationKind kind, std::string connectionString, std::string company,
                    BalancePrompts prompts = qtBalancePrompts());
    ~BalanceCommands() override;

    QAction* importAction() const { return import_; }
    // Runs the import; the rows written (0 when nothing was).
    long runImport();

private:
    void updateEnabled();
    void warn(const QString& text) const;

    QPointer<FormWindow> window_;
    std::unique_ptr<mapping::EditorLink> link_;
    BalancePrompts prompts_;
    QAction* import_ = nullptr;
    QDate lastDate_;   // proposed again next time
};

}  // namespace gui
