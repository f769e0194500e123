// What every processor of the process shares: the cabinet's responses and the spectra they are
// made from are built once and read by all, and outlive the processors that built them.

#include "ProcessorFixtures.h"

#include "engine/host/ModuleHost.h"
#include "models/cabinet/CabinetBorvan.h"
#include "models/cabinet/ImpulseSets.h"
#include "plugin/engine/EngineFacade.h"
#include "plugin/engine/Main.h"

#include <vector>

namespace {

using test::Processor;
using Cabinet = AudioEngine::CabinetBorvan<AudioEngine::BorvanQom::WooferSetTraits,
                                           AudioEngine::BorvanQom::TweeterSetTraits>;

const Cabinet& cabinetOf(Processor& p)
{
    auto& set = p.processor.getEngine().getFacade()->getModuleHost().getModuleSet();
    return dynamic_cast<const Cabinet&>(set.getSubModule("CabModule"));
}

void start(Processor& p)
{
    p->setSampleRate(p.t, 48000.0f);
    p->setBlockSize(p.t, 256);
    p->resume(p.t);
}

TEST(SharedTables, ProcessorsShareTheCabinetResponsesAndALaterOneSoundsTheSame)
{
    const std::vector<float> input = test::noise(48000 / 4, 58, 0.5f);
    std::vector<float> firstLeft, firstRight;
    const float* woofer = nullptr;
    const float* tweeter = nullptr;
    std::uint64_t forward = 0;
    {
        Processor a, b;
        start(a);
        start(b);
        forward = AudioEngine::BorvanQom::ImpulseSetBase::getForwardTransformCount();
        const Cabinet& ca = cabinetOf(a);
        const Cabinet& cb = cabinetOf(b);
        woofer = ca.getWooferSet().getPreparedResponse(0);
        tweeter = ca.getTweeterSet().getPreparedResponse(0);
        EXPECT_EQ(cb.getWooferSet().getPreparedResponse(0), woofer);
        EXPECT_EQ(cb.getTweeterSet().getPreparedResponse(0), tweeter);
        EXPECT_EQ(cb.getWooferResponse(), ca.getWooferResponse());
        a.run(input, firstLeft, firstRight, 256);
    }
    Processor c;
    start(c);
    EXPECT_EQ(cabinetOf(c).getWooferSet().getPreparedResponse(0), woofer);
    EXPECT_EQ(cabinetOf(c).getTweeterSet().getPreparedResponse(0), tweeter);
    std::vector<float> left, right;
    c.run(input, left, right, 256);
    EXPECT_EQ(left, firstLeft);
    EXPECT_EQ(right, firstRight);
    EXPECT_EQ(AudioEngine::BorvanQom::ImpulseSetBase::getForwardTransformCount(), forward)
        << "the spectra outlive the processors that made them";
}

} // namespace
