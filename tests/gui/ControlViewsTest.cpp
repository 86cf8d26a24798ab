// The views over the control models: they follow property changes, and the user's typing,
// keys and focus moves reach the form, which may refuse a move.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "GuiTestSupport.h"
#include "gui/FormWindow.h"
#include "gui/QtWindowSystem.h"
#include "kit/Kit.h"

using namespace gui;

namespace {

struct ViewsTest : ::testing::Test {
    QtWindowSystem ws;
    kit::ScriptedLookupPresenter lookups;
    kit::Form form{"FRM_TEST", &ws};
    std::shared_ptr<kit::CodeEditBox> pdc = form.create<kit::CodeEditBox>("TXT_CODICE_PDC");
    std::shared_ptr<kit::CodeEditBox> ricl = form.create<kit::CodeEditBox>("TXT_CODICE_RICL");
    std::shared_ptr<kit::CoinAccountBox> coin = form.create<kit::CoinAccountBox>("TXT_CONTOCOIN");
    std::shared_ptr<kit::MenuButton> button = form.create<kit::MenuButton>("BUT_NUOVACORR");
    std::unique_ptr<FormWindow> window;

    void SetUp() override {
        ws.setLookupPresenter(&lookups);
        pdc->move(150, 150, 1500, 300);
        ricl->move(150, 600, 1500, 300);
        coin->move(150, 1050, 1500, 300);
        button->move(1800, 150, 1200, 375);
        button->setCaption("Nuova");
    }
    FormWindow& show() {
        window = std::make_unique<FormWindow>(form);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }
    QLineEdit* edit(const std::string& name) { return window->viewAs<TextBoxView>(name)->lineEdit(); }
};

TEST_F(ViewsTest, WidgetsRenderTheModelAndFollowItsChanges) {
    auto label = form.create<kit::CaptionLabel>("LBL_CODPDC");
    label->setText("Piano dei conti");
    auto combo = form.create<kit::ListCombo>("CBO_SEGNO");
    combo->AddItem("Dare", 1);
    auto frame = form.create<kit::GroupFrame>("Frame1");
    frame->move(0, 1500, 4500, 1500);
    auto inner = form.create<kit::CodeEditBox>("TXT_INNER");
    inner->move(150, 300, 1500, 300);
    frame->add(*inner);
    form.setCaption("Correlazione");
    show();

    EXPECT_EQ(window->windowTitle(), "Correlazione");
    // Twips to pixels: 15 twips a pixel.
    EXPECT_EQ(window->widgetOf("TXT_CODICE_PDC")->geometry(), QRect(10, 10, 100, 20));
    EXPECT_EQ(qobject_cast<QLabel*>(window->widgetOf("LBL_CODPDC"))->text(), "Piano dei conti");
    // The Qt text underlines the button's Alt letter; the kit caption stays the module's.
    EXPECT_EQ(qobject_cast<QPushButton*>(window->widgetOf("BUT_NUOVACORR"))->text(), "&Nuova");
    EXPECT_EQ(form.get("BUT_NUOVACORR").Caption(), "Nuova");
    EXPECT_EQ(window->widgetOf("TXT_INNER")->parentWidget(), window->widgetOf("Frame1"));

    pdc->setText("80");
    pdc->setEnabled(false);
    ricl->setVisible(false);
    ricl->setTabStop(false);
    coin->setTop(1500);
    label->setText("Codice");
    combo->AddItem("Avere", 2);
    combo->setValue(2);
    frame->setVisible(false);
    form.setCaption("Altro titolo");

    EXPECT_EQ(edit("TXT_CODICE_PDC")->text(), "80");
    EXPECT_FALSE(window->widgetOf("TXT_CODICE_PDC")->isEnabled());
    EXPECT_TRUE(window->widgetOf("TXT_CODICE_RICL")->isHidden());
    EXPECT_EQ(edit("TXT_CODICE_RICL")->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(window->widgetOf("TXT_CONTOCOIN")->y(), 100);
    EXPECT_EQ(qobject_cast<QLabel*>(window->widgetOf("LBL_CODPDC"))->text(), "Codice");
    auto* box = qobject_cast<QComboBox*>(window->widgetOf("CBO_SEGNO"));
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->currentText(), "Avere");
    // A control in a hidden frame is hidden with it, though its own Visible stays true.
    EXPECT_FALSE(window->widgetOf("TXT_INNER")->isVisible());
    EXPECT_EQ(window->windowTitle(), "Altro titolo");
}

TEST_F(ViewsTest, TheCheckMarkPictureIsDrawnWithoutAFile) {
    auto check = form.create<kit::ImageBox>("IMG_CHECK");
    check->move(3300, 150, 300, 300);
    check->setPicture(kit::ImageBox::kCheckMark);
    auto none = form.create<kit::ImageBox>("IMG_NONE");
    none->move(3300, 600, 300, 300);
    show();
    auto* label = qobject_cast<QLabel*>(window->view("IMG_CHECK")->widget());
    ASSERT_NE(label, nullptr);
    const QImage image = label->pixmap().toImage();
    ASSERT_FALSE(image.isNull());
    int green = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 128 && c.green() > c.red() + 40) ++green;
        }
    EXPECT_GT(green, 10);
    EXPECT_TRUE(qobject_cast<QLabel*>(window->view("IMG_NONE")->widget())->pixmap().isNull());
}

