#pragma once
// The settings window of the shell: connection string, company code, level count of the
// ledger chart and whether the editor opens modal. The connection is tried before the values
// are taken (and with "Prova connessione"); a folder without its SQLite database is refused
// unless the user asks to create an empty one there.

#include <QDialog>

#include "standalone/Settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace gui {

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(const standalone::Settings& settings, QWidget* parent = nullptr);
    // The values as edited.
    standalone::Settings settings() const;
    QLineEdit* connectionEdit() const { return connection_; }
    QSpinBox* companyBox() const { return company_; }
    QSpinBox* levelsBox() const { return levels_; }
    // The reason the values cannot be saved ("" when they can).
    QString problem() const;
    // Opens the connection as given and closes it again: "" when it opened. A SQLite folder
    // without the database file offers to create it there (a question the user answers).
    QString checkConnection();
    QPushButton* testButton() const { return test_; }
    // The line under the fields: the last problem, or the outcome of the last check.
    QString status() const;

private:
    void tryAccept();
    void testConnection();
    void showStatus(const QString& text, bool good);
    standalone::Settings base_;
    QLineEdit* connection_;
    QSpinBox* company_;
    QSpinBox* levels_;
    QCheckBox* modal_;
    QLabel* error_;
    QPushButton* test_;
};

}  // namespace gui
