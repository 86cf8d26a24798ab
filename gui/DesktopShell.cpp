#include "gui/DesktopShell.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>

#include "gui/BalanceCommands.h"
#include "gui/CeeRunInfo.h"
#include "gui/EditorFindBar.h"
#include "gui/EditorStatus.h"
#include "gui/KeysPage.h"
#include "gui/ProgramWindow.h"
#include "gui/UndoCommands.h"
#include "gui/UnmappedRows.h"
#include "gui/ReportPreview.h"
#include "kit/Control.h"
#include "kit/Form.h"
#include "gui/SettingsDialog.h"
#include "gui/ShellSetup.h"
#include "gui/StatementPanel.h"
#include "report/HostCorrelationReport.h"

namespace gui {

namespace {

constexpr int kCascadeStepTwips = 24 * 15;

QString applicationTitle() { return QString::fromUtf8(standalone::kApplicationTitle); }

}  // namespace

DesktopShell::DesktopShell(Options options, QWidget* parent) : QMainWindow(parent), options_(std::move(options)) {
    setObjectName("DesktopShell");
    windows_ = std::make_unique<QtWindowSystem>(this);
    dialogs_ = std::make_shared<QtDialogs>(this);
    connect(windows_.get(), &QtWindowSystem::windowShown, this, [this](FormWindow* w) {
        lastWindow_ = w;
        addEditorCommands(w);
        if (w->form() && w->form()->name() == "FRMCG_CORRRICLBYCEE")
            new CeeRunInfo(*w, activeEditor_, options_.settings.connectionString);
        if (openingKind_ == 1 && w->form() && w->form()->name() == "FRMCG_CORRRICL") disablePrintInAnalytic(*w);
    });
    rebuildHost();
    // The editor the user works in: the one a window it opens (the CEE window) belongs to.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        auto* w = now ? qobject_cast<FormWindow*>(now->window()) : nullptr;
        if (w && w->form() && w->form()->name() == "FRMCG_CORRRICL") activeEditor_ = w;
    });

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Impostazioni…"), this, &DesktopShell::showSettingsDialog);
    file->addSeparator();
    file->addAction(QStringLiteral("&Esci"), this, &QWidget::close);
    QMenu* kinds = menuBar()->addMenu(QStringLiteral("&Correlazioni"));
    QToolBar* bar = addToolBar(QStringLiteral("Correlazioni"));
    bar->setObjectName("kinds");
    static const char* const shortNames[] = {"Riclassificazione", "Analitica", "Hyperion", "Intercompany"};
    for (const auto& k : correlationKinds()) {
        QAction* a = kinds->addAction(QString::fromUtf8(k.caption));
        a->setObjectName(QString::fromUtf8(k.key));
        a->setIconText(QString::fromUtf8(shortNames[k.kind]));
        a->setToolTip(QString::fromUtf8(k.caption));
        int kind = k.kind;
        connect(a, &QAction::triggered, this, [this, kind] { openKind(kind); });
        bar->addAction(a);
        kindActions_.push_back(a);
    }
    addHelpMenu(menuBar(), makeKeysAction(this));
    summary_ = new QLabel(this);
    summary_->setAlignment(Qt::AlignCenter);
    summary_->setWordWrap(true);
    summary_->setMargin(24);
    setCentralWidget(summary_);
    updateSummary();
    resize(720, 360);
}

DesktopShell::~DesktopShell() {
    // The windows let go of the module's forms while those still live; then the module's
    // objects go (an editor that closes itself on the way still finds the window system),
    // then the windows, and the module last. A window whose close was refused goes without
    // asking: its form unloads (an editor lets go of its entry class there).
    for (FormWindow* w : windows_->openWindows())
        if (kit::Form* form = w->form()) form->unload();
    for (FormWindow* w : windows_->openWindows()) w->detach();
    entries_.clear();
    host_.reset();
    if (module_) module_->setWindowSystem(nullptr);
    windows_.reset();
    module_.reset();
}

