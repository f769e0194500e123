#include "tests/support/ElementRig.h"

#include "engine/modules/Tuner.h"
#include "models/RigModuleCreators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <thread>

using namespace rig;
using AudioEngine::CX2::Tuner;

namespace {

struct TunerRig {
    explicit TunerRig(float rate = 44100.0f)
    {
        environment.rate = rate;
        plugIn(tuner, environment, feed);
    }
    // Runs a sine (amplitude 0.1) for the given samples in pieces of 64; returns the last piece's
    // output.
    std::vector<float> play(double hertz, long samples)
    {
        const double step = 2.0 * std::numbers::pi * hertz / environment.rate;
        for (long t = 0; t < samples; t += 64) {
            float* x = feed.data();
            for (int i = 0; i < 64; ++i) {
                x[i] = 0.1f * static_cast<float>(std::sin(phase));
                phase = std::fmod(phase + step, 2.0 * std::numbers::pi);
            }
            tuner.process();
        }
        return rig::samples(tuner.getOutput("Out"), 64);
    }
    float value(const char* name) { return tuner.getParameter(name).getValue(); }

    RootEnvironment environment;
    Tuner tuner;
    Feed feed;
    double phase = 0.0;
};

// Enough for a steady tone to be read at 44.1 kHz: 3N + 5000 samples and a little.
constexpr long kSettle = 3 * 4096 + 5000 + 1024;

} // namespace

TEST(Tuner, RegistersItsPortsAndParameters)
{
    AudioEngine::BorvanQom::Application::ModuleCreators creators;
    const std::unique_ptr<AudioEngine::Module> created = creators.create("Tuner");
    EXPECT_EQ(created->getInfo().type, "Tuner");
    EXPECT_EQ(created->getInfo().flags, 0x12u);

    TunerRig rig;
    EXPECT_NE(dynamic_cast<AudioEngine::OutputBuffered*>(&rig.tuner.getOutput("Out")), nullptr);
    struct Expected {
        const char* name;
        float minimum, maximum, defaultValue;
        std::uint32_t flags;
    };
    const Expected expected[] = {
        {"On", 0, 1, 0, 0},         {"Mute", 0, 1, 0, 0},     {"Reference", 425, 455, 440, 0},
        {"Display", 0, 1, 0, 1},    {"Cents", -50, 50, 0, 1}, {"Note", 0, 11, 0, 1},
        {"Deviation", -1, 1, 0, 1},
    };
    EXPECT_EQ(rig.tuner.getParameterCount(), std::size(expected));
    for (const Expected& e : expected) {
        AudioEngine::ParameterBase& p = rig.tuner.getParameter(e.name);
        EXPECT_EQ(p.getMinimum(), e.minimum) << e.name;
        EXPECT_EQ(p.getMaximum(), e.maximum) << e.name;
        EXPECT_EQ(p.getDefault(), e.defaultValue) << e.name;
        EXPECT_EQ(p.getFlags(), e.flags) << e.name;
    }
    EXPECT_EQ(rig.tuner.getParameter("On").getStates().find("Off"), 1.0f);
    EXPECT_EQ(rig.tuner.getParameter("Mute").getStates().find("Mute"), 1.0f);
    EXPECT_EQ(rig.tuner.getParameter("Display").getStates().find("Off"), 1.0f);
}

TEST(Tuner, PublishesTheNoteAndFreezesWhileOff)
{
    TunerRig rig;
    rig.play(110.0, kSettle);
    EXPECT_EQ(rig.value("Display"), 0.0f) << "On while a pitch is read";
    EXPECT_EQ(rig.value("Note"), 9.0f);
    EXPECT_NEAR(rig.value("Cents"), 0.0f, 1.0f);
    EXPECT_NEAR(rig.value("Deviation"), 0.0f, 0.03f);

    rig.tuner.setParameter("On", 1.0f);                          // "Off"
    const std::vector<float> output = rig.play(155.56, kSettle); // D#3
    const std::vector<float> input(rig.feed.data(), rig.feed.data() + 64);
    EXPECT_EQ(output, input) << "Off passes the input unchanged";
    EXPECT_EQ(rig.value("Note"), 9.0f) << "read-outs frozen";
    EXPECT_EQ(rig.value("Display"), 0.0f);

    rig.play(155.56, 1024);
    rig.tuner.setParameter("On", 0.0f);
    rig.play(155.56, kSettle);
    EXPECT_EQ(rig.value("Note"), 3.0f) << "back on, it reads again";

    rig.play(0.0, 3 * 4096);
    EXPECT_EQ(rig.value("Display"), 1.0f) << "Off once the note is gone";
}

