// Message boxes and the error report: which buttons a request shows and what each answers.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "gui/QtDialogs.h"

using namespace gui;

namespace {

std::vector<int> answersOf(const BoxPlan& p) {
    std::vector<int> a;
    for (auto b : p.buttons) a.push_back(b.answer);
    return a;
}

TEST(MessagePlan, ModuleMessageTypesAndHostStyles) {
    host::MessageBoxRequest question{"Il conto riclassificato non è dello stesso tipo", "Brevanto", 4, 256, "", 113};
    BoxPlan q = planMessage(question);
    EXPECT_EQ(q.icon, QMessageBox::Question);
    EXPECT_EQ(answersOf(q), (std::vector<int>{1, 0}));
    EXPECT_EQ(q.defaultIndex, 1);   // 256: the second button (No)
    EXPECT_EQ(q.escapeAnswer, 0);
    question.defaultButton = 0;
    EXPECT_EQ(planMessage(question).defaultIndex, 0);

    EXPECT_EQ(planMessage({"Conto non trovato!", "", 3, 0, "", 117}).icon, QMessageBox::Critical);
    EXPECT_EQ(planMessage({"Conto non economico.", "", 2, 0, "", 109}).icon, QMessageBox::Warning);
    EXPECT_EQ(answersOf(planMessage({"Conto non economico.", "", 2, 0, "", 109})), (std::vector<int>{1}));

    // Without a code the type is the host's style: buttons, icon and default button bits.
    BoxPlan plain = planMessage({"Classe Log non settata", "Attenzione", 0, 0, "", 0});
    EXPECT_EQ(answersOf(plain), (std::vector<int>{1}));
    BoxPlan yesNo = planMessage({"Continuare?", "", 4 + 32 + 256, 0, "", 0});
    EXPECT_EQ(yesNo.icon, QMessageBox::Question);
    EXPECT_EQ(answersOf(yesNo), (std::vector<int>{1, 0}));
    EXPECT_EQ(yesNo.defaultIndex, 1);
    BoxPlan ari = planMessage({"Errore", "", 2 + 16, 0, "", 0});
    EXPECT_EQ(answersOf(ari), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(ari.icon, QMessageBox::Critical);
    EXPECT_EQ(answersOf(planMessage({"?", "", 3, 0, "", 0})), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(planMessage({"?", "", 1, 0, "", 0}).escapeAnswer, 2);

    BoxPlan report = planErrorReport(4370);
    EXPECT_EQ(answersOf(report), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(report.buttons[report.defaultIndex].button, QMessageBox::Retry);
}

host::ErrorReportRequest failedSave() {
    host::ErrorReportRequest r;
    r.number = -2147217900;
    r.description = "UNIQUE constraint failed: CG83_COLLRICL.CG83_CONTO";
    r.procedure = "AggiornaCorrelazioniCG83_PC07_CGH0";
    r.title = "Brevanto";
    r.caption = "Correlazione PdC contabile - riclassificazione";
    r.databaseErrors = {{"UNIQUE constraint failed: CG83_COLLRICL.CG83_CONTO", 19, "HY000", "SQLite"},
                        {"second error", 7, "42000", "SQLite"}};
    return r;
}

QMessageBox* box(QWidget* w) { return qobject_cast<QMessageBox*>(w); }

TEST(ErrorReportDialog, AbortRetryIgnoreAnswerThreeFourFive) {
    QtDialogs dialogs;
    const std::pair<QMessageBox::StandardButton, int> cases[] = {
        {QMessageBox::Abort, 3}, {QMessageBox::Retry, 4}, {QMessageBox::Ignore, 5}};
    for (auto [button, answer] : cases) {
        QString text, detail;
        bool retryIsDefault = false;
        guitest::whenModal([&, button = button](QWidget* w) {
            ASSERT_NE(box(w), nullptr);
            text = box(w)->text();
            detail = box(w)->informativeText();
            retryIsDefault = box(w)->defaultButton() == box(w)->button(QMessageBox::Retry);
            box(w)->button(button)->click();
        });
        EXPECT_EQ(dialogs.errorReport(failedSave()), answer);
        EXPECT_TRUE(text.contains("-2147217900")) << text.toStdString();
        EXPECT_TRUE(text.contains("UNIQUE constraint failed"));
        EXPECT_TRUE(detail.contains("AggiornaCorrelazioniCG83_PC07_CGH0")) << detail.toStdString();
        EXPECT_TRUE(detail.contains("codice nativo 19, SQLSTATE HY000"));
        EXPECT_TRUE(detail.contains("codice nativo 7, SQLSTATE 42000"));
        EXPECT_TRUE(detail.contains("Correlazione PdC contabile"));
        EXPECT_TRUE(retryIsDefault);
    }
    // Escape leaves the procedure: abort.
    guitest::whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.errorReport(failedSave()), 3);
}

TEST(MessageDialog, AQuestionAnswersYesOneAndNoZero) {
    QtDialogs dialogs;
    host::MessageBoxRequest r{"Il conto riclassificato non è dello stesso tipo del conto da riclassificare.",
                              "Brevanto", 4, 256, "", 113};
    bool noIsDefault = false;
    guitest::whenModal([&](QWidget* w) {
        noIsDefault = box(w)->defaultButton() == box(w)->button(QMessageBox::No);
        box(w)->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(dialogs.message(r), 0);
    EXPECT_TRUE(noIsDefault);
    guitest::whenModal([](QWidget* w) { box(w)->button(QMessageBox::Yes)->click(); });
    EXPECT_EQ(dialogs.message(r), 1);
    // An information box closed with Escape still answers OK.
    guitest::whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.message({"Conto non trovato!", "Brevanto", 3, 0, "", 117}), 1);
}

}  // namespace
