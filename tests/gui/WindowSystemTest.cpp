// The Qt window system: a modal form runs a nested loop until it closes, a modeless one
// returns at once; activation and the first focus; the thread pool drained at the end.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <atomic>

#include "GuiTestSupport.h"
#include "gui/QtWindowSystem.h"
#include "gui/ThreadPoolDrain.h"
#include "kit/Kit.h"

using namespace gui;

namespace {

struct WindowSystemTest : ::testing::Test {
    QtWindowSystem ws;
    kit::Form form{"FRM_MODAL", &ws};
    std::shared_ptr<kit::CaptionLabel> label = form.create<kit::CaptionLabel>("LBL_TITLE");
    std::shared_ptr<kit::CodeEditBox> first = form.create<kit::CodeEditBox>("TXT_FIRST");
    std::shared_ptr<kit::MenuButton> exit = form.create<kit::MenuButton>("BUT_ESCI");
    int loads = 0, activations = 0, unloads = 0;

    void SetUp() override {
        label->move(150, 150, 1500, 300);
        first->move(150, 600, 1500, 300);
        exit->move(150, 1050, 1200, 375);
        exit->setCaption("Esci");
        form.Load.connect([this] { ++loads; });
        form.Activate.connect([this] { ++activations; });
        form.Unload.connect([this] { ++unloads; });
        exit->ButtonClick.connect([this] { form.close(); });
    }
};

TEST_F(WindowSystemTest, AModalFormReturnsOnlyAfterTheUserClosedIt) {
    bool refuse = true;
    form.QueryUnload.connect([&](bool& cancel, int) { cancel = refuse; });
    bool sawFocus = false;
    bool stillOpenAfterRefusal = false;
    ws.setShownHook([&](FormWindow& w) {
        QTimer::singleShot(0, &w, [&, win = &w] {
            sawFocus = win->focusWidget() == win->viewAs<TextBoxView>("TXT_FIRST")->lineEdit() && form.focused() == first.get();
            win->close();   // refused by QueryUnload
            stillOpenAfterRefusal = form.isOpen() && win->isVisible();
            refuse = false;
            QTest::mouseClick(qobject_cast<QPushButton*>(win->widgetOf("BUT_ESCI")), Qt::LeftButton);
        });
    });
    form.show(true);   // returns once the nested loop ended
    EXPECT_TRUE(stillOpenAfterRefusal);
    EXPECT_TRUE(sawFocus);   // the first tab stop had the focus
    EXPECT_FALSE(form.isOpen());
    EXPECT_EQ(ws.windowOf(form), nullptr);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(unloads, 1);
}

TEST_F(WindowSystemTest, AModelessFormStaysOpenAndFollowsItsVisibility) {
    form.show(false);
    FormWindow* w = ws.windowOf(form);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(form.isOpen());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(activations, 1);
    form.setVisible(false);
    EXPECT_FALSE(w->isVisible());
    form.setVisible(true);
    EXPECT_TRUE(w->isVisible());
    // A form that closes itself takes its window with it.
    EXPECT_TRUE(form.close());
    EXPECT_EQ(ws.windowOf(form), nullptr);
}

TEST_F(WindowSystemTest, ResizingTheWindowMovesTheControlsTheResizerAnchors) {
    auto resizer = form.create<kit::FormResizer>("RESIZER");
    form.show(false);
    FormWindow* w = ws.windowOf(form);
    ASSERT_NE(w, nullptr);
    // The form knows the size its window got.
    EXPECT_EQ(form.Width(), w->width() * 15);
    resizer->Register(*exit, kit::FormResizer::MoveDown | kit::FormResizer::MoveRight);
    resizer->Start();
    const int left = exit->Left(), top = exit->Top();
    QWidget* button = w->widgetOf("BUT_ESCI");
    const QPoint before = button->pos();
    w->resize(w->width() + 100, w->height() + 40);
    EXPECT_EQ(exit->Left(), left + 1500);
    EXPECT_EQ(exit->Top(), top + 600);
    EXPECT_EQ(button->pos(), before + QPoint(100, 40));
    form.close();
}

TEST_F(WindowSystemTest, AHandlerThatThrowsDoesNotTakeTheWindowDown) {
    first->KeyDown.connect([](int, int) { throw std::runtime_error("handler failure"); });
    form.show(false);
    FormWindow* w = ws.windowOf(form);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->viewAs<TextBoxView>("TXT_FIRST")->lineEdit(), Qt::Key_Down);
    EXPECT_TRUE(form.isOpen());
    EXPECT_EQ(form.focused(), first.get());
    form.close();
}

}  // namespace

TEST(ThreadPoolDrain, TheProgramEndsOnlyAfterThePoolsThreadsHaveLeft) {
    std::atomic<int> ran = 0;
    for (int i = 0; i < 4; ++i) QThreadPool::globalInstance()->start([&ran] { ++ran; QThread::msleep(100); });
    // A thread takes its name once it runs.
    for (int wait = 0; wait < 100 && runningPoolThreads() == 0; ++wait) QThread::msleep(5);
    EXPECT_GT(runningPoolThreads(), 0);
    { ThreadPoolDrain drain; }
    EXPECT_EQ(ran, 4);
    EXPECT_EQ(runningPoolThreads(), 0);
}
