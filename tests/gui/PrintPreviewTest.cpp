// Printing from the desktop: "Stampa" of a COGE editor whose header is typed opens Qt's print
// preview on the report's pages, with the action that saves a PDF; in COIN the button is
// disabled and its tool tip says why. The preview is also saved as an image for the README.

#include <gtest/gtest.h>

#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "../support/TestSupport.h"
#include "GuiTestSupport.h"
#include "ShellWithModule.h"
#include "gui/DesktopShell.h"
#include "gui/ReportPreview.h"
#include "gui/ShellSetup.h"

#ifdef BREVANTO_MODULE_FILE

using namespace gui;

namespace {

class PrintFromDesktop : public guitest::ShellWithModule {
protected:
    FormWindow* open(int kind) {
        QString error;
        EXPECT_TRUE(shell->openKind(kind, &error, true)) << error.toStdString();
        return shell->lastWindow();
    }
};

TEST_F(PrintFromDesktop, StampaOpensThePrintPreviewOfTheReport) {
    FormWindow* w = open(0);
    ASSERT_NE(w, nullptr);
    kit::Form& form = *w->form();
    for (auto [box, text] : {std::pair{"TXT_CODICE_PDC", "10"}, std::pair{"TXT_CODICE_RICL", "101"}}) {
        form.setFocus(form.get(box));
        form.get(box).enterText(text);
        form.keyDown(kit::keys::Tab);
    }
    auto* button = qobject_cast<QPushButton*>(w->widgetOf("BUT_STAMPA"));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled());

    QString title;
    int pages = 0;
    bool canSave = false;
    guitest::whenModal([&](QWidget* modal) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
        if (!preview) {
            modal->close();
            return;
        }
        title = preview->windowTitle();
        auto* pagesView = preview->findChild<QPrintPreviewWidget*>();
        if (pagesView) (void)QTest::qWaitFor([&] { return pagesView->pageCount() > 0; }, 5000);
        pages = pagesView ? pagesView->pageCount() : 0;
        for (QAction* a : preview->findChildren<QAction*>())
            canSave = canSave || a->objectName() == "savePdf";
        const auto shots = std::filesystem::path(BREVANTO_SCREENSHOT_DIR);
        std::filesystem::create_directories(shots);
        preview->grab().save(QString::fromStdString((shots / "print-preview.png").string()));
        preview->reject();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(title.toStdString(), "Anteprima di stampa - Correlazioni PdC contabile - riclassificazione di bilancio");
    EXPECT_GT(pages, 1);
    EXPECT_TRUE(canSave);
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join("\n").toStdString();
    w->close();
}

TEST_F(PrintFromDesktop, InAnalyticCorrelationStampaIsDisabledAndSaysWhy) {
    FormWindow* coin = open(1);
    ASSERT_NE(coin, nullptr);
    QWidget* button = coin->widgetOf("BUT_STAMPA");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(coin->form()->get("BUT_STAMPA").Enabled());
    EXPECT_EQ(button->toolTip().toStdString(), kNoPrintInAnalytic);
    coin->close();

    FormWindow* coge = open(0);
    ASSERT_NE(coge, nullptr);
    EXPECT_TRUE(coge->widgetOf("BUT_STAMPA")->isEnabled());
    EXPECT_EQ(coge->widgetOf("BUT_STAMPA")->toolTip().toStdString(), "Stampa l'elenco delle correlazioni (Alt+S)");
    coge->close();
}

}  // namespace

#endif
