// The cabinet as the module set creates it: "Convolver", wrapped with its run mode "Process".
#include "CabinetFixture.h"

#include "engine/host/ModuleCX2.h"
#include "engine/host/ModuleCreators.h"
#include "engine/host/ModuleHost.h"

#include <gtest/gtest.h>

namespace {

using namespace cabinet_test;
using Wrapped = CX2::Application::ModuleCX2<Cabinet>;

class CabinetCreators : public ModuleSelectorDetails::ModuleCreators {
public:
    CabinetCreators() { add<Wrapped>("Convolver"); }
};

struct Traits {
    using Creators = CabinetCreators;
};

ModuleSetDescription cabinetChain()
{
    ModuleSetDescription d;
    d.modules = {{"Convolver", "CabModule"}};
    d.hostInputs.insert({"In", {"CabModule", "In"}});
    d.hostOutputs.insert({"Out", {"CabModule", "Out"}});
    return d;
}

struct Host {
    ModuleHost<Traits> host{cabinetChain()};

    // Host blocks of the sizes `blocks` gives in turn, as long as the input lasts.
    std::vector<float> run(const std::vector<float>& input,
                           std::vector<std::uint32_t> blocks = {64})
    {
        std::vector<float> output(input.size());
        std::size_t done = 0;
        for (std::size_t k = 0; done < input.size(); ++k) {
            const std::uint32_t n = static_cast<std::uint32_t>(
                std::min<std::size_t>(blocks[k % blocks.size()], input.size() - done));
            const float* in[] = {input.data() + done};
            float* out[] = {output.data() + done};
            host.processHost(in, out, n);
            done += n;
        }
        return output;
    }
    void set(std::string_view name, float value) { host.getParameterChanges().push(name, value); }
};

constexpr std::size_t kLatency = 4;

TEST(CabinetHost, TheModuleSetCreatesTheWrappedCabinetAsConvolver)
{
    Host h;
    Module& module = h.host.getModuleSet().getSubModule("CabModule");
    ASSERT_NE(dynamic_cast<Wrapped*>(&module), nullptr);
    EXPECT_EQ(module.getInfo().type, "CabinetBorvan");
    for (const char* name : {"Points_CabModule", "CabModel_CabModule", "MicModel_CabModule",
                             "ImpedOn_CabModule", "TweeterLevel_CabModule", "Process_CabModule"})
        EXPECT_EQ(h.host.findParameter(name), name);

    // Behind the host's fixed delay, the cabinet plays what it plays alone.
    h.set("CabModel_CabModule", 14.0f);
    h.set("MicModel_CabModule", 28.0f);
    const std::vector<float> input = noise(1000, 11);
    const std::vector<float> hosted = h.run(input);
    Rig<> alone;
    alone.module.setParameter("CabModel", 14.0f);
    alone.module.setParameter("MicModel", 28.0f);
    const std::vector<float> expected = alone.run(input);
    for (std::size_t i = kLatency; i < input.size(); ++i)
        ASSERT_EQ(hosted[i], expected[i - kLatency]) << "sample " << i;
}

TEST(CabinetHost, AnyHostBlockSizePlaysTheSame)
{
    const std::vector<float> input = noise(3000, 12);
    Host regular, ragged;
    EXPECT_EQ(ragged.run(input, {1, 37, 100, 5, 256, 3, 64}), regular.run(input));
}

// "Bypass" passes "In" to "Out" and resets the cabinet, "Mute" silences it; back in "Normal" the
// cabinet starts without the tails it had.
TEST(CabinetHost, BypassPassesTheInputMuteSilencesItAndNormalStartsAfresh)
{
    Host h;
    h.run(noise(500, 13));
    const std::vector<float> input = noise(600, 14);

    h.set("Process_CabModule", 1.0f);
    const std::vector<float> bypassed = h.run(input);
    for (std::size_t i = 2 * kLatency; i < input.size(); ++i)
        ASSERT_EQ(bypassed[i], input[i - kLatency]) << "bypassed sample " << i;

    // The host's delay line then holds silence, as a fresh host's does.
    std::vector<float> endingQuietly = input;
    std::fill(endingQuietly.end() - kLatency, endingQuietly.end(), 0.0f);
    h.set("Process_CabModule", 2.0f);
    const std::vector<float> muted = h.run(endingQuietly);
    for (std::size_t i = kLatency; i < input.size(); ++i)
        ASSERT_EQ(muted[i], 0.0f) << "muted sample " << i;

    h.set("Process_CabModule", 0.0f);
    Host fresh;
    EXPECT_EQ(h.run(input), fresh.run(input));
}

} // namespace
