#include "gui/SettingsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/Support.h"

namespace gui {

SettingsDialog::SettingsDialog(const standalone::Settings& settings, QWidget* parent)
    : QDialog(parent), base_(settings) {
    setObjectName("SettingsDialog");
    setWindowTitle(QStringLiteral("Impostazioni"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    connection_ = new QLineEdit(qs(settings.connectionString), this);
    connection_->setObjectName("connection");
    connection_->setMinimumWidth(420);
    connection_->setToolTip(QStringLiteral("Per esempio Provider=SQLite;database=BREVANTO;Data Source=/cartella"));
    company_ = new QSpinBox(this);
    company_->setObjectName("company");
    company_->setRange(0, 999999999);
    company_->setValue(settings.companyCode);
    levels_ = new QSpinBox(this);
    levels_->setObjectName("levels");
    levels_->setRange(1, 9);
    levels_->setValue(settings.ledgerLevels);
    modal_ = new QCheckBox(QStringLiteral("Apri le correlazioni in una finestra modale"), this);
    modal_->setObjectName("modal");
    modal_->setChecked(settings.modal);
    form->addRow(QStringLiteral("Stringa di connessione:"), connection_);
    form->addRow(QStringLiteral("Codice ditta:"), company_);
    form->addRow(QStringLiteral("Livelli del piano dei conti:"), levels_);
    form->addRow(QString(), modal_);
    layout->addLayout(form);
    error_ = new QLabel(this);
    error_->setObjectName("error");
    error_->setStyleSheet(QStringLiteral("color: #b00020;"));
    layout->addWidget(error_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("Salva"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::tryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(connection_, &QLineEdit::textChanged, this, [this] { error_->setText(problem()); });
}

standalone::Settings SettingsDialog::settings() const {
    standalone::Settings s = base_;
    s.connectionString = ss(connection_->text().trimmed());
    s.companyCode = company_->value();
    s.ledgerLevels = static_cast<std::int16_t>(levels_->value());
    s.modal = modal_->isChecked();
    return s;
}

QString SettingsDialog::problem() const {
    QString c = connection_->text().trimmed();
    if (c.isEmpty()) return QStringLiteral("Indicare la stringa di connessione.");
    if (!c.contains('=')) return QStringLiteral("La stringa di connessione è fatta di coppie chiave=valore separate da ';'.");
    return {};
}

void SettingsDialog::tryAccept() {
    QString p = problem();
    error_->setText(p);
    if (p.isEmpty()) accept();
}

}  // namespace gui
