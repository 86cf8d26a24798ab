// Focus, tab order, key handling, the window lifecycle and the small controls.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/Kit.h"

using namespace kit;

namespace {

struct Focus : ::testing::Test {
    Form form{"FRM"};
    std::shared_ptr<CodeEditBox> a = form.create<CodeEditBox>("A");
    std::shared_ptr<CodeEditBox> b = form.create<CodeEditBox>("B");
    std::shared_ptr<MenuButton> c = form.create<MenuButton>("C");
    std::shared_ptr<CaptionLabel> label = form.create<CaptionLabel>("L");
    std::vector<std::string> log;

    void SetUp() override {
        for (Control* ctl : std::vector<Control*>{a.get(), b.get(), c.get()}) {
            std::string n = ctl->name();
            ctl->GotFocus.connect([this, n] { log.push_back("got" + n); });
            ctl->Validate.connect([this, n](bool&) { log.push_back("validate" + n); });
            ctl->LostFocus.connect([this, n](bool&) { log.push_back("lost" + n); });
        }
    }
};

TEST_F(Focus, MovingTheFocusRaisesValidateLostFocusThenGotFocus) {
    EXPECT_TRUE(a->SetFocus());
    EXPECT_TRUE(b->SetFocus());
    EXPECT_EQ(form.focused(), b.get());
    EXPECT_EQ(log, (std::vector<std::string>{"gotA", "validateA", "lostA", "gotB"}));
    log.clear();
    EXPECT_TRUE(b->SetFocus());   // already there: nothing happens
    EXPECT_TRUE(log.empty());
}

TEST_F(Focus, ACancelInValidateOrLostFocusKeepsTheFocus) {
    a->SetFocus();
    int validateId = a->Validate.connect([](bool& cancel) { cancel = true; });
    EXPECT_FALSE(b->SetFocus());
    EXPECT_EQ(form.focused(), a.get());
    a->Validate.disconnect(validateId);
    a->LostFocus.connect([](bool& cancel) { cancel = true; });
    EXPECT_FALSE(form.tab());
    EXPECT_EQ(form.focused(), a.get());
    EXPECT_EQ(std::count(log.begin(), log.end(), "gotB"), 0);
}

TEST_F(Focus, AHandlerThatMovesTheFocusWhileLeavingWins) {
    a->SetFocus();
    a->AfterItem.connect([this](bool&) { c->SetFocus(); });
    EXPECT_FALSE(b->SetFocus());
    EXPECT_EQ(form.focused(), c.get());
    // A box that puts the focus back on itself while refusing stays focused.
    c->SetFocus();
    b->SetFocus();
    b->Validate.connect([this](bool& cancel) {
        cancel = true;
        b->SetFocus();
    });
    EXPECT_FALSE(a->SetFocus());
    EXPECT_EQ(form.focused(), b.get());
}

TEST_F(Focus, HiddenDisabledLabelsAndHiddenFramesRefuseTheFocus) {
    EXPECT_FALSE(label->SetFocus());
    b->setVisible(false);
    EXPECT_FALSE(b->SetFocus());
    c->setEnabled(false);
    EXPECT_FALSE(c->SetFocus());
    auto frame = form.create<GroupFrame>("GRB_CHECK");
    auto inner = form.create<CodeEditBox>("INNER");
    frame->add(*inner);
    frame->setVisible(false);
    EXPECT_FALSE(inner->SetFocus());
    frame->setVisible(true);
    EXPECT_TRUE(inner->SetFocus());
    EXPECT_EQ(form.focused(), inner.get());
    EXPECT_THROW(frame->add(*frame), KitError);
}

TEST_F(Focus, TabFollowsTabIndexSkippingControlsThatCannotTakeIt) {
    auto d = form.create<CodeEditBox>("D");
    a->setTabIndex(3);
    b->setTabIndex(1);
    c->setTabIndex(2);
    d->setTabIndex(0);
    d->setTabStop(false);
    a->SetFocus();
    form.keyDown(keys::Tab);
    EXPECT_EQ(form.focused(), b.get());   // wraps past the end
    c->setVisible(false);
    form.keyDown(keys::Tab);
    EXPECT_EQ(form.focused(), a.get());
    form.keyDown(keys::Tab, keys::ShiftMask);
    EXPECT_EQ(form.focused(), b.get());
    // From a control that is not a tab stop the order continues from its index.
    d->SetFocus();
    form.tab(true);
    EXPECT_EQ(form.focused(), b.get());
    b->setEnabled(false);
    a->setEnabled(false);
    EXPECT_FALSE(form.tab(true));
}

TEST_F(Focus, KeyDownReachesTheFocusedControlBeforeTheTabMove) {
    std::vector<std::string> keysSeen;
    a->KeyDown.connect([&](int key, int shift) {
        keysSeen.push_back(std::to_string(key) + "/" + std::to_string(shift) + (a->hasFocus() ? "A" : "-"));
    });
    a->SetFocus();
    form.keyDown(keys::Down, 0);
    form.keyDown(keys::Tab, 0);
    EXPECT_EQ(keysSeen, (std::vector<std::string>{"40/0A", "9/0A"}));
    EXPECT_EQ(form.focused(), b.get());
    // A KeyDown handler that moves the focus itself stops the Tab.
    b->KeyDown.connect([this](int, int) { a->SetFocus(); });
    form.keyDown(keys::Tab, 0);
    EXPECT_EQ(form.focused(), a.get());
}

TEST(FormControls, LookupByNameAndTypeAndDuplicates) {
    Form form("F");
    form.create<CoinAccountBox>("TXT_CONTOCOIN");
    EXPECT_EQ(form.get<CoinAccountBox>("txt_contocoin").name(), "TXT_CONTOCOIN");
    EXPECT_THROW(form.get<CodeEditBox>("TXT_CONTOCOIN"), KitError);
    EXPECT_THROW(form.get<Control>("NOPE"), KitError);
    EXPECT_THROW(form.create<CaptionLabel>("TXT_CONTOCOIN"), KitError);
    EXPECT_EQ(form.find("NOPE"), nullptr);
    Form other("G");
    EXPECT_THROW(other.setFocus(form.get("TXT_CONTOCOIN")), KitError);
}

TEST(FormLifecycle, ModalShowThroughTheTestWindowSystem) {
    TestWindowSystem ws;
    Form form("FRMCG_X", &ws);
    std::vector<std::string> log;
    form.Load.connect([&] { log.push_back("load"); });
    form.Activate.connect([&] { log.push_back("activate"); });
    bool refuse = true;
    form.QueryUnload.connect([&](bool& cancel, int mode) {
        log.push_back("query" + std::to_string(mode));
        cancel = refuse;
    });
    form.Unload.connect([&] { log.push_back("unload"); });
    ws.onModal("FRMCG_X", [&](Form& f) {
        log.push_back("user");
        EXPECT_TRUE(f.Visible());
        EXPECT_FALSE(f.close());   // refused
        refuse = false;
        f.activate();
        EXPECT_TRUE(f.close(1));
    });
    form.show(true);
    EXPECT_EQ(log, (std::vector<std::string>{"load", "activate", "user", "query0", "activate", "query1", "unload"}));
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(ws.closed(), (std::vector<std::string>{"FRMCG_X"}));
    ASSERT_EQ(ws.shown().size(), 1u);
    EXPECT_TRUE(ws.shown()[0].modal);
}

TEST(FormLifecycle, AModalFormLeftOpenIsReportedAndAFormWithoutWindowSystemCannotShow) {
    TestWindowSystem ws;
    Form form("F", &ws);
    form.QueryUnload.connect([](bool& cancel, int) { cancel = true; });
    EXPECT_THROW(form.show(true), KitError);
    Form lone("G");
    EXPECT_THROW(lone.show(false), KitError);
    // A form that closes itself while activating returns from show at once.
    Form self("H", &ws);
    self.Activate.connect([&] { self.close(); });
    self.show(true);
    EXPECT_FALSE(self.isOpen());
}

TEST(FormLifecycle, PlacementIsAskedWhenTheFormIsShown) {
    TestWindowSystem ws;
    Form form("F", &ws);
    auto box = form.create<MdiHostBox>("MDI");
    box->PlacementRequest.connect([&] {
        box->Place(10, 20, 11940, 8280);
        box->setWindowState(2);
    });
    EXPECT_FALSE(box->placed());
    form.show(false);
    EXPECT_TRUE(box->placed());
    EXPECT_EQ(box->placement().width, 11940);
    EXPECT_EQ(box->WindowState(), 2);
}

TEST(SmallControls, ComboSelectsByValueAndButtonsClickOnlyWhenUsable) {
    Form form("F");
    auto combo = form.create<ListCombo>("CBO_SEGNO");
    combo->AddItem("Dare", 1);
    combo->AddItem("Avere", 2);
    combo->setValue(db::Variant::decimal(2));
    EXPECT_EQ(combo->Text(), "Avere");
    EXPECT_EQ(combo->ListIndex(), 1);
    combo->setValue("1");
    EXPECT_EQ(combo->Text(), "Dare");
    combo->setValue(7);
    EXPECT_EQ(combo->ListIndex(), -1);
    EXPECT_TRUE(combo->Value().isEmpty());
    EXPECT_THROW(combo->setListIndex(5), KitError);
    combo->Clear();
    EXPECT_EQ(combo->ListCount(), 0);

    auto button = form.create<MenuButton>("BUT");
    int clicks = 0;
    button->ButtonClick.connect([&] { ++clicks; });
    EXPECT_TRUE(button->click());
    button->setEnabled(false);
    EXPECT_FALSE(button->click());
    button->setEnabled(true);
    button->setVisible(false);
    EXPECT_FALSE(button->click());
    EXPECT_EQ(clicks, 1);
}

TEST_F(Focus, EscapeClicksTheCancelButtonWithoutMovingTheFocus) {
    int clicks = 0;
    c->ButtonClick.connect([&] { ++clicks; });
    form.keyDown(keys::Escape);   // nothing focused, no cancel button: nothing happens
    a->SetFocus();
    a->enterText("7");
    form.keyDown(keys::Escape);
    EXPECT_EQ(clicks, 0);
    c->setCancel(true);
    log.clear();
    form.keyDown(keys::Escape);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(a->hasFocus());   // the box was not left: no decode, no Validate
    EXPECT_TRUE(log.empty());
    c->setEnabled(false);
    form.keyDown(keys::Escape);
    EXPECT_EQ(clicks, 1);
}

TEST(SmallControls, ResizerAnchorsRegisteredControls) {
    Form form("F");
    form.setSize(10000, 8000);
    auto button = form.create<MenuButton>("BUT_STAMPA");
    button->move(9000, 7000, 800, 300);
    auto nav = form.create<GridNavigator>("GRIDNAV");
    nav->move(100, 6000, 5000, 300);
    nav->setAnchor(FormResizer::MoveDown);   // the registration wins over the anchor
    auto grid = form.create<QueryGrid>("GRID");
    grid->move(100, 900, 9800, 5000);
    grid->setAnchor(FormResizer::StretchWidth | FormResizer::StretchHeight);
    auto label = form.create<CaptionLabel>("LBL");
    label->move(100, 100, 1000, 255);
    auto resizer = form.create<FormResizer>("QVA_RESIZEFORM1");
    resizer->RegisterControls.connect([&] {
        resizer->Register("BUT_STAMPA", 12);
        resizer->Register(*nav, 5);
    });
    EXPECT_THROW(resizer->Register("NOPE", 12), KitError);
    resizer->Start();
    resizer->resize(12000, 9000);
    EXPECT_EQ(button->Left(), 11000);
    EXPECT_EQ(button->Top(), 8000);
    EXPECT_EQ(button->Width(), 800);
    EXPECT_EQ(nav->Width(), 7000);
    EXPECT_EQ(nav->Top(), 7000);
    EXPECT_EQ(nav->Left(), 100);
    EXPECT_EQ(resizer->modeOf(*nav), 5);
    // Unregistered controls follow their own anchor, or stay where they were drawn.
    EXPECT_EQ(resizer->modeOf(*grid), -1);
    EXPECT_EQ(grid->Width(), 11800);
    EXPECT_EQ(grid->Height(), 6000);
    EXPECT_EQ(grid->Top(), 900);
    EXPECT_EQ(label->Left(), 100);
    EXPECT_EQ(label->Width(), 1000);
    // A smaller window than the design one shrinks the stretched controls, never below zero.
    resizer->resize(4000, 3000);
    EXPECT_EQ(grid->Width(), 3800);
    EXPECT_EQ(grid->Height(), 0);
    // Starting again does not stack the anchored entries.
    resizer->resize(10000, 8000);
    resizer->Start();
    resizer->resize(11000, 8000);
    EXPECT_EQ(grid->Width(), 10800);
    // Anchoring never zooms: a design distance keeps its size until the window draws at
    // another scale.
    EXPECT_EQ(resizer->TransformYcoordinate(800), 800);
    resizer->setVerticalScale(1.25);
    EXPECT_EQ(resizer->TransformYcoordinate(13.5), 16.875);
    EXPECT_THROW(resizer->setVerticalScale(0), KitError);
}

}  // namespace
