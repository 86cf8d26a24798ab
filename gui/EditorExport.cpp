#include "gui/EditorExport.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStyle>
#include <QToolBar>
#include <QUrl>

#include "gui/EditorGrid.h"
#include "gui/FormWindow.h"
#include "gui/Progress.h"
#include "gui/Shortcuts.h"
#include "gui/Support.h"
#include "kit/Control.h"
#include "kit/Form.h"

namespace gui {

namespace {

// The folder the last export went to (this session), else the user's documents.
QString& exportFolder() {
    static QString folder = [] {
        QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return docs.isEmpty() || !QDir(docs).exists() ? QDir::homePath() : docs;
    }();
    return folder;
}

}  // namespace

ExportPrompts qtExportPrompts() {
    ExportPrompts p;
    p.chooseFile = [](QWidget* parent, const QString& suggested) {
        QFileDialog dialog(parent, QStringLiteral("Esporta in Excel"), suggested,
                           QStringLiteral("Cartella di lavoro Excel (*.xlsx)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("xlsx"));
        dialog.selectFile(suggested);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                        : QString();
    };
    p.offerOpen = [](QWidget* parent, const QString& text) {
        return QMessageBox::question(parent, QStringLiteral("Esporta in Excel"), text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    };
    p.openFile = [](const QString& file) { return QDesktopServices::openUrl(QUrl::fromLocalFile(file)); };
    return p;
}

QString suggestedExportName(const QString& kindKey, const standalone::OfficeExport& exported) {
    QStringList parts{QStringLiteral("Correlazioni"), kindKey.toUpper()};
    QStringList codes;
    for (const auto& s : exported.sections()) {
        if (s.kind != standalone::ExportSection::Kind::Master) continue;
        for (std::size_t i = 0; i < s.captions.size() && i < s.values.size(); ++i)
            if (s.captions[i].rfind("Codice", 0) == 0 && !s.values[i].isBlank() && !s.values[i].isObject())
                codes << qs(s.values[i].toText()).trimmed();
        break;
    }
    if (!codes.isEmpty()) parts << codes.join('-');
    // Only what every file system takes.
    QString name = parts.join(' ');
    name.replace(QRegularExpression(QStringLiteral("[^\\w .-]")), QStringLiteral("_"));
    return name + QStringLiteral(".xlsx");
}

EditorExport::EditorExport(FormWindow& window, Collect collect, QString kindKey, ExportPrompts prompts)
    : QObject(&window), window_(&window), collect_(std::move(collect)), kindKey_(std::move(kindKey)),
      prompts_(std::move(prompts)) {
    action_ = new QAction(QStringLiteral("&Esporta in Excel…"), &window);
    action_->setObjectName(QStringLiteral("exportToExcel"));
    action_->setShortcut(QKeySequence(QString::fromLatin1(shortcuts::kExport)));
    action_->setShortcutContext(Qt::WindowShortcut);
    action_->setIcon(window.style()->standardIcon(QStyle::SP_DialogSaveButton));
    connect(action_, &QAction::triggered, this, [this] { run(); });
    window.addAction(action_);
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(action_);
    window.toolBar()->addAction(action_);
    window.updateChrome();
    connect(&window, &FormWindow::formClosed, this, [this] {
        stopFollowing();
        updateEnabled();
    });
    followGrid();
}

EditorExport::~EditorExport() { stopFollowing(); }

void EditorExport::followGrid() {
    kit::Form* form = window_ ? window_->form() : nullptr;
    auto grid = form ? form->find(kEditorGridName) : nullptr;
    if (grid) {
        grid_ = grid;
        gridSubscription_ = grid->propertyChanged.connect([this](const std::string& property) {
            if (property == "Enabled") updateEnabled();
        });
    }
    updateEnabled();
}

void EditorExport::stopFollowing() {
    if (auto grid = grid_.lock(); grid && gridSubscription_) grid->propertyChanged.disconnect(gridSubscription_);
    grid_.reset();
    gridSubscription_ = 0;
}

void EditorExport::updateEnabled() {
    auto grid = grid_.lock();
    const bool loaded = grid && window_ && window_->form() && grid->Enabled();
    action_->setEnabled(loaded);
    action_->setToolTip(loaded ? QStringLiteral("Esporta l'elenco delle correlazioni in un file Excel (Ctrl+E)")
                               : QStringLiteral("Compilare prima l'intestazione: l'esportazione riguarda l'elenco "
                                                "dei conti caricato"));
}

void EditorExport::warn(const QString& text) const {
    QMessageBox::warning(window_, QStringLiteral("Esporta in Excel"), text);
}

QString EditorExport::run() {
    if (!action_->isEnabled()) return {};
    std::shared_ptr<standalone::OfficeExport> exported;
    {
        BusyCursor busy;
        exported = collect_();
    }
    if (!exported) return {};   // a handler cancelled the export
    if (exported->sections().empty()) {
        warn(QStringLiteral("Il programma non ha fornito dati da esportare."));
        return {};
    }
    QString file = prompts_.chooseFile(window_, QDir(exportFolder()).filePath(suggestedExportName(kindKey_, *exported)));
    if (file.isEmpty()) return {};
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".xlsx");
    try {
        BusyCursor busy;
        exported->writeXlsx(std::filesystem::path(ss(file)));
    } catch (const std::exception& e) {
        warn(qs(e.what()));
        return {};
    }
    exportFolder() = QFileInfo(file).absolutePath();
    const QString text = QStringLiteral("Esportate %1 righe in \"%2\".\n\nAprire il file?")
                             .arg(QLocale(QLocale::Italian).toString(static_cast<qulonglong>(exported->detailRowCount())),
                                  QDir::toNativeSeparators(file));
    if (prompts_.offerOpen(window_, text) && !prompts_.openFile(file))
        warn(QStringLiteral("Impossibile aprire \"%1\": nessun programma del sistema apre i fogli di calcolo.")
                 .arg(QDir::toNativeSeparators(file)));
    return file;
}

}  // namespace gui
