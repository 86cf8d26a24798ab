#include "gui/MappingCommands.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "db/Error.h"
#include "gui/CheckGroups.h"
#include "gui/EditorGrid.h"
#include "gui/FormWindow.h"
#include "gui/Progress.h"
#include "gui/Shortcuts.h"
#include "gui/Support.h"
#include "mapping/BulkFill.h"
#include "mapping/Transfer.h"

namespace gui {

namespace {

QString number(long n) { return QLocale(QLocale::Italian).toString(static_cast<qlonglong>(n)); }

// The folder of the last file exported or imported (this session), else the documents.
QString& fileFolder() {
    static QString folder = [] {
        QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return docs.isEmpty() || !QDir(docs).exists() ? QDir::homePath() : docs;
    }();
    return folder;
}

const QString kFileFilters = QStringLiteral("Cartella di lavoro Excel (*.xlsx);;Testo separato da punto e virgola (*.csv)");

QAction* command(FormWindow& window, const QString& text, const char* name, const char* keys, const QString& tip) {
    auto* a = new QAction(text, &window);
    a->setObjectName(QString::fromLatin1(name));
    QString tooltip = tip;
    if (keys) {
        a->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        a->setShortcutContext(Qt::WindowShortcut);
        tooltip += QStringLiteral(" (%1)").arg(qs(shortcuts::shownKeys(keys)));
    }
    a->setToolTip(tooltip);
    window.addAction(a);
    return a;
}

QString scopeText(const mapping::Scope& scope) { return qs(mapping::describeScope(scope)); }

}  // namespace

bool goToRow(mapping::EditorLink& link, FormWindow& window, const mapping::Key& key) {
    bool moved = false;
    try {
        moved = link.goTo(key);
    } catch (const std::exception&) {
        moved = false;
    }
    window.syncFocus();
    if (moved) {
        window.raise();
        window.activateWindow();
    }
    return moved;
}

MappingPrompts qtMappingPrompts() {
    MappingPrompts p;
    p.chooseExportFile = [](QWidget* parent, const QString& suggested) {
        QFileDialog dialog(parent, QStringLiteral("Esporta correlazioni"), suggested, kFileFilters);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("xlsx"));
        dialog.selectFile(suggested);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                        : QString();
    };
    p.chooseImportFile = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("Importa correlazioni"), fileFolder(),
                                            QStringLiteral("Correlazioni (*.xlsx *.csv);;") + kFileFilters);
    };
    p.review = [](PlanPreview& preview) { return preview.exec() == QDialog::Accepted; };
    p.chooseCopySource = [](CopySourceDialog& dialog) -> std::optional<CopyChoice> {
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.choice();
    };
    p.chooseAccount = [](AssignAccountDialog& dialog) -> std::optional<std::string> {
        if (dialog.exec() != QDialog::Accepted || dialog.account().empty()) return std::nullopt;
        return dialog.account();
    };
    p.showCheck = [](CheckDialog& dialog) {
        dialog.show();
        dialog.raise();
        dialog.activateWindow();
    };
    p.warn = [](QWidget* parent, const QString& title, const QString& text) { QMessageBox::warning(parent, title, text); };
    return p;
}

