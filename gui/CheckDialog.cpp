#include "gui/CheckDialog.h"

#include <array>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/Progress.h"
#include "gui/Support.h"

namespace gui {

namespace {

constexpr int kKeyRole = Qt::UserRole + 1;   // group index, -1 on a group item

// A finding about both signs of an account has sign 0.
QString signText(int sign) { return sign == 0 ? QStringLiteral("Dare e Avere") : QString::fromUtf8(mapping::signName(sign)); }

QString number(std::size_t n) { return QLocale(QLocale::Italian).toString(static_cast<qulonglong>(n)); }

}  // namespace

CheckDialog::CheckDialog(const QString& scopeText, Run run, GoTo goTo, QWidget* parent)
    : QDialog(parent), run_(std::move(run)), goTo_(std::move(goTo)) {
    setObjectName(QStringLiteral("checkDialog"));
    setWindowTitle(QStringLiteral("Verifica correlazioni"));
    auto* layout = new QVBoxLayout(this);
    auto* scope = new QLabel(scopeText, this);
    scope->setWordWrap(true);
    layout->addWidget(scope);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setWordWrap(true);
    layout->addWidget(summary_);

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("findings"));
    tree_->setHeaderLabels({QStringLiteral("Conto"), QStringLiteral("Descrizione"), QStringLiteral("Segno"),
                            QStringLiteral("Conto riclassificato"), QStringLiteral("Dettaglio")});
    tree_->setUniformRowHeights(true);
    tree_->setAlternatingRowColors(true);
    tree_->header()->setStretchLastSection(true);
    for (int c = 0; c < 4; ++c) tree_->setColumnWidth(c, std::array{150, 260, 100, 150}[static_cast<std::size_t>(c)]);
    layout->addWidget(tree_, 1);
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { activate(item); });

    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("notice"));
    layout->addWidget(notice_);

    auto* buttons = new QDialogButtonBox(this);
    auto* go = buttons->addButton(QStringLiteral("&Vai alla riga"), QDialogButtonBox::ActionRole);
    go->setObjectName(QStringLiteral("goTo"));
    go->setAutoDefault(false);
    auto* again = buttons->addButton(QStringLiteral("A&ggiorna"), QDialogButtonBox::ActionRole);
    again->setObjectName(QStringLiteral("refresh"));
    again->setAutoDefault(false);
    auto* close = buttons->addButton(QStringLiteral("&Chiudi"), QDialogButtonBox::RejectRole);
    close->setAutoDefault(false);
    connect(go, &QPushButton::clicked, this, [this] { activate(tree_->currentItem()); });
    connect(again, &QPushButton::clicked, this, [this] { refresh(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(940, 560);
    refresh();
}

bool CheckDialog::refresh() {
    tree_->clear();
    groups_.clear();
    notice_->clear();
    try {
        BusyCursor busy;
        groups_ = run_();
    } catch (const std::exception& e) {
        summary_->setText(QStringLiteral("Verifica non eseguita: %1").arg(qs(e.what())));
        return false;
    }
    std::size_t problems = 0, information = 0;
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const QIcon info = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        const CheckGroup& group = groups_[g];
        (group.information ? information : problems) += group.rows.size();
        auto* item = new QTreeWidgetItem(tree_);
        QString title = QStringLiteral("%1 (%2)").arg(group.title, number(group.rows.size()));
        if (group.information && !group.title.contains(QStringLiteral("informazione")))
            title += QStringLiteral(" — informazione, non un errore");
        item->setText(0, title);
        item->setData(0, kKeyRole, -1);
        item->setFirstColumnSpanned(true);
        item->setIcon(0, group.rows.empty() ? QIcon() : group.information ? info : warning);
        QFont font = item->font(0);
        font.setBold(!group.rows.empty() && !group.information);
        font.setItalic(group.information);
        item->setFont(0, font);
        if (group.rows.empty()) item->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
        for (std::size_t r = 0; r < group.rows.size(); ++r) {
            const CheckRow& row = group.rows[r];
            auto* child = new QTreeWidgetItem(item, {row.account, row.description,
                                                     signText(row.key.sign), row.target,
                                                     row.detail});
            child->setData(0, kKeyRole, static_cast<int>(g));
            child->setData(1, kKeyRole, static_cast<int>(r));
        }
        item->setExpanded(!group.rows.empty());
    }
    summary_->setText(problems == 0
                          ? QStringLiteral("Nessun problema trovato.")
                          : QStringLiteral("Righe da rivedere: %1. Doppio clic o Invio su una riga per andarci.")
                                .arg(number(problems)));
    if (information > 0)
        summary_->setText(summary_->text() + QStringLiteral(" Informazioni: %1.").arg(number(information)));
    if (auto* first = tree_->topLevelItem(0)) tree_->setCurrentItem(first);
    return true;
}

QTreeWidgetItem* CheckDialog::rowItem(int group, int row) const {
    QTreeWidgetItem* g = tree_->topLevelItem(group);
    return g && row >= 0 && row < g->childCount() ? g->child(row) : nullptr;
}

bool CheckDialog::activate(QTreeWidgetItem* item) {
    if (!item) return false;
    const int g = item->data(0, kKeyRole).toInt();
    if (g < 0 || g >= static_cast<int>(groups_.size())) return false;
    const int r = item->data(1, kKeyRole).toInt();
    const auto& rows = groups_[static_cast<std::size_t>(g)].rows;
    if (r < 0 || r >= static_cast<int>(rows.size())) return false;
    const CheckRow& row = rows[static_cast<std::size_t>(r)];
    const bool moved = goTo_(row.key);
    notice_->setText(moved ? QString()
                           : QStringLiteral("La riga del conto %1 (%2) non è stata raggiunta: il conto non è "
                                            "nell'elenco o la riga corrente va prima confermata.")
                                 .arg(row.account, QString::fromUtf8(mapping::signName(row.key.sign))));
    return moved;
}

}  // namespace gui
