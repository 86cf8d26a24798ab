#include "gui/StatementPanel.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/CorrelationRows.h"
#include "gui/EditorExport.h"
#include "gui/EditorGrid.h"
#include "gui/FormWindow.h"
#include "gui/Progress.h"
#include "gui/MappingCommands.h"
#include "gui/Shortcuts.h"
#include "gui/Support.h"
#include "mapping/Rows.h"
#include "report/ReportContent.h"
#include "standalone/OfficeExport.h"
#include "statement/PreviewExport.h"
#include "text/Text.h"

namespace gui {

namespace {

constexpr int kPanelWidth = 420;
constexpr int kWarningsShownBeforePrint = 12;
const QString kTitle = QString::fromUtf8(kStatementPanelTitle);

QString amount(statement::Cents cents) { return qs(statement::formatAmount(cents)); }

QString lineCode(const statement::LoadedPreview& loaded, const statement::PreviewLine& line) {
    return qs(line.inChart ? loaded.shownTarget(line.code) : line.code);
}

QTreeWidget* listWidget(QWidget* parent, const QStringList& headers) {
    auto* list = new QTreeWidget(parent);
    list->setColumnCount(static_cast<int>(headers.size()));
    list->setHeaderLabels(headers);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return list;
}

QDialog* listDialog(QWidget* parent, const QString& name, const QString& title, const QString& caption,
                    QTreeWidget*& list, const QStringList& headers) {
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(name);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(title);
    auto* layout = new QVBoxLayout(dialog);
    auto* label = new QLabel(caption, dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    list = listWidget(dialog, headers);
    layout->addWidget(list);
    auto* close = new QPushButton(QStringLiteral("Chiudi"), dialog);
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::close);
    layout->addWidget(close, 0, Qt::AlignRight);
    dialog->resize(640, 420);
    return dialog;
}

}  // namespace

StatementPrompts qtStatementPrompts() {
    StatementPrompts p;
    p.confirmPrint = [](QWidget* parent, const QString& text) {
        return QMessageBox::question(parent, QStringLiteral("Stampa anteprima bilancio"), text,
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    };
    p.print = [](QWidget* parent, const QString& title, const QString& html) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(title);
        QPrintPreviewDialog dialog(&printer, parent);
        dialog.setObjectName(QStringLiteral("StatementPrintPreview"));
        dialog.setWindowTitle(QStringLiteral("Anteprima di stampa - %1").arg(title));
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
            QTextDocument document;
            document.setHtml(html);
            document.print(target);
        });
        dialog.resize(900, 1000);
        dialog.exec();
    };
    p.chooseExportFile = qtExportPrompts().chooseFile;
    p.show = [](QDialog& dialog) {
        dialog.show();
        dialog.raise();
        dialog.activateWindow();
    };
    p.warn = [](QWidget* parent, const QString& title, const QString& text) { QMessageBox::warning(parent, title, text); };
    return p;
}

