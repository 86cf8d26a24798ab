#pragma once
// The two small questions of the bulk fills: where to copy correlations from ("Copia da un
// altro piano…") and which account to give the rows selected in the grid ("Assegna un
// conto…", typed or chosen with F4 from the reclassification chart's accounts).

#include <QDialog>
#include <QStringList>
#include <optional>
#include <string>

#include "mapping/BulkFill.h"
#include "mapping/ChartData.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace gui {

struct CopyChoice {
    mapping::CopySource source;
    bool overwrite = false;
};

class CopySourceDialog : public QDialog {
    Q_OBJECT
public:
    // `databases`: the intercompany databases the user may copy from.
    CopySourceDialog(mapping::CorrelationKind kind, const QStringList& databases, QWidget* parent = nullptr);
    // What the user chose (nothing until a code or database is given).
    std::optional<CopyChoice> choice() const;

    QRadioButton* fromButton(mapping::CopySource::From from) const;
    QLineEdit* codeBox() const { return code_; }
    QComboBox* databaseBox() const { return database_; }
    QCheckBox* overwriteBox() const { return overwrite_; }
    QPushButton* okButton() const { return ok_; }

private:
    void update();
    QRadioButton* ledger_;
    QRadioButton* recl_;
    QRadioButton* databaseButton_;
    QLineEdit* code_;
    QComboBox* database_;
    QCheckBox* overwrite_;
    QPushButton* ok_;
};

class AssignAccountDialog : public QDialog {
    Q_OBJECT
public:
    // `rows`: how many rows get the account; `data` offers the chart's accounts.
    AssignAccountDialog(long rows, const mapping::ChartData& data, QWidget* parent = nullptr);
    std::string account() const;
    QLineEdit* accountBox() const { return account_; }
    QLabel* descriptionLabel() const { return description_; }
    // F4: the chart's accounts in the lookup window; true when one was chosen.
    bool lookup();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void describe();
    const mapping::ChartData& data_;
    QLineEdit* account_;
    QLabel* description_;
    QPushButton* ok_;
};

}  // namespace gui