MappingCommands::MappingCommands(FormWindow& window, mapping::CorrelationKind kind, std::string connectionString,
                                 std::string company, MappingPrompts prompts)
    : QObject(&window), window_(&window), prompts_(std::move(prompts)) {
    if (window.form())
        link_ = std::make_unique<mapping::EditorLink>(*window.form(), kind, std::move(connectionString), std::move(company));

    check_ = command(window, QStringLiteral("&Verifica correlazioni…"), "checkCorrelations", shortcuts::kCheckCorrelations,
                     QStringLiteral("Righe senza correlazione, correlazioni non più valide e altri controlli"));
    export_ = command(window, QStringLiteral("&Esporta correlazioni…"), "exportCorrelations",
                      shortcuts::kExportCorrelations,
                      QStringLiteral("Scrive le correlazioni dell'elenco in un file Excel o CSV da rileggere"));
    import_ = command(window, QStringLiteral("&Importa correlazioni…"), "importCorrelations",
                      shortcuts::kImportCorrelations,
                      QStringLiteral("Legge le correlazioni da un file Excel o CSV e ne mostra l'anteprima"));
    copyDebit_ = command(window, QStringLiteral("Copia &Dare → Avere"), "copyDebitToCredit", nullptr,
                         QStringLiteral("Copia la correlazione Dare nelle righe Avere vuote dello stesso conto"));
    copyCredit_ = command(window, QStringLiteral("Copia &Avere → Dare"), "copyCreditToDebit", nullptr,
                          QStringLiteral("Copia la correlazione Avere nelle righe Dare vuote dello stesso conto"));
    copyFrom_ = command(window, QStringLiteral("Copia da un altro &piano…"), "copyFromOther", nullptr,
                        QStringLiteral("Copia le correlazioni di un altro piano o di un'altra ditta"));
    assign_ = command(window, QStringLiteral("Assegna un &conto alle righe selezionate…"), "assignAccount",
                      shortcuts::kAssignAccount,
                      QStringLiteral("Lo stesso conto riclassificato per tutte le righe selezionate "
                                     "(Maiusc/Ctrl+clic per selezionarle)"));
    connect(check_, &QAction::triggered, this, [this] { runCheck(); });
    connect(export_, &QAction::triggered, this, [this] { runExport(); });
    connect(import_, &QAction::triggered, this, [this] { runImport(); });
    connect(copyDebit_, &QAction::triggered, this, [this] { runCopyOtherSign(1); });
    connect(copyCredit_, &QAction::triggered, this, [this] { runCopyOtherSign(2); });
    connect(copyFrom_, &QAction::triggered, this, [this] { runCopyFrom(); });
    connect(assign_, &QAction::triggered, this, [this] { runAssign(); });
    check_->setIcon(window.style()->standardIcon(QStyle::SP_DialogApplyButton));
    import_->setIcon(window.style()->standardIcon(QStyle::SP_DialogOpenButton));
    check_->setIconText(QStringLiteral("Verifica"));
    import_->setIconText(QStringLiteral("Importa"));

    QMenu* menu = window.menu(QStringLiteral("&Correlazioni"));
    menu->addAction(check_);
    menu->addSeparator();
    menu->addAction(export_);
    menu->addAction(import_);
    QMenu* fill = menu->addMenu(QStringLiteral("&Riempimento"));
    fill->setObjectName(QStringLiteral("bulkFill"));
    fill->addAction(copyDebit_);
    fill->addAction(copyCredit_);
    fill->addAction(copyFrom_);
    fill->addSeparator();
    fill->addAction(assign_);
    QToolBar* bar = window.toolBar();
    bar->addSeparator();
    bar->addAction(check_);
    bar->addAction(import_);
    window.updateChrome();

    if (GridView* grid = editorGrid(window))
        connect(grid->model(), &QAbstractItemModel::modelReset, this, &MappingCommands::updateEnabled);
    connect(&window, &FormWindow::formClosed, this, [this] {
        if (checkDialog_) checkDialog_->close();
        link_.reset();
        updateEnabled();
    });
    updateEnabled();
}

MappingCommands::~MappingCommands() = default;

void MappingCommands::updateEnabled() {
    const bool loaded = link_ && window_ && editorRowsLoaded(window_, editorGrid(*window_));
    for (QAction* a : {check_, export_, import_, copyDebit_, copyCredit_, copyFrom_, assign_}) a->setEnabled(loaded);
}

void MappingCommands::warn(const QString& title, const QString& text) const { prompts_.warn(window_, title, text); }

void MappingCommands::notice(const QString& text) const {
    if (window_) window_->statusBar()->showMessage(text, 8000);
}

std::optional<mapping::Scope> MappingCommands::ready(const QString& title, bool writing) {
    if (!link_ || !window_ || !window_->form()) return std::nullopt;
    std::string why;
    auto scope = link_->scope(&why);
    if (!scope) {
        warn(title, qs(why));
        return std::nullopt;
    }
    if (writing)
        if (std::string pending = link_->pendingEdit(); !pending.empty()) {
            warn(title, qs(pending));
            return std::nullopt;
        }
    return scope;
}