StatementPanel::StatementPanel(FormWindow& window, mapping::CorrelationKind kind, std::string connectionString,
                               std::string company, StatementPrompts prompts)
    : QWidget(&window), window_(&window), grid_(editorGrid(window)), prompts_(std::move(prompts)),
      reloadTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("statementPanel"));
    if (window.form())
        link_ = std::make_unique<mapping::EditorLink>(*window.form(), kind, std::move(connectionString), std::move(company));
    setFixedWidth(kPanelWidth);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    auto* title = new QLabel(QStringLiteral("<b>%1</b>").arg(kTitle), this);
    layout->addWidget(title);
    auto* dateRow = new QHBoxLayout;
    auto* dateLabel = new QLabel(QStringLiteral("&Data del bilancio:"), this);
    dates_ = new QComboBox(this);
    dates_->setObjectName(QStringLiteral("statementDate"));
    dateLabel->setBuddy(dates_);
    dateRow->addWidget(dateLabel);
    dateRow->addWidget(dates_, 1);
    layout->addLayout(dateRow);
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("statementNotice"));
    notice_->setWordWrap(true);
    notice_->hide();
    layout->addWidget(notice_);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("statementLines"));
    tree_->setColumnCount(3);
    tree_->setHeaderLabels({QStringLiteral("Conto"), QStringLiteral("Descrizione"), QStringLiteral("Importo")});
    tree_->setUniformRowHeights(true);
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tree_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    tree_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    tree_->setToolTip(QStringLiteral("Doppio clic su una riga: i conti del piano che la compongono"));
    layout->addWidget(tree_, 1);
    auto* buttons = new QHBoxLayout;
    warningsButton_ = new QPushButton(this);
    warningsButton_->setObjectName(QStringLiteral("statementWarnings"));
    printButton_ = new QPushButton(QStringLiteral("&Stampa…"), this);
    printButton_->setObjectName(QStringLiteral("statementPrint"));
    exportButton_ = new QPushButton(QStringLiteral("Esporta in E&xcel…"), this);
    exportButton_->setObjectName(QStringLiteral("statementExport"));
    buttons->addWidget(warningsButton_);
    buttons->addStretch(1);
    buttons->addWidget(printButton_);
    buttons->addWidget(exportButton_);
    layout->addLayout(buttons);

    toggle_ = new QAction(QStringLiteral("Anteprima &bilancio riclassificato"), &window);
    toggle_->setObjectName(QStringLiteral("statementPreview"));
    toggle_->setCheckable(true);
    toggle_->setShortcut(QKeySequence(QString::fromLatin1(shortcuts::kStatementPreview)));
    toggle_->setShortcutContext(Qt::WindowShortcut);
    toggle_->setToolTip(QStringLiteral("%1: importi del bilancio di verifica per conto riclassificato (%2)")
                            .arg(kTitle, qs(shortcuts::shownKeys(shortcuts::kStatementPreview))));
    window.addAction(toggle_);
    QMenu* menu = window.menu(QStringLiteral("&Correlazioni"));
    menu->addSeparator();
    menu->addAction(toggle_);
    window.setSidePanel(this);
    window.updateChrome();

    connect(toggle_, &QAction::toggled, this, &StatementPanel::setShown);
    connect(dates_, &QComboBox::activated, this, [this](int index) {
        if (!loaded_ || index < 0) return;
        loaded_->preview.setDate(ss(dates_->itemData(index).toString()));
        refreshAmounts();
    });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item) openDrillDown(ss(item->data(0, Qt::UserRole).toString()));
    });
    connect(warningsButton_, &QPushButton::clicked, this, [this] { openWarnings(); });
    connect(printButton_, &QPushButton::clicked, this, [this] { print(); });
    connect(exportButton_, &QPushButton::clicked, this, [this] { exportTo(); });
    reloadTimer_->setSingleShot(true);
    reloadTimer_->setInterval(60);
    connect(reloadTimer_, &QTimer::timeout, this, &StatementPanel::reload);
    followGrid();
    connect(&window, &FormWindow::formClosed, this, [this] {
        reloadTimer_->stop();
        link_.reset();
    });
    updateEnabled();
}

StatementPanel::~StatementPanel() = default;

void StatementPanel::followGrid() {
    if (!grid_) return;
    QueryGridModel* model = grid_->model();
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        stale_ = true;
        if (isVisible()) reloadTimer_->start();
    });
    connect(model, &QAbstractItemModel::dataChanged, this, &StatementPanel::rowsChanged);
}

void StatementPanel::setShown(bool shown) {
    if (toggle_->isChecked() != shown) toggle_->setChecked(shown);
    if (!window_) return;
    window_->setSidePanelVisible(shown);
    if (shown && stale_) reload();
}

void StatementPanel::showNotice(const QString& text) {
    notice_->setText(text);
    notice_->setVisible(!text.isEmpty());
}

QString StatementPanel::notice() const { return notice_->isHidden() ? QString() : notice_->text(); }

void StatementPanel::reload() {
    reloadTimer_->stop();
    stale_ = false;
    loaded_.reset();
    if (!link_ || !window_ || !editorRowsLoaded(window_, grid_)) {
        showNotice(QString::fromUtf8(mapping::kListNotLoadedMessage));
    } else {
        try {
            BusyCursor busy;
            const std::optional<std::string> keep =
                dates_->currentIndex() >= 0 ? std::optional<std::string>(ss(dates_->currentData().toString())) : std::nullopt;
            auto loaded = std::make_unique<statement::LoadedPreview>(statement::loadPreview(link_->connection(), link_->load()));
            // The date the user chose stays chosen while it is kept.
            if (keep) loaded->preview.setDate(*keep);
            loaded_ = std::move(loaded);
            showNotice(qs(loaded_->notice));
        } catch (const std::exception& e) {
            showNotice(qs(e.what()));
        }
    }
    dates_->clear();
    if (loaded_) {
        for (const auto& d : loaded_->preview.dates()) dates_->addItem(qs(statement::italianDate(d)), qs(d));
        dates_->setCurrentIndex(dates_->findData(qs(loaded_->preview.date())));
    }
    rebuildTree();
}

