// Every stomp model in every slot and every amp head play in the whole chain,
// and a model chosen through the change queue hears its own controls.
#include "ChainHelpers.h"

#include <gtest/gtest.h>

namespace {

using namespace chain;

// A value inside the range that is not the default: a named state other than
// the default, else a point a third of the way along the range.
float otherValue(const ParameterBase& p)
{
    if (!p.getStates().empty()) {
        for (const auto& [state, value] : p.getStates())
            if (value != p.getDefault())
                return value;
        return p.getDefault();
    }
    const float v = p.getMinimum() + (p.getMaximum() - p.getMinimum()) / 3.0f;
    return v != p.getDefault() ? v : p.getMinimum() + (p.getMaximum() - p.getMinimum()) * 0.6f;
}

// Each slot in turn plays each model, switched through the queue; every
// control the model has is then sent through the queue under its set-level
// name and must reach the model itself (not a model switched away that shares
// the name).
TEST(ChainModels, EveryStompModelInEverySlotPlaysAndHearsItsControls)
{
    Rig r;
    r.applyDefaults();
    const std::vector<float> x = phrase(4410);
    for (int k = 0; k < rig::kSlots; ++k) {
        for (std::size_t m = 0; m < stompModels().size(); ++m) {
            const std::string& model = stompModels()[m];
            SCOPED_TRACE("slot " + std::to_string(k) + " " + model);
            r.push(stompName("Stomp", k), static_cast<float>(m));
            r.run(64);
            ASSERT_EQ(slot(r, k).getCurrentIndex(), m);
            Module& element = *slot(r, k).getCurrentElement();
            std::vector<std::pair<std::string, float>> sent;
            for (const auto& [name, parameter] : element.getParameters()) {
                // The overdrive's "A1" and "A2" follow its "Blend".
                if (name == "Process" || name == "A1" || name == "A2" ||
                    (parameter->getFlags() & Parameter::kReadOnly))
                    continue;
                sent.emplace_back(name, otherValue(*parameter));
                r.push(stompName(name, k), sent.back().second);
            }
            const rig::Stereo y = r.run(x, {256});
            ASSERT_TRUE(allFinite(y));
            EXPECT_GT(rms(y.left), 1e-4);
            for (const auto& [name, value] : sent)
                EXPECT_EQ(element.getParameter(name).getValue(), value) << name;
            EXPECT_EQ(r.host.getParameterChanges().getUnknownCount(), 0u);
        }
        r.push(stompName("Stomp", k), 0.0f);
    }
}

TEST(ChainModels, EveryAmpAtEachDetailLevelPlaysAndHearsItsControls)
{
    struct Case {
        amps::Model model;
        float dsm;
    };
    const Case cases[] = {{amps::Model::Empty, 0},      {amps::Model::RKMClassic, 0},
                          {amps::Model::RKMClassic, 1}, {amps::Model::RE500, 0},
                          {amps::Model::RKM4Pro, 0},    {amps::Model::V9E, 0},
                          {amps::Model::V9E, 1}};
    Rig r;
    r.applyDefaults();
    r.setNow("Mix_MainMixer", 0.0f); // the amplifier path alone
    const std::vector<float> x = phrase(6615);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.model)) + " DSM " + std::to_string(c.dsm));
        r.push("Model_0_AmpModule", static_cast<float>(c.model));
        const amps::Settings settings = amps::headDefaults(c.model, c.dsm);
        for (const auto& [name, v] : settings)
            r.push(amps::ampName(name), v);
        const rig::Stereo y = r.run(x, {256});
        ASSERT_EQ(ampSelector(r).getCurrentIndex(), static_cast<std::uint32_t>(c.model));
        ASSERT_TRUE(allFinite(y));
        EXPECT_GT(rms(y.left, x.size() / 2), 1e-4);
        Module& head = *ampSelector(r).getCurrentElement();
        for (const auto& [name, v] : settings)
            EXPECT_EQ(head.getParameter(name).getValue(), v) << name;
    }
}

} // namespace