TEST_F(ViewsTest, TypingGoesToTheModelAndTabMovesTheFormsFocus) {
    show();
    ASSERT_TRUE(form.setFocus(*pdc));
    EXPECT_TRUE(edit("TXT_CODICE_PDC")->hasFocus());

    QTest::keyClicks(edit("TXT_CODICE_PDC"), "80");
    EXPECT_EQ(pdc->Text(), "80");
    QTest::keyClick(edit("TXT_CODICE_PDC"), Qt::Key_Tab);
    EXPECT_EQ(form.focused(), ricl.get());
    EXPECT_TRUE(edit("TXT_CODICE_RICL")->hasFocus());

    QTest::keyClick(edit("TXT_CODICE_RICL"), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(form.focused(), pdc.get());
    EXPECT_TRUE(edit("TXT_CODICE_PDC")->hasFocus());

    // The form's tab order, not Qt's: a control taken out of it is skipped.
    ricl->setTabStop(false);
    QTest::keyClick(edit("TXT_CODICE_PDC"), Qt::Key_Tab);
    EXPECT_EQ(form.focused(), coin.get());
    // A code write moves the focus too, and the Qt focus follows it.
    pdc->SetFocus();
    EXPECT_TRUE(edit("TXT_CODICE_PDC")->hasFocus());
}

TEST_F(ViewsTest, AValidateThatCancelsKeepsTheCursorInTheBox) {
    int validations = 0;
    pdc->Validate.connect([&](bool& cancel) {
        ++validations;
        cancel = pdc->Text() != "80";
    });
    show();
    ASSERT_TRUE(form.setFocus(*pdc));
    QTest::keyClicks(edit("TXT_CODICE_PDC"), "99");
    QTest::keyClick(edit("TXT_CODICE_PDC"), Qt::Key_Tab);
    EXPECT_EQ(form.focused(), pdc.get());
    EXPECT_TRUE(edit("TXT_CODICE_PDC")->hasFocus());

    // A click in another box is refused the same way.
    QTest::mouseClick(edit("TXT_CODICE_RICL"), Qt::LeftButton);
    EXPECT_EQ(form.focused(), pdc.get());
    EXPECT_TRUE(edit("TXT_CODICE_PDC")->hasFocus());
    // So is a button: its click does not happen while the box refuses to let go.
    int clicks = 0;
    button->ButtonClick.connect([&] { ++clicks; });
    QTest::mouseClick(qobject_cast<QPushButton*>(window->widgetOf("BUT_NUOVACORR")), Qt::LeftButton);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(form.focused(), pdc.get());

    edit("TXT_CODICE_PDC")->clear();
    QTest::keyClicks(edit("TXT_CODICE_PDC"), "80");
    QTest::mouseClick(edit("TXT_CODICE_RICL"), Qt::LeftButton);
    EXPECT_EQ(form.focused(), ricl.get());
    EXPECT_TRUE(edit("TXT_CODICE_RICL")->hasFocus());
    EXPECT_GE(validations, 4);
}

TEST_F(ViewsTest, NavigationAndLookupKeysReachTheFocusedControl) {
    std::vector<std::pair<int, int>> keys;
    coin->KeyDown.connect([&](int k, int s) { keys.emplace_back(k, s); });
    int lookups = 0;
    pdc->StartLookup.connect([&](bool& cancel, std::string&, kit::LookupFields&, std::string&, std::string&) {
        ++lookups;
        cancel = true;
    });
    show();
    ASSERT_TRUE(form.setFocus(*coin));
    QTest::keyClick(edit("TXT_CONTOCOIN"), Qt::Key_Down);
    QTest::keyClick(edit("TXT_CONTOCOIN"), Qt::Key_PageUp);
    QTest::keyClick(edit("TXT_CONTOCOIN"), Qt::Key_Left);   // edits the text: not the form's
    EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{kit::keys::Down, 0}, {kit::keys::PageUp, 0}}));

    ASSERT_TRUE(form.setFocus(*pdc));
    QTest::keyClick(edit("TXT_CODICE_PDC"), Qt::Key_F4);
    QTest::keyClick(edit("TXT_CODICE_PDC"), Qt::Key_F9);
    EXPECT_EQ(lookups, 2);
    EXPECT_TRUE(edit("TXT_CODICE_PDC")->toolTip().contains("F4"));
    EXPECT_FALSE(edit("TXT_CODICE_PDC")->toolTip().contains("Campo obbligatorio"));
    pdc->setMandatory(true);   // marked, but it still lets the focus go when empty
    EXPECT_TRUE(edit("TXT_CODICE_PDC")->toolTip().contains("Campo obbligatorio"));
}