void StatementPanel::rowsChanged(const QModelIndex& from, const QModelIndex& to) {
    if (!loaded_ || stale_ || !grid_) return;
    if (!isVisible()) {
        stale_ = true;
        return;
    }
    const QueryGridModel* model = grid_->model();
    const kit::QueryGrid& grid = model->grid();
    const CorrelationColumns columns(grid);
    if (!columns.complete()) return;
    for (int r = from.row(); r <= to.row(); ++r) {
        const long row = model->recordsetRow(r);
        if (row < 0) continue;
        const db::Variant sign = grid.cellValue(row, columns.sign);
        mapping::Key key{text::trimWhitespace(grid.cellValue(row, columns.account).toText()),
                         sign.isNumeric() ? static_cast<int>(sign.toInt64()) : (sign.toText() == "2" ? 2 : 1)};
        const std::string target =
            isUnmapped(grid, columns, row) ? std::string() : text::trimWhitespace(grid.cellValue(row, columns.reclassified).toText());
        loaded_->preview.setTarget(key, target);
    }
    refreshAmounts();
}

void StatementPanel::rebuildTree() {
    tree_->clear();
    items_.clear();
    if (loaded_) {
        const auto& lines = loaded_->preview.lines();
        items_.reserve(lines.size());
        for (const auto& line : lines) {
            QTreeWidgetItem* parent = line.parent >= 0 ? items_[static_cast<std::size_t>(line.parent)] : nullptr;
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
            item->setText(0, lineCode(*loaded_, line));
            item->setText(1, qs(line.description));
            item->setData(0, Qt::UserRole, qs(line.code));
            item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
            if (!line.analytic || !line.inChart) {
                QFont bold = item->font(0);
                bold.setBold(true);
                for (int c = 0; c < 3; ++c) item->setFont(c, bold);
            }
            items_.push_back(item);
        }
        tree_->expandAll();
    }
    refreshAmounts();
}

void StatementPanel::refreshAmounts() {
    if (loaded_ && loaded_->preview.lines().size() != items_.size()) {
        rebuildTree();   // a correlation to a code the chart lacks brought a line of its own
        return;
    }
    if (loaded_) {
        const auto& lines = loaded_->preview.lines();
        for (std::size_t i = 0; i < lines.size(); ++i) items_[i]->setText(2, amount(lines[i].total));
    }
    const long warnings = loaded_ ? loaded_->preview.warningCount() : 0;
    warningsButton_->setText(QStringLiteral("&Avvisi sul segno (%1)").arg(warnings));
    warningsButton_->setToolTip(QStringLiteral("Saldi di un segno la cui riga non è correlata, a qualunque data importata"));
    updateEnabled();
}

void StatementPanel::updateEnabled() {
    const bool ready = loaded_ != nullptr;
    printButton_->setEnabled(ready);
    exportButton_->setEnabled(ready);
    warningsButton_->setEnabled(ready && loaded_->preview.warningCount() > 0);
    dates_->setEnabled(ready && dates_->count() > 1);
}

QString StatementPanel::amountText(const std::string& code) const {
    if (!loaded_) return {};
    const int line = loaded_->preview.lineOf(code);
    return line < 0 || static_cast<std::size_t>(line) >= items_.size() ? QString() : items_[static_cast<std::size_t>(line)]->text(2);
}

bool StatementPanel::goTo(const mapping::Key& key) { return link_ && window_ && goToRow(*link_, *window_, key); }

