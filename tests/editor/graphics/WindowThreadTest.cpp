// ctest-label: tsan
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "platform/window/HeadlessWindow.h"
#include "platform/window/Native.h"
#include "tests/editor/graphics/RecordingReceiver.h"
#include "tests/support/CountingAllocator.h"

using namespace Zq::Application::Graphics;
namespace pw = platform::window;

// The audio thread and the automation worker invalidate while the UI thread
// pumps: no allocation on their side, no race, and the last area they asked
// for reaches the screen with the next pump.
TEST(WindowThreads, InvalidateFromAnotherThreadWhileTheUiThreadPumps)
{
    pw::setBackend(pw::Backend::Headless);
    platform::CriticalSection lock;
    test::editor::RecordingReceiver receiver(&lock);
    unsigned long parent = 0x1234;
    Window window(&receiver, &parent, {0, 0, 851, 510}, true, true, &lock);
    auto* native = pw::HeadlessWindow::find(*static_cast<unsigned long*>(window.getWindowHandle()));
    ASSERT_NE(native, nullptr);
    window.pump(); // the first exposure, left black
    receiver.paintColour = 0xFFFFFFFF;

    constexpr int requests = 20000;
    const BasicRect<int> last{800, 500, 7, 3};
    std::atomic<bool> done{false};
    long allocations = -1;
    std::thread worker([&] {
        {
            test::allocations::Counting counting;
            for (int i = 0; i < requests; ++i) {
                // Like the audio thread's read-backs: only when the document's
                // lock comes free at once.
                platform::ScopedTryEnter held(lock);
                window.invalidate({i % 400, (i / 400) % 200, 1 + i % 7, 1 + i % 5});
                if (i % 100 == 0) {
                    window.takeKeyboard();
                    window.releaseKeyboard();
                }
                window.update();
            }
            window.invalidate(last);
        }
        allocations = test::allocations::take();
        done.store(true, std::memory_order_release);
    });
    while (!done.load(std::memory_order_acquire))
        window.pump();
    worker.join();
    window.pump();

    EXPECT_EQ(allocations, 0);
    const auto& screen = native->screen();
    for (int y = last.y; y < last.y + last.height; ++y)
        for (int x = last.x; x < last.x + last.width; ++x)
            ASSERT_EQ(screen[y * 851 + x], 0x00FEFEFEu) << x << "," << y;
    pw::setBackend(pw::Backend::Default);
}