void DesktopShell::closeEvent(QCloseEvent* event) {
    for (FormWindow* w : windows_->openWindows()) w->close();
    if (!windows_->openWindows().empty()) {
        event->ignore();
        return;
    }
    entries_.clear();
    event->accept();
}

void DesktopShell::rebuildHost() {
    host_ = std::make_unique<standalone::StandaloneHost>(standalone::StandaloneHost::create(options_.settings, dialogs_));
    host_->setProgramPresenter(std::make_shared<QtProgramPresenter>(this));
    report::installCorrelationReports(*host_, std::make_shared<ReportPreview>(this));
}

void DesktopShell::updateSummary() {
    const auto& s = options_.settings;
    setWindowTitle(QStringLiteral("%1 — %2").arg(applicationTitle(), qs(databaseLabel(s))));
    summary_->setText(QStringLiteral("<b>Brevanto</b><br>Database: %1<br>Ditta %2, %3 livelli del PdC"
                                     "<br><br>Scegliere una correlazione dal menu Correlazioni o dalla barra.")
                          .arg(qs(s.connectionString).toHtmlEscaped())
                          .arg(s.companyCode)
                          .arg(s.ledgerLevels) +
                      (databaseNotice_.isEmpty() ? QString() : "<br><br><i>" + databaseNotice_.toHtmlEscaped() + "</i>"));
}

bool DesktopShell::prepareDatabase(QString* error) {
    try {
        BusyCursor busy;
        std::unique_ptr<ProgressSteps> progress;
        DemoResult r = ensureDemoDatabase(options_.settings, [&](int step, const std::string& label) {
            if (!progress) progress = std::make_unique<ProgressSteps>(QStringLiteral("Database dimostrativo"), 3, this);
            progress->step(step, qs(label));
        });
        progress.reset();
        if (r.created) {
            databaseNotice_ = qs(r.message);
            statusBar()->showMessage(databaseNotice_);
            updateSummary();
        }
        return true;
    } catch (const std::exception& e) {
        if (error) *error = QStringLiteral("Impossibile creare il database dimostrativo: %1").arg(qs(e.what()));
        return false;
    }
}

bool DesktopShell::ensureModule(QString* error) {
    if (module_) return true;
    try {
        BusyCursor busy;
        if (!options_.module.empty()) {
            module_ = std::make_unique<standalone::ModuleLoader>(options_.module);
        } else {
            try {
                module_ = std::make_unique<standalone::ModuleLoader>();
            } catch (const standalone::ModuleError&) {
                std::error_code ec;
                if (options_.fallbackModule.empty() || !std::filesystem::is_regular_file(options_.fallbackModule, ec))
                    throw;
                module_ = std::make_unique<standalone::ModuleLoader>(options_.fallbackModule);
            }
        }
        module_->setWindowSystem(windows_.get());
        return true;
    } catch (const std::exception& e) {
        module_.reset();
        if (error) *error = qs(e.what());
        return false;
    }
}

bool DesktopShell::openKind(int kind, QString* error, bool quiet) {
    QString why;
    auto fail = [&](const QString& text) {
        if (error) *error = text;
        if (!quiet) QMessageBox::warning(this, applicationTitle(), text);
        return false;
    };
    if (kind < 0 || kind >= static_cast<int>(correlationKinds().size()))
        return fail(QStringLiteral("Tipo di correlazione %1 inesistente").arg(kind));
    const auto& k = correlationKinds()[kind];
    if (!ensureModule(&why)) return fail(QStringLiteral("Impossibile caricare il modulo: %1").arg(why));
    std::shared_ptr<host::Cinterface> entry;
    try {
        entry = std::dynamic_pointer_cast<host::Cinterface>(module_->createClass(k.progId));
    } catch (const std::exception& e) {
        return fail(qs(e.what()));
    }
    if (!entry) return fail(QStringLiteral("La classe %1 non è una classe di ingresso").arg(QString::fromUtf8(k.progId)));
    auto navigator = host_->newNavigator();
    entry->setClsGlobal(host_->global);
    entry->setActiveNavigator(navigator);
    entry->setCaption(db::Variant(std::string(k.caption)));
    // Editors open over the main window, each one a step down and right of the one before.
    const int step = static_cast<int>(windows_->openWindows().size() % 8) * kCascadeStepTwips;
    entry->setLeft(db::Variant(step));
    entry->setTop(db::Variant(step));
    entry->setWindowState(0);
    entry->setWindowModal(options_.settings.modal);
    entries_.push_back(entry);
    statusBar()->showMessage(QString::fromUtf8(k.caption));
    pendingEditor_ = PendingEditor{QString::fromUtf8(k.key).toUpper(), kind, navigator};
    openingKind_ = kind;
    entry->ShowForm();
    openingKind_ = -1;
    pendingEditor_.reset();
    // A modal editor has closed by now; a modeless one keeps its entry class while it is open.
    if (options_.settings.modal) std::erase(entries_, entry);
    return true;
}

