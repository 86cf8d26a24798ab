#include "gui/KeysPage.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMenuBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/Mnemonics.h"
#include "gui/Shortcuts.h"
#include "gui/Support.h"

namespace gui {

namespace {

void addRow(QTableWidget* table, const QString& keys, const QString& what) {
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, 0, new QTableWidgetItem(keys));
    table->setItem(row, 1, new QTableWidgetItem(what));
}

}  // namespace

KeysPage::KeysPage(QWidget* parent) : QDialog(parent), table_(new QTableWidget(0, 2, this)) {
    setObjectName(QStringLiteral("keysPage"));
    setWindowTitle(QStringLiteral("Tasti"));
    setAttribute(Qt::WA_DeleteOnClose);
    table_->setObjectName(QStringLiteral("keysTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Tasti"), QStringLiteral("Comando")});
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(true);
    for (const auto& e : shortcuts::editorShortcuts())
        addRow(table_, qs(shortcuts::shownKeys(e.keys)), QString::fromUtf8(e.what));
    // The letters of this window's buttons, as their tooltips name them.
    if (parent) {
        for (QAbstractButton* b : parent->findChildren<QAbstractButton*>()) {
            const QChar letter = b->property("mnemonic").toChar();
            if (letter.isNull() || !b->isVisible()) continue;
            addRow(table_, QStringLiteral("Alt+%1").arg(letter.toUpper()), withoutMnemonic(b->text()));
        }
    }
    table_->resizeColumnToContents(0);
    table_->resizeRowsToContents();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(640, 480);
}

KeysPage* showKeysPage(QWidget* window) {
    auto* page = window ? window->findChild<KeysPage*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!page) page = new KeysPage(window);
    page->show();
    page->raise();
    page->activateWindow();
    return page;
}

QAction* makeKeysAction(QWidget* window) {
    auto* action = new QAction(QStringLiteral("&Tasti…"), window);
    action->setObjectName(QStringLiteral("keysPageAction"));
    action->setShortcut(QKeySequence(QString::fromLatin1(shortcuts::kKeysPage)));
    action->setShortcutContext(Qt::WindowShortcut);
    action->setToolTip(QStringLiteral("Elenco dei tasti (%1)").arg(QString::fromLatin1(shortcuts::kKeysPage)));
    QObject::connect(action, &QAction::triggered, window, [window] { showKeysPage(window); });
    window->addAction(action);
    return action;
}

void addHelpMenu(QMenuBar* bar, QAction* keysAction) {
    QMenu* help = bar->addMenu(QStringLiteral("&?"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->setToolTip(QStringLiteral("Aiuto"));
    help->addAction(keysAction);
}

}  // namespace gui