QDialog* StatementPanel::openDrillDown(const std::string& code) {
    if (!loaded_) return nullptr;
    const int line = loaded_->preview.lineOf(code);
    if (line < 0) return nullptr;
    const auto& l = loaded_->preview.lines()[static_cast<std::size_t>(line)];
    const auto parts = loaded_->preview.drillDown(line);
    QTreeWidget* list = nullptr;
    const QString what = code.empty() ? qs(l.description) : lineCode(*loaded_, l) + " " + qs(l.description);
    QDialog* dialog = listDialog(window_, QStringLiteral("statementDrillDown"), QStringLiteral("Conti di %1").arg(what),
                                 QStringLiteral("%1 al %2: %3 conti, importo %4. Doppio clic su un conto per andare alla "
                                                "sua riga nell'elenco.")
                                     .arg(what, qs(statement::italianDate(loaded_->preview.date())))
                                     .arg(parts.size())
                                     .arg(amount(l.total)),
                                 list,
                                 {QStringLiteral("Conto"), QStringLiteral("Descrizione"), QStringLiteral("Segno"),
                                  QStringLiteral("Importo"), QStringLiteral("Conto riclassificato")});
    for (const auto& p : parts) {
        auto* item = new QTreeWidgetItem(list, {qs(loaded_->shownAccount(p.account)), qs(loaded_->accountDescription(p.account)),
                                                QString::fromUtf8(mapping::signName(p.sign)), amount(p.amount),
                                                qs(p.target.empty() ? std::string() : loaded_->shownTarget(p.target))});
        item->setData(0, Qt::UserRole, qs(p.account));
        item->setData(2, Qt::UserRole, p.sign);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        goTo({ss(item->data(0, Qt::UserRole).toString()), item->data(2, Qt::UserRole).toInt()});
    });
    prompts_.show(*dialog);
    return dialog;
}

QDialog* StatementPanel::openWarnings() {
    if (!loaded_) return nullptr;
    const auto warnings = loaded_->preview.warnings();
    QTreeWidget* list = nullptr;
    QDialog* dialog = listDialog(
        window_, QStringLiteral("statementWarningsList"), QStringLiteral("Avvisi sul segno"),
        QStringLiteral("%1 saldi hanno un segno la cui riga non è correlata: alla data indicata l'importo va in "
                       "\"Non correlato\". Doppio clic per andare alla riga nell'elenco.")
            .arg(warnings.size()),
        list,
        {QStringLiteral("Conto"), QStringLiteral("Descrizione"), QStringLiteral("Data"), QStringLiteral("Segno"),
         QStringLiteral("Importo")});
    for (const auto& w : warnings) {
        auto* item = new QTreeWidgetItem(list, {qs(loaded_->shownAccount(w.account)), qs(loaded_->accountDescription(w.account)),
                                                qs(statement::italianDate(w.date)), QString::fromUtf8(mapping::signName(w.sign)),
                                                amount(w.amount)});
        item->setData(0, Qt::UserRole, qs(w.account));
        item->setData(3, Qt::UserRole, w.sign);
        item->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
    }
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        goTo({ss(item->data(0, Qt::UserRole).toString()), item->data(3, Qt::UserRole).toInt()});
    });
    prompts_.show(*dialog);
    return dialog;
}

bool StatementPanel::print() {
    if (!loaded_) return false;
    const auto warnings = loaded_->preview.warnings();
    if (!warnings.empty()) {
        QString text = QStringLiteral("%1 saldi hanno un segno la cui riga non è correlata:\n").arg(warnings.size());
        for (std::size_t i = 0; i < warnings.size() && i < kWarningsShownBeforePrint; ++i)
            text += QStringLiteral("\n• ") + qs(statement::describeWarning(*loaded_, warnings[i]));
        if (warnings.size() > kWarningsShownBeforePrint)
            text += QStringLiteral("\n… e altri %1.").arg(warnings.size() - kWarningsShownBeforePrint);
        text += QStringLiteral("\n\nStampare comunque l'anteprima?");
        if (!prompts_.confirmPrint(window_, text)) return false;
    }
    prompts_.print(window_, qs(statement::previewTitle(*loaded_)),
                   qs(statement::previewHtml(*loaded_, report::currentTimeText())));
    return true;
}

QString StatementPanel::exportTo() {
    if (!loaded_ || !window_) return {};
    const auto& s = loaded_->scope;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    const QString name = QStringLiteral("Anteprima bilancio %1 %2-%3 %4.xlsx")
                             .arg(QString::fromUtf8(mapping::kindName(s.kind)), qs(s.ledgerCode()), qs(s.reclChart),
                                  qs(loaded_->preview.date()));
    QString file = prompts_.chooseExportFile(window_, QDir(folder).filePath(name.trimmed()));
    if (file.isEmpty()) return {};
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".xlsx");
    try {
        BusyCursor busy;
        statement::writePreviewXlsx(*loaded_, ss(file));
    } catch (const std::exception& e) {
        prompts_.warn(window_, QStringLiteral("Esporta anteprima bilancio"),
                      QStringLiteral("Anteprima non esportata: %1").arg(qs(e.what())));
        return {};
    }
    window_->statusBar()->showMessage(QStringLiteral("Anteprima scritta in \"%1\"").arg(QDir::toNativeSeparators(file)), 8000);
    return file;
}

}  // namespace gui
