#include "gui/UnmappedRows.h"

#include <QAction>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "gui/EditorGrid.h"
#include "gui/ControlViews.h"
#include "gui/CorrelationRows.h"
#include "gui/FormWindow.h"
#include "gui/QueryGridModel.h"
#include "gui/Shortcuts.h"
#include "gui/Support.h"

namespace gui {

namespace {

QAction* command(FormWindow& window, const QString& text, const char* name, const char* keys, const QString& tip) {
    auto* a = new QAction(text, &window);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(QKeySequence(QString::fromLatin1(keys)));
    a->setShortcutContext(Qt::WindowShortcut);
    a->setToolTip(QStringLiteral("%1 (%2)").arg(tip, QKeySequence(QString::fromLatin1(keys)).toString(QKeySequence::NativeText)));
    window.addAction(a);
    return a;
}

}  // namespace

UnmappedRows::UnmappedRows(FormWindow& window)
    : QObject(&window), window_(&window), grid_(editorGrid(window)) {
    filter_ = command(window, QStringLiteral("&Solo non correlati"), "unmappedOnly", shortcuts::kUnmappedOnly,
                      QStringLiteral("Mostra solo le righe senza conto riclassificato"));
    filter_->setCheckable(true);
    next_ = command(window, QStringLiteral("&Prossimo non correlato"), "nextUnmapped", shortcuts::kNextUnmapped,
                    QStringLiteral("Va alla prossima riga senza conto riclassificato"));
    previous_ = command(window, QStringLiteral("P&recedente non correlato"), "previousUnmapped",
                        shortcuts::kPreviousUnmapped, QStringLiteral("Va alla riga precedente senza conto riclassificato"));
    connect(filter_, &QAction::toggled, this, &UnmappedRows::setFilter);
    connect(next_, &QAction::triggered, this, [this] { jump(1); });
    connect(previous_, &QAction::triggered, this, [this] { jump(-1); });

    QMenu* rows = window.menu(QStringLiteral("&Righe"));
    rows->addAction(filter_);
    rows->addSeparator();
    rows->addAction(next_);
    rows->addAction(previous_);
    QToolBar* bar = window.toolBar();
    bar->addSeparator();
    bar->addAction(filter_);
    bar->addAction(next_);
    window.updateChrome();

    if (grid_) connect(grid_->model(), &QAbstractItemModel::modelReset, this, &UnmappedRows::updateEnabled);
    connect(&window, &FormWindow::formClosed, this, &UnmappedRows::updateEnabled);
    updateEnabled();
}

void UnmappedRows::updateEnabled() {
    const bool loaded = editorRowsLoaded(window_, grid_);
    for (QAction* a : {filter_, next_, previous_}) a->setEnabled(loaded);
}

void UnmappedRows::notice(const QString& text) const {
    if (window_) window_->statusBar()->showMessage(text, 5000);
}

void UnmappedRows::setFilter(bool on) {
    if (filter_->isChecked() != on) {
        filter_->setChecked(on);   // toggled comes back here
        return;
    }
    if (!grid_) return;
    QueryGridModel* model = grid_->model();
    if (!on) {
        model->setRowFilter({});
        return;
    }
    const kit::QueryGrid* grid = &model->grid();
    // The columns are defined once, when the window first opens, before any list is loaded.
    model->setRowFilter([grid, columns = CorrelationColumns(*grid)](long row) {
        return columns.complete() && isUnmapped(*grid, columns, row);
    });
    if (nextUnmapped(*grid, -1, 1) < 0) notice(QStringLiteral("Tutte le righe hanno un conto riclassificato."));
}

bool UnmappedRows::jump(int direction) {
    if (!grid_ || !window_ || !window_->form()) return false;
    const kit::QueryGrid& grid = grid_->model()->grid();
    const long target = nextUnmapped(grid, grid.currentRow(), direction);
    if (target < 0) {
        notice(QStringLiteral("Tutte le righe hanno un conto riclassificato."));
        return false;
    }
    return grid_->moveToRow(target);
}

}  // namespace gui
