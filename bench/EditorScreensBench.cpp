// The whole 851 x 510 editor drawn from the built skin in a headless window:
// a full repaint of each module panel, and one 40 ms refresh tick with the
// meters, the mini tuner and a knob moving as audio and automation would move
// them. One thread; the window's clock stands still, so ticks come only when
// the benchmark injects them.
#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <thread>

#include "editor/graphics/Window.h"
#include "editor/panels/Main.h"
#include "editor/resources/PlugInResourceProvider.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Native.h"
#include "plugin/rig/Rig.h"

namespace {

using Zq::BorvanRAZ::GUI::Main;
namespace pw = platform::window;

std::int64_t frozenClock()
{
    return 1000;
}

struct Editor {
    Editor()
    {
        pw::setBackend(pw::Backend::Headless);
        pw::setClock(&frozenClock);
        provider.addLocation(SKIN_DIR);
        // A pedal in every slot: the stomp board at its busiest.
        for (int slot = 0; slot < 6; ++slot)
            rig.getStompModule().stomps[slot].setValue(static_cast<float>(1 + slot), true);
        rig.getTuner().bypass.setValue(0.0f, true);
        rig.getTuner().displayOff.setValue(0.0f, true);
        main = std::make_unique<Main>(provider, rig,
                                      Main::Services{[] { return 100.0; }, "Jun 24 2009"});
        main->open(&parent);
        main->idle();
    }
    ~Editor()
    {
        main.reset();
        pw::setClock(nullptr);
    }
    pw::HeadlessWindow& window()
    {
        return *pw::HeadlessWindow::find(
            *static_cast<unsigned long*>(main->getWindow()->getWindowHandle()));
    }

    Zq::Application::Res::PlugInResourceProvider provider;
    Zq::BorvanRAZ::Document::Rig rig;
    std::unique_ptr<Main> main;
    unsigned long parent = 0x3c00007;
};

// Module 1 tuner, 2 stomps, 3 amp head, 4 cabinet.
void BM_FullRepaint(benchmark::State& state)
{
    Editor editor;
    editor.main->showModule(static_cast<int>(state.range(0)));
    editor.main->idle();
    for (auto _ : state) {
        editor.main->invalidate(0, 0, Main::kWidth, Main::kHeight);
        editor.main->idle();
        benchmark::DoNotOptimize(editor.window().screen().data());
    }
    state.SetLabel(state.range(0) == 1   ? "tuner"
                   : state.range(0) == 2 ? "stomps"
                   : state.range(0) == 3 ? "amp"
                                         : "cabinet");
}

// One timer tick after the meters, the tuner and the master knob moved, with
// the amp head shown: what the editor does 25 times a second while playing.
void BM_RefreshTick(benchmark::State& state)
{
    Editor editor;
    editor.main->showModule(3);
    editor.main->idle();
    auto& rig = editor.rig;
    int step = 0;
    for (auto _ : state) {
        const float phase = static_cast<float>(step % 20) / 20.0f;
        rig.getOutput().outputLevelMeterL.setValue(phase, true);
        rig.getOutput().outputLevelMeterR.setValue(1.0f - phase, true);
        rig.getInput().inputLevelMeter.setValue(0.5f * phase, true);
        rig.getTuner().note.setValue(static_cast<float>(step % 12), true);
        rig.getTuner().cents.setValue(-20.0f + 40.0f * phase, true);
        rig.getTuner().deviation.setValue(-0.4f + 0.8f * phase, true);
        rig.getOutput().master.setValue(0.25f + 0.5f * phase, true);
        editor.window().timer();
        editor.main->idle();
        benchmark::DoNotOptimize(editor.window().screen().data());
        ++step;
    }
}

BENCHMARK(BM_FullRepaint)->DenseRange(1, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshTick)->Unit(benchmark::kMicrosecond);

BENCH_GOAL(tunerRepaint, "full editor repaint, tuner shown", "BM_FullRepaint/1", "", 1.0, 5e6);
BENCH_GOAL(stompsRepaint, "full editor repaint, six pedals shown", "BM_FullRepaint/2", "", 1.0,
           5e6);
BENCH_GOAL(ampRepaint, "full editor repaint, amp head shown", "BM_FullRepaint/3", "", 1.0, 5e6);
BENCH_GOAL(cabRepaint, "full editor repaint, cabinet shown", "BM_FullRepaint/4", "", 1.0, 5e6);
BENCH_GOAL(refreshTick, "one 40 ms refresh tick (meters, mini tuner, a moving knob)",
           "BM_RefreshTick", "", 1.0, 5e5);

// The machine's cores beside the figures, each benchmark running on one.
const bool printedCores = [] {
    std::printf("CORES %u (every benchmark here runs on one)\n",
                std::thread::hardware_concurrency());
    return true;
}();

} // namespace
