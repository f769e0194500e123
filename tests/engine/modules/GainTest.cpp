#include "tests/support/ElementRig.h"

#include "engine/modules/Gain.h"
#include "engine/modules/GainApplication.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

using namespace rig;
namespace App = AudioEngine::CX2::Application;

namespace {

struct Trim80 {
    static constexpr float minimum = -80.0f, maximum = 80.0f, defaultValue = 0.0f;
};
struct Knob {
    static constexpr float minimum = 0.0f, maximum = 1.0f, defaultValue = 0.5f;
};

// The same module made to run its per-sample routine.
template <class T> struct PerSample : T {
    PerSample() { this->info_.flags &= ~ModuleInfo::kVector; }
};

template <class T> std::unique_ptr<Module> make(bool vector)
{
    if (vector)
        return std::make_unique<T>();
    return std::make_unique<PerSample<T>>();
}

// One gain module fed by a constant.
struct GainRig {
    explicit GainRig(std::unique_ptr<Module> gain) : module(std::move(gain))
    {
        plugIn(*module, environment, feed);
    }
    float run(float gain, float input)
    {
        module->setParameter("Gain", gain);
        feed.fill(input);
        module->process();
        return module->getOutput("Out").getBuffer()[13];
    }

    RootEnvironment environment;
    std::unique_ptr<Module> module;
    Feed feed;
};

} // namespace

TEST(Gains, LawsRangesAndTheDenormalFlushHoldInBothRoutines)
{
    constexpr float kDenormal = std::numeric_limits<float>::denorm_min() * 77.0f;
    struct Case {
        const char* what;
        std::unique_ptr<Module> (*create)(bool vector);
        float gain, input, expected, tolerance;
    };
    const Case cases[] = {
        {"dB 0 is unity", make<AudioEngine::GaindB<Trim80>>, 0.0f, 0.7f, 0.7f, 0.0f},
        {"dB -80 is 1e-4", make<AudioEngine::GaindB<Trim80>>, -80.0f, 1.0f, 1e-4f, 1e-10f},
        {"dB 6", make<App::Gain<20>>, 6.0f, 1.0f, 1.9952623f, 1e-6f},
        {"dB range clamps at +20", make<App::Gain<20>>, 30.0f, 1.0f, 10.0f, 1e-5f},
        {"dB range clamps at -20", make<App::Gain<20>>, -1e9f, 1.0f, 0.1f, 1e-7f},
        {"taper 0 is silence", make<AudioEngine::GainLog<Knob>>, 0.0f, 0.9f, 0.0f, 0.0f},
        {"taper 0.25 is 0.01", make<AudioEngine::GainLog<Knob>>, 0.25f, 1.0f, 0.01f, 1e-7f},
        {"taper 0.5 is 0.1", make<AudioEngine::GainLog<Knob>>, 0.5f, 1.0f, 0.1f, 1e-6f},
        {"taper 1 is unity", make<AudioEngine::GainLog<Knob>>, 1.0f, -0.3f, -0.3f, 0.0f},
        {"taper range clamps", make<AudioEngine::GainLog<Knob>>, 3.0f, -0.3f, -0.3f, 0.0f},
        {"linear", make<AudioEngine::Gain<Knob>>, 0.25f, 2.0f, 0.5f, 0.0f},
        {"linear range clamps", make<AudioEngine::Gain<Knob>>, -5.0f, 2.0f, 0.0f, 0.0f},
        {"a denormal input gives 0", make<App::Gain<20>>, 20.0f, kDenormal, 0.0f, 0.0f},
        {"a denormal product gives 0", make<AudioEngine::GaindB<Trim80>>, -80.0f, 1e-36f, 0.0f,
         0.0f},
    };
    for (const Case& c : cases) {
        for (bool vector : {true, false}) {
            GainRig rig(c.create(vector));
            const float out = rig.run(c.gain, c.input);
            EXPECT_NEAR(out, c.expected, c.tolerance)
                << c.what << (vector ? " (vector)" : " (scalar)");
            EXPECT_FALSE(std::signbit(out) && c.expected == 0.0f) << c.what;
        }
    }
}

TEST(Gains, TypeNamesFollowTheLaw)
{
    EXPECT_EQ(App::Gain<20>().getInfo().type, "GaindB");
    EXPECT_EQ(AudioEngine::GainLog<Knob>().getInfo().type, "GainLog");
    EXPECT_EQ(AudioEngine::Gain<Knob>().getInfo().type, "Gain");
    EXPECT_EQ(App::GainStereo<20>().getInfo().type, "ModuleDualMono");
}

TEST(GainStereo, OneGainSetsBothChannels)
{
    RootEnvironment environment;
    App::GainStereo<20> gain;
    bringUp(gain, environment);
    ASSERT_EQ(gain.getParameterCount(), 1u);
    const ParameterBase& parameter = gain.getParameter("Gain");
    EXPECT_EQ(parameter.getMinimum(), -20.0f);
    EXPECT_EQ(parameter.getMaximum(), 20.0f);

    gain.setParameter("Gain", 6.0f);
    EXPECT_EQ(gain.getSubModule("L").getParameter("Gain").getValue(), 6.0f);
    EXPECT_EQ(gain.getSubModule("R").getParameter("Gain").getValue(), 6.0f);

    Feed left, right;
    left.fill(1.0f);
    right.fill(-0.5f);
    gain.getInput("InL").connect(&left);
    gain.getInput("InR").connect(&right);
    gain.resolveConnections();
    gain.process();
    EXPECT_NEAR(gain.getOutput("OutL").getBuffer()[63], 1.9952623f, 1e-6f);
    EXPECT_NEAR(gain.getOutput("OutR").getBuffer()[0], -0.99763113f, 1e-6f);
}
