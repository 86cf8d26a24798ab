#include "gui/BulkFillDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "db/Recordset.h"
#include "gui/LookupDialog.h"
#include "gui/Support.h"

namespace gui {

namespace {

QString otherLedgerCaption(mapping::CorrelationKind kind) {
    switch (kind) {
    case mapping::CorrelationKind::COIN: return QStringLiteral("Un altro piano &analitico (stessi codici dei conti)");
    case mapping::CorrelationKind::CONS: return QStringLiteral("Un'altra &struttura intercompany (stessi codici dei conti)");
    default: return QStringLiteral("Un altro piano dei &conti (stessi codici, ad esempio quello dell'anno scorso)");
    }
}

// "Anteprima…" (the question leads to the preview, never to a write) and "Annulla".
QPushButton* addPreviewButtons(QDialog& dialog, QVBoxLayout& layout) {
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("&Anteprima…"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok"));
    buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout.addWidget(buttons);
    return ok;
}

}  // namespace

// ---------------- CopySourceDialog ----------------

CopySourceDialog::CopySourceDialog(mapping::CorrelationKind kind, const QStringList& databases, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("copySource"));
    setWindowTitle(QStringLiteral("Copia da un altro piano"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Copiare le correlazioni da:"), this));
    ledger_ = new QRadioButton(otherLedgerCaption(kind), this);
    recl_ = new QRadioButton(QStringLiteral("Un altro piano di &riclassificazione (stessi conti riclassificati)"), this);
    databaseButton_ = new QRadioButton(QStringLiteral("Il &database di un'altra ditta (stessi piani)"), this);
    ledger_->setChecked(true);
    auto* group = new QButtonGroup(this);
    for (QRadioButton* b : {ledger_, recl_, databaseButton_}) {
        group->addButton(b);
        layout->addWidget(b);
        connect(b, &QRadioButton::toggled, this, &CopySourceDialog::update);
    }
    databaseButton_->setEnabled(!databases.isEmpty());
    if (databases.isEmpty()) databaseButton_->setToolTip(QStringLiteral("Nessun database intercompany definito"));

    auto* form = new QFormLayout;
    code_ = new QLineEdit(this);
    code_->setObjectName(QStringLiteral("code"));
    form->addRow(QStringLiteral("C&odice:"), code_);
    database_ = new QComboBox(this);
    database_->setObjectName(QStringLiteral("database"));
    database_->addItems(databases);
    form->addRow(QStringLiteral("Data&base:"), database_);
    layout->addLayout(form);
    overwrite_ = new QCheckBox(QStringLiteral("So&vrascrivi le correlazioni esistenti"), this);
    overwrite_->setObjectName(QStringLiteral("overwrite"));
    layout->addWidget(overwrite_);
    auto* hint = new QLabel(QStringLiteral("Prima di scrivere viene mostrata l'anteprima delle modifiche."), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    ok_ = addPreviewButtons(*this, *layout);
    connect(code_, &QLineEdit::textChanged, this, &CopySourceDialog::update);
    update();
}

QRadioButton* CopySourceDialog::fromButton(mapping::CopySource::From from) const {
    switch (from) {
    case mapping::CopySource::From::LedgerChart: return ledger_;
    case mapping::CopySource::From::ReclChart: return recl_;
    case mapping::CopySource::From::Database: return databaseButton_;
    }
    return ledger_;
}

void CopySourceDialog::update() {
    const bool database = databaseButton_->isChecked();
    code_->setEnabled(!database);
    database_->setEnabled(database);
    ok_->setEnabled(database ? database_->count() > 0 : !code_->text().trimmed().isEmpty());
}

std::optional<CopyChoice> CopySourceDialog::choice() const {
    CopyChoice c;
    c.overwrite = overwrite_->isChecked();
    if (databaseButton_->isChecked()) {
        c.source.from = mapping::CopySource::From::Database;
        c.source.code = ss(database_->currentText());
    } else {
        c.source.from = recl_->isChecked() ? mapping::CopySource::From::ReclChart : mapping::CopySource::From::LedgerChart;
        c.source.code = ss(code_->text().trimmed());
    }
    if (c.source.code.empty()) return std::nullopt;
    return c;
}

// ---------------- AssignAccountDialog ----------------

AssignAccountDialog::AssignAccountDialog(long rows, const mapping::ChartData& data, QWidget* parent)
    : QDialog(parent), data_(data) {
    setObjectName(QStringLiteral("assignAccount"));
    setWindowTitle(QStringLiteral("Assegna un conto alle righe selezionate"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(rows == 1 ? QStringLiteral("Conto riclassificato per 1 riga:")
                                           : QStringLiteral("Conto riclassificato per %1 righe:").arg(rows),
                                 this));
    auto* line = new QHBoxLayout;
    account_ = new QLineEdit(this);
    account_->setObjectName(QStringLiteral("account"));
    account_->setToolTip(QStringLiteral("F4: elenco dei conti del piano di riclassificazione"));
    account_->installEventFilter(this);
    line->addWidget(account_, 1);
    auto* find = new QToolButton(this);
    find->setText(QStringLiteral("…"));
    find->setToolTip(account_->toolTip());
    find->setFocusPolicy(Qt::NoFocus);
    connect(find, &QToolButton::clicked, this, &AssignAccountDialog::lookup);
    line->addWidget(find);
    layout->addLayout(line);
    description_ = new QLabel(this);
    description_->setObjectName(QStringLiteral("description"));
    layout->addWidget(description_);
    ok_ = addPreviewButtons(*this, *layout);
    connect(account_, &QLineEdit::textChanged, this, &AssignAccountDialog::describe);
    describe();
    resize(460, sizeHint().height());
}

std::string AssignAccountDialog::account() const { return ss(account_->text().trimmed()); }

void AssignAccountDialog::describe() {
    const std::string code = account();
    const mapping::ReclAccount* a = code.empty() ? nullptr : data_.reclAccount(code);
    description_->setText(code.empty() ? QString()
                          : a         ? qs(a->description) + (a->analytic ? QString() : QStringLiteral(" (non analitico)"))
                                      : QStringLiteral("Conto inesistente nel piano di riclassificazione."));
    ok_->setEnabled(!code.empty());
}

bool AssignAccountDialog::lookup() {
    std::vector<std::pair<std::string, const mapping::ReclAccount*>> accounts;
    for (const auto& [code, account] : data_.reclAccounts())
        if (account.analytic) accounts.emplace_back(code, &account);
    std::sort(accounts.begin(), accounts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    auto rs = db::Recordset::create();
    rs->fields().Append("PC03_CONTO", db::ado::adVarWChar, 15);
    rs->fields().Append("PC03_DESCR", db::ado::adVarWChar, 80, db::ado::adFldIsNullable);
    rs->Open();
    for (const auto& [code, account] : accounts) {
        rs->AddNew();
        rs->setValue("PC03_CONTO", code);
        rs->setValue("PC03_DESCR", account->description);
        rs->Update();
    }
    if (!accounts.empty()) rs->MoveFirst();
    kit::LookupRequest request{"Conti analitici del piano di riclassificazione",
                               {{"PC03_CONTO", "Conto", 1800}, {"PC03_DESCR", "Descrizione", 4500}},
                               rs,
                               account(),
                               ""};
    LookupDialog dialog(request, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.chosen()) return false;
    account_->setText(qs(rs->viewRow(*dialog.chosen()).front().toText()));
    return true;
}

bool AssignAccountDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == account_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_F4 || key == Qt::Key_F9) {
            lookup();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace gui
