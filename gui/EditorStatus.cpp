#include "gui/EditorStatus.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include "gui/EditorGrid.h"
#include "gui/ControlViews.h"
#include "gui/CorrelationRows.h"
#include "gui/FormWindow.h"
#include "gui/QueryGridModel.h"
#include "gui/Support.h"

namespace gui {

EditorStatus::EditorStatus(FormWindow& window)
    : QObject(&window), window_(&window), grid_(editorGrid(window)),
      label_(new QLabel(&window)), timer_(new QTimer(this)) {
    label_->setObjectName(QStringLiteral("correlationCounts"));
    label_->setToolTip(QStringLiteral("Conti e righe dell'elenco; per segno, righe correlate su righe totali"));
    window.statusBar()->addPermanentWidget(label_);
    window.updateChrome();
    timer_->setSingleShot(true);
    // Holding Down moves through many rows, each may write a proposal into its row: count
    // once the keys rest.
    timer_->setInterval(60);
    connect(timer_, &QTimer::timeout, this, &EditorStatus::recount);
    if (grid_) {
        QueryGridModel* model = grid_->model();
        connect(model, &QAbstractItemModel::modelReset, this, &EditorStatus::schedule);
        connect(model, &QAbstractItemModel::dataChanged, this, &EditorStatus::schedule);
    }
    connect(&window, &FormWindow::formClosed, timer_, &QTimer::stop);
    recount();
}

QString EditorStatus::text() const { return label_->text(); }

void EditorStatus::schedule() { timer_->start(); }

void EditorStatus::recount() {
    timer_->stop();
    if (!window_ || !window_->form() || !grid_) return;
    const kit::QueryGrid& grid = grid_->model()->grid();
    // Before the header is confirmed the grid shows no list yet.
    label_->setText(grid.Recordset() && grid.Enabled() ? qs(describeCounts(countCorrelations(grid))) : QString());
}

}  // namespace gui