bool MappingCommands::runCheck() {
    const QString title = QStringLiteral("Verifica correlazioni");
    auto scope = ready(title, false);
    if (!scope) return false;
    if (checkDialog_) checkDialog_->close();
    mapping::EditorLink* link = link_.get();
    QPointer<FormWindow> window = window_;
    auto* dialog = new CheckDialog(
        scopeText(*scope), [link] { return checkGroups(*link); },
        [this, window](const mapping::Key& key) { return window && link_ && goToRow(*link_, *window, key); },
        window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    checkDialog_ = dialog;
    prompts_.showCheck(*dialog);
    return true;
}

QString MappingCommands::runExport() {
    const QString title = QStringLiteral("Esporta correlazioni");
    auto scope = ready(title, false);
    if (!scope) return {};
    QString name = QStringLiteral("Correlazioni %1 %2-%3.xlsx")
                       .arg(QString::fromUtf8(mapping::kindName(scope->kind)), qs(scope->ledgerCode()), qs(scope->reclChart));
    QString file = prompts_.chooseExportFile(window_, QDir(fileFolder()).filePath(name));
    if (file.isEmpty()) return {};
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".xlsx");
    try {
        BusyCursor busy;
        const long rows = mapping::exportCorrelations(link_->load(), std::filesystem::path(ss(file)));
        fileFolder() = QFileInfo(file).absolutePath();
        notice(QStringLiteral("Esportate %1 righe in \"%2\"").arg(number(rows), QDir::toNativeSeparators(file)));
    } catch (const std::exception& e) {
        warn(title, QStringLiteral("Correlazioni non esportate: %1").arg(qs(e.what())));
        return {};
    }
    return file;
}

long MappingCommands::runImport() {
    const QString title = QStringLiteral("Importa correlazioni");
    auto scope = ready(title, true);
    if (!scope) return 0;
    const QString file = prompts_.chooseImportFile(window_);
    if (file.isEmpty()) return 0;
    fileFolder() = QFileInfo(file).absolutePath();
    const std::filesystem::path path(ss(file));
    mapping::EditorLink* link = link_.get();
    const mapping::Scope expected = *scope;
    auto read = [link, path, expected](const mapping::RuleOptions& options) {
        return mapping::previewImport(link->connection(), path, expected, expected.company, options);
    };
    mapping::ImportPreview preview;
    try {
        BusyCursor busy;
        preview = read({});
    } catch (const std::exception& e) {
        warn(title, QStringLiteral("Impossibile leggere il file: %1").arg(qs(e.what())));
        return 0;
    }
    QStringList problems;
    for (const auto& p : preview.fileProblems) problems << qs(p);
    PlanPreview::Replan replan;
    if (problems.isEmpty()) replan = [read](const mapping::RuleOptions& o) { return read(o).plan; };
    if (preview.plan.scope.reclChart.empty()) preview.plan.scope = expected;
    return review(title, QStringLiteral("File: %1").arg(QDir::toNativeSeparators(file)), std::move(preview.plan), replan,
                  problems);
}

long MappingCommands::runCopyOtherSign(int fromSign) {
    const QString title = fromSign == 1 ? QStringLiteral("Copia Dare → Avere") : QStringLiteral("Copia Avere → Dare");
    if (!ready(title, true)) return 0;
    std::shared_ptr<const mapping::ChartData> data;
    std::vector<mapping::Desired> desired;
    try {
        BusyCursor busy;
        data = std::make_shared<const mapping::ChartData>(link_->load());
        desired = mapping::copyOtherSign(*data, fromSign);
    } catch (const std::exception& e) {
        warn(title, qs(e.what()));
        return 0;
    }
    auto plan = [data, desired](const mapping::RuleOptions& o) { return mapping::makePlan(*data, desired, o); };
    return review(title,
                  fromSign == 1 ? QStringLiteral("Correlazioni Dare copiate nelle righe Avere vuote")
                                : QStringLiteral("Correlazioni Avere copiate nelle righe Dare vuote"),
                  plan({}), plan);
}