void DesktopShell::addEditorCommands(FormWindow* window) {
    if (!pendingEditor_ || !window) return;
    PendingEditor editor = std::move(*pendingEditor_);
    pendingEditor_.reset();
    auto navigator = editor.navigator;
    new EditorExport(
        *window, [this, navigator] { return host_->collectExport(*navigator); }, editor.kindKey, exportPrompts_);
    new UnmappedRows(*window);
    new EditorFindBar(*window);
    new EditorStatus(*window);
    auto* mapping = new MappingCommands(*window, static_cast<mapping::CorrelationKind>(editor.kind),
                                        options_.settings.connectionString,
                                        std::to_string(options_.settings.companyCode), mappingPrompts_);
    new UndoCommands(*window, *mapping, undoPrompts_);
    new BalanceCommands(*window, static_cast<mapping::CorrelationKind>(editor.kind), options_.settings.connectionString,
                        std::to_string(options_.settings.companyCode), balancePrompts_);
    if (static_cast<mapping::CorrelationKind>(editor.kind) != mapping::CorrelationKind::COIN)
        new StatementPanel(*window, static_cast<mapping::CorrelationKind>(editor.kind),
                           options_.settings.connectionString, std::to_string(options_.settings.companyCode),
                           statementPrompts_);
    addHelpMenu(window->menuBar(), window->keysAction());
    window->updateChrome();
}

FormWindow* DesktopShell::openModeless(int kind, QString* error) {
    const bool modal = options_.settings.modal;
    options_.settings.modal = false;
    lastWindow_ = nullptr;
    bool opened = openKind(kind, error, true);
    options_.settings.modal = modal;
    if (opened && !lastWindow_ && error) *error = QStringLiteral("la finestra della correlazione non si è aperta");
    return opened ? lastWindow_.data() : nullptr;
}

void DesktopShell::forgetClosedEditors() {
    if (windows_->openWindows().empty()) entries_.clear();
}

void DesktopShell::applySettings(const standalone::Settings& settings) {
    auto file = options_.settings.configFile;
    // What was said about the demo database is stale once another database is chosen.
    if (settings.connectionString != options_.settings.connectionString) {
        databaseNotice_.clear();
        statusBar()->clearMessage();
    }
    options_.settings = settings;
    options_.settings.configFile = file;
    rebuildHost();
    updateSummary();
}

void DesktopShell::showSettingsDialog() {
    SettingsDialog dialog(options_.settings, this);
    if (dialog.exec() != QDialog::Accepted) return;
    standalone::Settings s = dialog.settings();
    try {
        saveSettingsFile(s, options_.settingsFile);
    } catch (const std::exception& e) {
        QMessageBox::warning(this, applicationTitle(), QStringLiteral("Impostazioni non salvate: %1").arg(qs(e.what())));
        return;
    }
    applySettings(s);
    QString why;
    if (!prepareDatabase(&why)) QMessageBox::warning(this, applicationTitle(), why);
    statusBar()->showMessage(QStringLiteral("Impostazioni salvate in %1").arg(qs(options_.settingsFile.string())));
}

}  // namespace gui
