// The chain fixture against the built module: what the tests and the golden
// outputs call "the rig at start-up" is what a fresh processor plays.

#include "ModuleFixtures.h"

#include "tools/golden/Golden.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

class FreshRigTest : public test::PlugInTest {
protected:
    void SetUp() override
    {
        test::PlugInTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(library.open(BORVANRAZ_MODULE_PATH));
        plugIn = library.acquire(1, nullptr);
        ASSERT_NE(plugIn, nullptr);
        process = plugIn->createProcess(plugIn, host.getHostTable(), 0);
        ASSERT_NE(process, nullptr);
    }
    void TearDown() override
    {
        if (plugIn) {
            plugIn->destroyProcess(plugIn, process);
            library.release();
        }
        library.close();
        test::PlugInTest::TearDown();
    }

    // The module's render of a mono input, in host blocks of `block` frames.
    rig::Stereo render(const std::vector<float>& input, std::int32_t block)
    {
        process->setNumInputChannels(process, 1);
        process->setNumOutputChannels(process, 2);
        process->setBlockSize(process, block);
        process->setSampleRate(process, 44100.0f);
        process->resume(process);
        process->startProcess(process);
        rig::Stereo y{std::vector<float>(input.size()), std::vector<float>(input.size())};
        for (std::size_t done = 0; done < input.size();) {
            const auto n = static_cast<std::int32_t>(
                std::min<std::size_t>(static_cast<std::size_t>(block), input.size() - done));
            std::vector<float> in(input.begin() + static_cast<std::ptrdiff_t>(done),
                                  input.begin() + static_cast<std::ptrdiff_t>(done) + n);
            float* ins[] = {in.data()};
            float* outs[] = {y.left.data() + done, y.right.data() + done};
            process->process(process, ins, outs, n, nullptr);
            done += static_cast<std::size_t>(n);
        }
        return y;
    }

    test::ModuleLibrary library;
    Zq::DUZ2::PlugInTable* plugIn = nullptr;
    Zq::DUZ2::ProcessTable* process = nullptr;
    test::RecordingHost host;
};

// The fixture takes its start-up values from the rig document through the
// engine units; a fresh processor gets the same values through the same
// units, with the detail level a first run stores. Both then play the golden
// phrase from rest in host blocks of 256.
TEST_F(FreshRigTest, theFixturePlaysWhatAFreshProcessorPlays)
{
    constexpr std::uint32_t kBlock = 256;
    const std::vector<float> input = golden::phrase(44100.0, 13230);
    const rig::Stereo fresh = render(input, kBlock);

    rig::Rig fixture;
    fixture.applyDefaults();
    const rig::Stereo y = fixture.run(input, {kBlock});

    float peak = 0.0f, worst = 0.0f;
    std::size_t where = 0;
    for (std::size_t i = rig::kLatency; i < input.size(); ++i)
        for (const auto& [a, b] :
             {std::pair{fresh.left[i], y.left[i]}, std::pair{fresh.right[i], y.right[i]}}) {
            peak = std::max(peak, std::fabs(a));
            if (std::fabs(a - b) > worst) {
                worst = std::fabs(a - b);
                where = i;
            }
        }
    ASSERT_GT(peak, 0.01f) << "the fresh processor plays";
    EXPECT_LE(worst, 1e-6f) << "frame " << where << ": module " << fresh.left[where] << "/"
                            << fresh.right[where] << ", fixture " << y.left[where] << "/"
                            << y.right[where];
}

} // namespace
