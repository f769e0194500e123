// A processor fed silence puts out silence from the first sample after its
// latency: every head at every level of detail and power mode, at the common
// host rates, fresh and after its head has been reset. Every stage starts on
// its operating point at rest, so nothing settles audibly at a start.

#include "ProcessorFixtures.h"

#include "platform/CriticalSection.h"
#include "plugin/rig/AmpModels.h"

#include <algorithm>
#include <string>
#include <tuple>

namespace {

using test::Processor;
using namespace Zq::BorvanRAZ::Document;

constexpr int kLatency = 4;
constexpr int kBlock = 512;
constexpr float kSilence = 1e-6f;

// The document's head numbers.
enum Head { RE500 = 0, V9E = 1, RKMClassic = 2, RKM4Pro = 3 };

struct HeadSetup {
    Head head;
    float dsm;
    float watts; // the V9E's power mode: 0 50 W, 1 100 W
    const char* name;
};

constexpr HeadSetup kSetups[] = {
    {RKMClassic, 0, 1, "RKMClassic_DSM0"},
    {RKMClassic, 1, 1, "RKMClassic_DSM1"},
    {RE500, 0, 1, "RE500"},
    {RKM4Pro, 0, 1, "RKM4Pro"},
    {V9E, 0, 0, "V9E_50W_DSM0"},
    {V9E, 1, 0, "V9E_50W_DSM1"},
    {V9E, 0, 1, "V9E_100W_DSM0"},
    {V9E, 1, 1, "V9E_100W_DSM1"},
};

void choose(Processor& p, Head head, const HeadSetup* setup = nullptr)
{
    auto& rig = p.processor.getDocument();
    platform::ScopedEnter guard(*rig.getLock());
    auto& amp = rig.getAmpModule();
    amp.ampModel.setValue(static_cast<float>(head), true);
    if (!setup)
        return;
    if (auto* tube = dynamic_cast<TubeAmpModel*>(amp.getAmpModel()))
        tube->dsmActive.setValue(setup->dsm, true);
    if (auto* v9e = dynamic_cast<AmpV9E*>(amp.getAmpModel()))
        v9e->watts.setValue(setup->watts, true);
}

// The largest magnitude on either channel from sample `from` on.
float peak(const std::vector<float>& left, const std::vector<float>& right, std::size_t from)
{
    float p = 0.0f;
    for (std::size_t i = from; i < left.size(); ++i)
        p = std::max({p, std::fabs(left[i]), std::fabs(right[i])});
    return p;
}

class SilentStart : public testing::TestWithParam<std::tuple<float, HeadSetup>> {};

TEST_P(SilentStart, SilenceInGivesSilenceOutFreshAndAfterAReset)
{
    const auto& [rate, s] = GetParam();
    const auto second = static_cast<std::size_t>(rate);
    const std::vector<float> silence(second + kLatency, 0.0f);
    Processor p;
    p->setSampleRate(p.t, rate);
    p->setBlockSize(p.t, kBlock);
    choose(p, s.head, &s);
    p->resume(p.t);

    std::vector<float> left, right;
    p.run(silence, left, right, kBlock);
    EXPECT_LE(peak(left, right, kLatency), kSilence) << "fresh";

    // A note, then another head while the cabinet's tail dies away; coming
    // back resets the head.
    test::Sine tone{110.0, rate, 0.5f};
    p.run(tone.next(static_cast<int>(second / 10)), left, right, kBlock);
    ASSERT_GT(peak(left, right, 0), 1e-2f) << "the note sounds";
    choose(p, s.head == RE500 ? RKM4Pro : RE500);
    p.run(std::vector<float>(second / 2, 0.0f), left, right, kBlock);
    choose(p, s.head);
    p.run(silence, left, right, kBlock);
    EXPECT_LE(peak(left, right, 0), kSilence) << "after a reset";
}

INSTANTIATE_TEST_SUITE_P(EveryHeadAndRate, SilentStart,
                         testing::Combine(testing::Values(44100.0f, 48000.0f, 96000.0f),
                                          testing::ValuesIn(kSetups)),
                         [](const testing::TestParamInfo<std::tuple<float, HeadSetup>>& info) {
                             std::string name =
                                 std::string(std::get<1>(info.param).name) + " " +
                                 std::to_string(static_cast<int>(std::get<0>(info.param)));
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

} // namespace