TEST(Tuner, MuteSilencesOnlyWhileOn)
{
    TunerRig rig;
    rig.tuner.setParameter("Mute", 1.0f);
    std::vector<float> out = rig.play(110.0, 4480); // the 100 ms fade and a piece
    EXPECT_EQ(out, std::vector<float>(64, 0.0f)) << "muted";

    rig.tuner.setParameter("On", 1.0f);
    out = rig.play(110.0, 4480);
    EXPECT_EQ(out, std::vector<float>(rig.feed.data(), rig.feed.data() + 64)) << "Off never mutes";

    rig.tuner.setParameter("On", 0.0f);
    rig.tuner.setParameter("Mute", 0.0f);
    out = rig.play(110.0, 64);
    EXPECT_EQ(out, std::vector<float>(rig.feed.data(), rig.feed.data() + 64)) << "unmuted";
}

TEST(Tuner, ReferenceReachesTheDetectorUnlimitedButSound)
{
    TunerRig rig;
    rig.tuner.setParameter("Reference", 400.0f);
    EXPECT_EQ(rig.value("Reference"), 425.0f) << "the parameter is limited";
    EXPECT_EQ(rig.tuner.getEngine().getReferencePitch(), 400.0f) << "the detector is not";

    for (float bad : {0.0f, -5.0f, std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity()}) {
        rig.tuner.setParameter("Reference", bad);
        EXPECT_EQ(rig.tuner.getEngine().getReferencePitch(), 400.0f) << bad;
    }
    rig.play(400.0, kSettle);
    EXPECT_EQ(rig.value("Note"), 9.0f) << "400 Hz is A against 400";
    EXPECT_NEAR(rig.value("Cents"), 0.0f, 1.0f);

    rig.tuner.setParameter("Reference", 455.0f);
    rig.play(400.0, 2048);
    EXPECT_EQ(rig.value("Note"), 7.0f) << "400 Hz against 455 is G -23";
    EXPECT_NEAR(rig.value("Cents"), -23.0f, 1.0f);
}

TEST(Tuner, RateChangesArriveThroughUpdate)
{
    TunerRig rig;
    rig.environment.rate = 96000.0f;
    rig.tuner.update();
    EXPECT_EQ(rig.tuner.getEngine().getSampleRate(), 96000.0f);
    EXPECT_EQ(rig.tuner.getEngine().getDetector().getACF().getSize(), 8192);
    rig.play(82.4069, 3 * 8192 + 5000 + 1024); // E2
    EXPECT_EQ(rig.value("Note"), 4.0f);
    EXPECT_NEAR(rig.value("Cents"), 0.0f, 1.0f);
}

// Two instances in one process, each on its own audio thread, read their own tones.
TEST(Tuner, TwoTunersOnTwoThreadsReadTheirOwnNotes)
{
    TunerRig low, high;
    float lowNote = -1.0f, highNote = -1.0f;
    std::thread a([&] {
        low.play(41.2034, kSettle); // E1
        lowNote = low.value("Note");
    });
    std::thread b([&] {
        high.play(196.0, kSettle); // G3
        highNote = high.value("Note");
    });
    a.join();
    b.join();
    EXPECT_EQ(lowNote, 4.0f);
    EXPECT_EQ(highNote, 7.0f);
    EXPECT_EQ(low.value("Display"), 0.0f);
    EXPECT_EQ(high.value("Display"), 0.0f);
}
