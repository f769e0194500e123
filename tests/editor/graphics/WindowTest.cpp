#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "platform/window/HeadlessWindow.h"
#include "platform/window/Native.h"
#include "tests/editor/graphics/RecordingReceiver.h"

using namespace Zq::Application::Graphics;
using test::editor::RecordingReceiver;
namespace pw = platform::window;

namespace {

std::int64_t fakeNow = 0;
std::int64_t fakeClock()
{
    return fakeNow;
}

unsigned long kParent = 0x1234;

class HeadlessWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        pw::setBackend(pw::Backend::Headless);
        pw::setClock(fakeClock);
        fakeNow = 1000;
    }
    void TearDown() override
    {
        window.reset();
        pw::setClock(nullptr);
        pw::setBackend(pw::Backend::Default);
    }
    void open(bool ownMouse = true, bool ownKeys = true,
              platform::CriticalSection* withLock = nullptr)
    {
        window = std::make_unique<Window>(&receiver, &kParent, BasicRect<int>{10, 20, 851, 510},
                                          ownMouse, ownKeys, withLock);
        native = pw::HeadlessWindow::find(*static_cast<unsigned long*>(window->getWindowHandle()));
        ASSERT_NE(native, nullptr);
        window->pump(); // the first exposure
        receiver.take();
    }

    platform::CriticalSection lock;
    RecordingReceiver receiver{&lock};
    std::unique_ptr<Window> window;
    pw::HeadlessWindow* native = nullptr;
};

} // namespace

TEST_F(HeadlessWindowTest, EveryEventArrivesBetweenBeginAndEndUnderTheLock)
{
    receiver.checkLock = true;
    window = std::make_unique<Window>(&receiver, &kParent, BasicRect<int>{10, 20, 851, 510}, true,
                                      true, &lock);
    native = pw::HeadlessWindow::find(*static_cast<unsigned long*>(window->getWindowHandle()));
    ASSERT_NE(native, nullptr);
    EXPECT_TRUE(native->hasParent());
    EXPECT_EQ(native->rect().x, 10);
    EXPECT_EQ(native->rect().width, 851);
    EXPECT_EQ(receiver.take(), "attach");
    receiver.locked.clear();

    window->takeKeyboard();
    native->mouseMove(3, 4, 0);
    native->mouseDown(3, 4, 1, 1 | 8);
    native->mouseUp(5, 6, 1, 0);
    native->key(pw::Key::Character, 'a');
    native->key(pw::Key::Left, 0);
    native->focusOut();
    native->timer();
    window->pump();
    EXPECT_EQ(receiver.take(),
              "begin|move 3,4 0|end|begin|down 3,4 1 9|end|begin|up 5,6 1 0|end|"
              "begin|key 0 97 0|end|begin|key 6 0 0|end|begin|focusLost|end|begin|timer|end|"
              "begin|paint 0,0 851x510|end");
    EXPECT_EQ(receiver.locked, std::vector<bool>(24, true));

    // Closing detaches between begin and end, without the lock.
    receiver.locked.clear();
    window.reset();
    EXPECT_EQ(receiver.take(), "begin|detach|end");
    EXPECT_EQ(receiver.locked, std::vector<bool>(3, false));
}

TEST_F(HeadlessWindowTest, ANullLockDeliversUnlocked)
{
    open(true, true, nullptr);
    native->mouseDown(1, 2, 4, 4);
    window->pump();
    EXPECT_EQ(receiver.take(), "begin|down 1,2 4 4|end");
}

TEST_F(HeadlessWindowTest, AHostOwnedMouseOnlyTicksTheTimer)
{
    open(false, true, &lock);
    native->mouseDown(1, 2, 1, 1);
    native->mouseMove(1, 3, 1);
    native->mouseUp(1, 3, 1, 0);
    window->pump();
    EXPECT_EQ(receiver.take(), "begin|timer|end|begin|timer|end|begin|timer|end");
}

