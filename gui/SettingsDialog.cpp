#include "gui/SettingsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <filesystem>

#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "gui/Progress.h"
#include "gui/Support.h"
#include "hostdb/HostDatabase.h"
#include "hostdb/Schema.h"
#include "kit/ConnectionCache.h"

namespace gui {

namespace fs = std::filesystem;

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
    form->addRow(QStringLiteral("Livelli del PdC:"), levels_);
    form->addRow(QString(), modal_);
    layout->addLayout(form);
    error_ = new QLabel(this);
    error_->setObjectName("error");
    error_->setWordWrap(true);
    layout->addWidget(error_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("Salva"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    test_ = buttons->addButton(QStringLiteral("&Prova connessione"), QDialogButtonBox::ActionRole);
    test_->setObjectName("test");
    test_->setToolTip(QStringLiteral("Apre il database indicato e lo richiude, senza salvare"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::tryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(test_, &QPushButton::clicked, this, &SettingsDialog::testConnection);
    connect(connection_, &QLineEdit::textChanged, this, [this] { showStatus(problem(), false); });
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

QString SettingsDialog::status() const { return error_->text(); }

void SettingsDialog::showStatus(const QString& text, bool good) {
    error_->setStyleSheet(good ? QStringLiteral("color: #1b5e20;") : QStringLiteral("color: #b00020;"));
    error_->setText(text);
}

QString SettingsDialog::checkConnection() {
    if (QString p = problem(); !p.isEmpty()) return p;
    const std::string connection = ss(connection_->text().trimmed());
    std::error_code ec;
    // The demo database is made by the shell itself on first use.
    if (connection == standalone::demoConnectionString() && !fs::exists(standalone::demoDataFolder() / "BREVANTO.db", ec))
        return {};
    // Without a Provider the embedded engine is meant, as when the connection opens.
    const bool embedded = !db::ConnectionString(connection).get("Provider");
    const fs::path file = hostdb::sqliteFileOf(embedded ? "Provider=SQLite;" + connection : connection);
    if (!file.empty() && !fs::exists(file, ec)) {
        const QString folder = qs(file.parent_path().string());
        const QString name = qs(file.filename().string());
        const auto answer = QMessageBox::question(
            this, windowTitle(),
            QStringLiteral("La cartella %1 non contiene il database %2.\n\nCrearlo ora, vuoto (come fa brevanto-cli db init)?")
                .arg(folder, name),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return QStringLiteral("La cartella %1 non contiene il database %2.").arg(folder, name);
        try {
            BusyCursor busy;
            hostdb::createHostDatabase(file.parent_path(), file.stem().string())->Close();
        } catch (const std::exception& e) {
            return QStringLiteral("Impossibile creare il database %1: %2").arg(qs(file.string()), qs(kit::describeFailure(e)));
        }
        return {};
    }
    try {
        BusyCursor busy;
        auto c = db::Connection::create();
        c->Open(connection);
        c->Close();
    } catch (const std::exception& e) {
        return QStringLiteral("Connessione non riuscita: %1").arg(qs(kit::describeFailure(e)));
    }
    return {};
}

void SettingsDialog::testConnection() {
    const QString failure = checkConnection();
    showStatus(failure.isEmpty() ? QStringLiteral("Connessione riuscita.") : failure, failure.isEmpty());
}

void SettingsDialog::tryAccept() {
    const QString failure = checkConnection();
    showStatus(failure, false);
    if (failure.isEmpty()) accept();
}

}  // namespace gui
