#pragma once
// What the desktop adds to the window of the interim-balance correlation by CEE scheme: the
// charts it works on (the calling editor's company chart and reclassification chart, with
// their descriptions) in its status bar, and after "Elabora" how many correlations the run
// wrote: in that window when it stays open, in the editor's status bar when it closed.
//
// The count is the host's own: it reads the correlations of the two charts before and after
// the run on a connection of its own and counts the rows that are new or got another
// account; the module's statements and messages are not touched.

#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <optional>
#include <string>

class QLabel;

namespace gui {

class FormWindow;

class CeeRunInfo : public QObject {
    Q_OBJECT
public:
    // `cee` is the CEE window, `editor` the correlation editor it was opened from.
    CeeRunInfo(FormWindow& cee, FormWindow* editor, std::string connectionString);
    ~CeeRunInfo() override;

    // "Piano dei conti 10 – …" and "Bilanci infrannuali 103 – …" on two lines, and the
    // report of a run that left the window open on a third.
    QString chartsText() const;
    // What the last run wrote, as shown ("" before a run).
    const QString& report() const { return report_; }

private:
    using Correlations = std::map<std::string, std::string>;   // "account|sign" -> account
    std::optional<Correlations> readCorrelations() const;
    void afterRun();

    QPointer<FormWindow> cee_;
    QPointer<FormWindow> editor_;
    std::string connectionString_;
    int ledgerChart_ = -1, reclChart_ = -1;
    QLabel* charts_;
    std::optional<Correlations> before_;
    QString report_;
};

}  // namespace gui