TEST_F(ViewsTest, TheKeyButtonMenuOffersTheBoxEntriesAndPressesThem) {
    ricl->AddMenuEntry(1, "Codici bilancio correlati");
    std::vector<std::string> pressed;
    ricl->KeyButtonMenuPress.connect([&](const std::string& k) { pressed.push_back(k); });
    show();
    auto* view = window->viewAs<TextBoxView>("TXT_CODICE_RICL");
    ASSERT_NE(view->menuButton(), nullptr);
    std::vector<std::string> keys, captions;
    for (const auto& e : view->menuEntries()) {
        keys.push_back(e.key);
        captions.push_back(e.caption);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"Kgestione", "Kpers1"}));
    EXPECT_EQ(captions.back(), "Codici bilancio correlati");
    view->pressMenuKey("Kpers1");
    EXPECT_EQ(pressed, (std::vector<std::string>{"Kpers1"}));
    EXPECT_EQ(window->viewAs<TextBoxView>("TXT_CONTOCOIN")->menuEntries().front().key, "Kgestione");
}

TEST_F(ViewsTest, ClosingTheWindowAsksTheForm) {
    bool refuse = true;
    form.QueryUnload.connect([&](bool& cancel, int) { cancel = refuse; });
    form.show(false);
    FormWindow* w = ws.windowOf(form);
    ASSERT_NE(w, nullptr);
    w->close();
    EXPECT_TRUE(form.isOpen());
    EXPECT_TRUE(w->isVisible());
    refuse = false;
    w->close();
    EXPECT_FALSE(form.isOpen());
    EXPECT_EQ(ws.windowOf(form), nullptr);
}

}  // namespace
