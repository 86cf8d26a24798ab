#pragma once
// The settings window of the shell: connection string, company code, level count of the
// ledger chart and whether the editor opens modal.

#include <QDialog>

#include "standalone/Settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
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

private:
    void tryAccept();
    standalone::Settings base_;
    QLineEdit* connection_;
    QSpinBox* company_;
    QSpinBox* levels_;
    QCheckBox* modal_;
    QLabel* error_;
};

}  // namespace gui
