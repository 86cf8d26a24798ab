#include "gui/BalanceCommands.h"

#include <QAction>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

#include "balances/Amounts.h"
#include "balances/EditorBalances.h"
#include "db/Connection.h"
#include "gui/EditorGrid.h"
#include "gui/FormWindow.h"
#include "gui/Progress.h"
#include "gui/Support.h"

namespace gui {

namespace {

const QString kTitle = QStringLiteral("Importa bilancio di verifica");

QString number(long n) { return QLocale(QLocale::Italian).toString(static_cast<qlonglong>(n)); }

// The folder of the last balance imported (this session), else the home folder.
QString& balanceFolder() {
    static QString folder = QDir::homePath();
    return folder;
}

std::optional<QDate> askDate(QWidget* parent, const QDate& proposed) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Data del bilancio"));
    auto* layout = new QFormLayout(&dialog);
    auto* edit = new QDateEdit(proposed, &dialog);
    edit->setObjectName(QStringLiteral("balanceDate"));
    edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    edit->setCalendarPopup(true);
    edit->setLocale(QLocale(QLocale::Italian));
    layout->addRow(QStringLiteral("Bilancio di verifica al:"), edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return edit->date();
}

}  // namespace

BalancePrompts qtBalancePrompts() {
    BalancePrompts p;
    p.chooseFile = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, kTitle, balanceFolder(),
                                            QStringLiteral("Bilancio di verifica (*.xlsx *.csv);;Cartella di lavoro Excel "
                                                           "(*.xlsx);;Testo separato da punto e virgola (*.csv)"));
    };
    p.chooseDate = askDate;
    p.review = [](BalancePreviewDialog& preview) { return preview.exec() == QDialog::Accepted; };
    p.warn = [](QWidget* parent, const QString& title, const QString& text) { QMessageBox::warning(parent, title, text); };
    return p;
}

BalanceCommands::BalanceCommands(FormWindow& window, mapping::CorrelationKind kind, std::string connectionString,
                                 std::string company, BalancePrompts prompts)
    : QObject(&window), window_(&window), prompts_(std::move(prompts)) {
    if (!balances::kindHasBalances(kind)) return;
    if (window.form())
        link_ = std::make_unique<mapping::EditorLink>(*window.form(), kind, std::move(connectionString), std::move(company));
    import_ = new QAction(QStringLiteral("&Importa bilancio di verifica…"), &window);
    import_->setObjectName(QStringLiteral("importBalance"));
    import_->setToolTip(QStringLiteral("Legge il bilancio di verifica della ditta e del piano dei conti da un file Excel o "
                                       "CSV (colonne Conto, Dare, Avere oppure Saldo) e ne mostra l'anteprima"));
    window.addAction(import_);
    connect(import_, &QAction::triggered, this, [this] { runImport(); });
    window.menu(QStringLiteral("Bilanci&o"))->addAction(import_);
    window.updateChrome();

    if (GridView* grid = editorGrid(window))
        connect(grid->model(), &QAbstractItemModel::modelReset, this, &BalanceCommands::updateEnabled);
    connect(&window, &FormWindow::formClosed, this, [this] {
        link_.reset();
        updateEnabled();
    });
    updateEnabled();
}

BalanceCommands::~BalanceCommands() = default;

void BalanceCommands::updateEnabled() {
    if (import_) import_->setEnabled(link_ && window_ && editorRowsLoaded(window_, editorGrid(*window_)));
}

void BalanceCommands::warn(const QString& text) const { prompts_.warn(window_, kTitle, text); }

long BalanceCommands::runImport() {
    if (!link_ || !window_) return 0;
    balances::BalanceTarget target;
    try {
        target = balances::editorBalanceTarget(*link_, "");
    } catch (const mapping::EditorBusy& e) {
        warn(qs(e.what()));
        return 0;
    }
    const QString file = prompts_.chooseFile(window_);
    if (file.isEmpty()) return 0;
    balanceFolder() = QFileInfo(file).absolutePath();
    const QDate proposed = lastDate_.isValid() ? lastDate_ : QDate(QDate::currentDate().year() - 1, 12, 31);
    const auto date = prompts_.chooseDate(window_, proposed);
    if (!date || !date->isValid()) return 0;
    lastDate_ = *date;
    target.date = date->toString(Qt::ISODate).toStdString();

    balances::BalancePreview preview;
    try {
        BusyCursor busy;
        preview = balances::previewBalanceImport(link_->connection(), std::filesystem::path(ss(file)), target);
    } catch (const std::exception& e) {
        warn(QStringLiteral("Impossibile leggere il bilancio: %1").arg(qs(e.what())));
        return 0;
    }
    BalancePreviewDialog dialog(kTitle + QStringLiteral(" — anteprima"), std::move(preview), window_);
    if (!prompts_.review(dialog) || !dialog.applyButton()->isEnabled() || !dialog.preview().applicable()) return 0;

    long written = 0;
    try {
        BusyCursor busy;
        written = balances::applyBalanceImport(link_->connection(), dialog.preview());
    } catch (const balances::BalanceOutdated& e) {
        warn(qs(e.what()));
        return 0;
    } catch (const std::exception& e) {
        warn(QStringLiteral("Il bilancio non è stato scritto: %1\nLa tabella dei bilanci è rimasta com'era.").arg(qs(e.what())));
        return 0;
    }
    const auto& p = dialog.preview();
    if (window_)
        window_->statusBar()->showMessage(
            QStringLiteral("Bilancio al %1 scritto: %2 righe (%3)")
                .arg(qs(balances::italianDate(target.date)), number(written), qs(p.summary())),
            10000);
    return written;
}

}  // namespace gui