long MappingCommands::runCopyFrom() {
    const QString title = QStringLiteral("Copia da un altro piano");
    auto scope = ready(title, true);
    if (!scope) return 0;
    QStringList databases;
    try {
        for (const auto& name : link_->intercompanyDatabases()) databases << qs(name);
    } catch (const std::exception&) {
        // without the list the other sources are still offered
    }
    CopySourceDialog dialog(scope->kind, databases, window_);
    auto choice = prompts_.chooseCopySource(dialog);
    if (!choice) return 0;
    std::shared_ptr<const mapping::ChartData> data;
    std::vector<mapping::Desired> desired;
    try {
        BusyCursor busy;
        data = std::make_shared<const mapping::ChartData>(link_->load());
        auto source = mapping::readCopySource(link_->connection(), data->scope, choice->source);
        desired = mapping::copyFrom(*data, source, choice->overwrite);
    } catch (const std::exception& e) {
        warn(title, qs(e.what()));
        return 0;
    }
    auto plan = [data, desired](const mapping::RuleOptions& o) { return mapping::makePlan(*data, desired, o); };
    QString what = QStringLiteral("Copia da %1").arg(qs(mapping::describeSource(choice->source)));
    if (choice->overwrite) what += QStringLiteral(", sovrascrivendo le correlazioni esistenti");
    return review(title, what, plan({}), plan);
}

long MappingCommands::runAssign() {
    const QString title = QStringLiteral("Assegna un conto alle righe selezionate");
    if (!ready(title, true)) return 0;
    GridView* grid = editorGrid(*window_);
    std::vector<long> rows = grid ? grid->selectedRecordsetRows() : std::vector<long>{};
    if (rows.empty() && grid && grid->model()->grid().currentRow() >= 0) rows.push_back(grid->model()->grid().currentRow());
    const std::vector<mapping::Key> keys = link_->keysOfRows(rows);
    if (keys.empty()) {
        warn(title, QStringLiteral("Selezionare prima le righe nell'elenco (Maiusc+clic o Ctrl+clic)."));
        return 0;
    }
    std::shared_ptr<const mapping::ChartData> data;
    try {
        BusyCursor busy;
        data = std::make_shared<const mapping::ChartData>(link_->load());
    } catch (const std::exception& e) {
        warn(title, qs(e.what()));
        return 0;
    }
    AssignAccountDialog dialog(static_cast<long>(keys.size()), *data, window_);
    auto account = prompts_.chooseAccount(dialog);
    if (!account) return 0;
    const std::vector<mapping::Desired> desired = mapping::assignTarget(keys, *account);
    auto plan = [data, desired](const mapping::RuleOptions& o) { return mapping::makePlan(*data, desired, o); };
    return review(title,
                  QStringLiteral("Conto %1 per %2 righe selezionate").arg(qs(*account), number(static_cast<long>(keys.size()))),
                  plan({}), plan);
}

long MappingCommands::review(const QString& title, const QString& what, mapping::Plan plan, PlanPreview::Replan replan,
                             const QStringList& problems) {
    PlanPreview preview(title + QStringLiteral(" — anteprima"), what, std::move(plan), window_, std::move(replan));
    if (!problems.isEmpty()) preview.setProblems(problems);
    if (!prompts_.review(preview) || !preview.applyButton()->isEnabled()) return 0;
    return apply(title, preview.plan());
}

long MappingCommands::apply(const QString& title, const mapping::Plan& plan) {
    if (!link_ || !window_) return 0;
    long written = 0;
    try {
        BusyCursor busy;
        written = link_->applyAndRefresh(plan);
    } catch (const mapping::EditorBusy& e) {
        warn(title, qs(e.what()));
        return 0;
    } catch (const mapping::PlanOutdated& e) {
        warn(title, QStringLiteral("%1\nNessuna correlazione è stata scritta.").arg(qs(e.what())));
        return 0;
    } catch (const std::exception& e) {
        warn(title, QStringLiteral("Le correlazioni non sono state scritte: %1\nLe tabelle sono rimaste com'erano.")
                        .arg(qs(e.what())));
        return 0;
    }
    if (window_) window_->syncFocus();
    notice(written == 1 ? QStringLiteral("1 correlazione scritta")
                        : QStringLiteral("%1 correlazioni scritte").arg(number(written)));
    return written;
}

}  // namespace gui