TEST_F(HeadlessWindowTest, KeysArriveOnlyWhileTakenAndOwned)
{
    open(true, true, &lock);
    native->key(pw::Key::Character, 'x');
    window->pump();
    EXPECT_EQ(receiver.take(), "");

    window->takeKeyboard();
    window->pump();
    EXPECT_TRUE(native->focused());
    native->key(pw::Key::Return, 0);
    window->pump();
    EXPECT_EQ(receiver.take(), "begin|key 5 0 0|end");

    window->releaseKeyboard();
    window->pump();
    EXPECT_FALSE(native->focused());
    native->key(pw::Key::Character, 'y');
    native->focusOut(); // not wanted: no focusLost
    window->pump();
    EXPECT_EQ(receiver.take(), "");

    // A focus loss while keys are wanted ends the wish.
    window->takeKeyboard();
    window->pump();
    native->focusOut();
    native->key(pw::Key::Character, 'z');
    window->pump();
    EXPECT_EQ(receiver.take(), "begin|focusLost|end");

    // A host that delivers keys itself: the window never takes the focus.
    window.reset();
    open(true, false, &lock);
    window->takeKeyboard();
    window->pump();
    EXPECT_FALSE(native->focused());
    native->key(pw::Key::Character, 'x');
    window->pump();
    EXPECT_EQ(receiver.take(), "");
}

TEST_F(HeadlessWindowTest, TimerTicksEvery40MsOnTheInjectedClockWithoutCatchingUp)
{
    open();
    for (int ms = 2; ms <= 1000; ms += 2) {
        fakeNow += 2;
        window->pump();
    }
    EXPECT_EQ(receiver.timers, 25);
    fakeNow += 500;
    window->pump();
    window->pump();
    EXPECT_EQ(receiver.timers, 26);
    fakeNow += 39;
    window->pump();
    EXPECT_EQ(receiver.timers, 26);
    fakeNow += 1;
    window->pump();
    EXPECT_EQ(receiver.timers, 27);
}

TEST_F(HeadlessWindowTest, PaintsTheInvalidatedAreaClippedToTheWindow)
{
    // A receiver that paints nothing shows the zeroed buffer: black.
    open();
    EXPECT_EQ(native->screen(), std::vector<std::uint32_t>(851 * 510, 0));

    receiver.paintColour = 0xFF204080;
    window->invalidate({840, 500, 50, 50});
    window->invalidate({-5, -5, 10, 10});
    window->pump();
    // The two areas reach the receiver as their bounding rectangle, cut to the window.
    EXPECT_EQ(receiver.take(), "begin|paint 0,0 851x510|end");

    receiver.paintColour = 0xFFFFFFFF;
    window->invalidate({840, 500, 50, 50});
    window->pump();
    EXPECT_EQ(receiver.take(), "begin|paint 840,500 11x10|end");
    const auto& screen = native->screen();
    EXPECT_EQ(screen[509 * 851 + 850], 0x00FEFEFEu);
    // Outside the second area the first colour stays.
    EXPECT_EQ(screen[499 * 851 + 850], 0x001F3F7Fu);
    EXPECT_EQ(screen[509 * 851 + 839], 0x001F3F7Fu);

    // Nothing invalidated, nothing painted.
    window->pump();
    EXPECT_EQ(receiver.take(), "");
}

TEST_F(HeadlessWindowTest, SystemDestructionFiresClosedOnceAndStopsEverything)
{
    open(true, true, &lock);
    int fired = 0;
    bool lockHeld = false;
    window->closed.connect([&](Window* w) {
        ++fired;
        EXPECT_EQ(w, window.get());
        std::thread([&] {
            lockHeld = !lock.tryEnter();
            if (!lockHeld)
                lock.leave();
        }).join();
    });
    native->destroy();
    native->mouseMove(1, 1, 0);
    window->invalidate({0, 0, 10, 10});
    window->pump();
    EXPECT_EQ(fired, 1);
    EXPECT_TRUE(lockHeld);
    EXPECT_EQ(*static_cast<unsigned long*>(window->getWindowHandle()), 0ul);
    fakeNow += 1000;
    window->invalidate({0, 0, 10, 10});
    window->pump();
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(receiver.take(), "");
}

TEST_F(HeadlessWindowTest, AClosedHandlerMayDeleteTheWindow)
{
    open();
    window->closed.connect([&](Window*) { window.reset(); });
    native->destroy();
    window->pump();
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(receiver.take(), "begin|detach|end");
}

// Tests that load the built module cannot reach the hook: the environment
// chooses the headless backend for them.
TEST(WindowBackend, TheEnvironmentChoosesHeadlessWhenNoHookDoes)
{
    pw::setBackend(pw::Backend::Default);
    setenv("RIG_WINDOW_BACKEND", "headless", 1);
    RecordingReceiver receiver;
    {
        Window window(&receiver, &kParent, {0, 0, 20, 10}, true, true, nullptr);
        EXPECT_NE(pw::HeadlessWindow::find(*static_cast<unsigned long*>(window.getWindowHandle())),
                  nullptr);
    }
    unsetenv("RIG_WINDOW_BACKEND");
}
