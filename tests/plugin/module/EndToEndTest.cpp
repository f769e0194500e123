// The built module as a host meets it: loaded by path into a fresh settings
// root, reached only through its two exports and the interface tables.

#include "ModuleFixtures.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

// What a fresh rig saves.
const std::string kFreshChunk =
    "<?xml version=\"1.0\" standalone=\"no\" ?><Preset PresetName=\"\">"
    "<Amp AmpModel=\"RKM-CL\" Bypass=\"0.000000\" Mute=\"0.000000\" OutputVolume=\"1.000000\">"
    "<AmpModel Bass=\"5.078125\" Bypass=\"0.000000\" Freq=\"3.000000\" Gain=\"5.234375\" "
    "Master=\"4.921875\" Mid=\"5.000000\" Mute=\"0.000000\" Treble=\"5.703125\" "
    "UltraHi=\"0.000000\" UltraLo=\"0.000000\" /></Amp>"
    "<Cab Ambience=\"0.000000\" Bypass=\"0.000000\" CabinetMatch=\"0.000000\" "
    "CabinetModel=\"RKM-410H\" HighLevel=\"0.770000\" MicAxis=\"0.000000\" MicDist=\"0.000000\" "
    "MicModel=\"Condenser 87\" Mute=\"0.000000\" OutputPan=\"0.500000\" "
    "OutputVolume=\"1.000000\" />"
    "<Input />"
    "<Output Master=\"1.000000\" Mix=\"100.000000\" Phase=\"0.000000\" />"
    "<Stomp Bypass=\"0.000000\" Mute=\"0.000000\" OutputVolume=\"1.000000\" Stomp0=\"Empty\" "
    "Stomp1=\"Empty\" Stomp2=\"Empty\" Stomp3=\"Empty\" Stomp4=\"Empty\" Stomp5=\"Empty\" />"
    "<Tuner OutputVolume=\"1.000000\" /></Preset>";

// No "ResPath" here: the module's one complaint goes to standard error.
class EndToEndTest : public test::SettingsRootTest {
protected:
    void SetUp() override
    {
        test::SettingsRootTest::SetUp();
        testing::internal::CaptureStderr();
        ASSERT_NO_FATAL_FAILURE(library.open(BORVANRAZ_MODULE_PATH));
        plugIn = library.acquire(1, nullptr);
        ASSERT_NE(plugIn, nullptr);
        loadMessages = testing::internal::GetCapturedStderr();
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
        test::SettingsRootTest::TearDown();
    }

    std::string chunk()
    {
        void* data = nullptr;
        const std::int32_t size = process->getChunk(process, &data);
        return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
    }

    test::ModuleLibrary library;
    Zq::DUZ2::PlugInTable* plugIn = nullptr;
    Zq::DUZ2::ProcessTable* process = nullptr;
    std::string loadMessages;
    test::RecordingHost host;
};

TEST_F(EndToEndTest, aFreshProcessorAsAHostSeesIt)
{
    EXPECT_EQ(loadMessages,
              "Registry error: Please ensure this product has been installed properly\n");
    std::int32_t dsmActive = -1;
    ASSERT_TRUE(platform::readRegistryNumber("BorvanQom", "DSMActive", dsmActive));
    EXPECT_EQ(dsmActive, 1);

    EXPECT_STREQ(process->getName(process), "BorvanQom");
    EXPECT_STREQ(process->getVendor(process), "Zq Sonware Production");
    EXPECT_EQ(process->getFlags(process), 0);
    EXPECT_EQ(process->getNumInputs(process), 2);
    EXPECT_EQ(process->getNumOutputs(process), 2);
    EXPECT_EQ(chunk(), kFreshChunk);
    process->releaseChunk(process);

    ASSERT_EQ(process->getNumParameters(process), 107);
    EXPECT_STREQ(process->getParameterName(process, 0), "Master Level");
    EXPECT_STREQ(process->getParameterName(process, 5), "Analog Chorus Bypass");
    EXPECT_STREQ(process->getParameterName(process, 42), "Amp GN-500 Pad");
    EXPECT_STREQ(process->getParameterName(process, 106), "Cab Output Volume");
}

// The module's default rig (the RKM Classic, detail as the preference says)
// starts on its rest: silence in, silence out from the first sample after the
// four samples of latency, at the common host rates.
TEST_F(EndToEndTest, aFreshProcessorFedSilencePutsOutSilence)
{
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        SCOPED_TRACE(testing::Message() << rate << " Hz");
        Zq::DUZ2::ProcessTable* fresh = plugIn->createProcess(plugIn, host.getHostTable(), 0);
        ASSERT_NE(fresh, nullptr);
        fresh->setBlockSize(fresh, 512);
        fresh->setSampleRate(fresh, rate);
        fresh->resume(fresh);
        std::vector<float> silence(512, 0.0f), left(512), right(512);
        float peak = 0.0f;
        const int frames = static_cast<int>(rate) + 4;
        for (int done = 0; done < frames; done += 512) {
            const int n = std::min(512, frames - done);
            float* ins[2] = {silence.data(), silence.data()};
            float* outs[2] = {left.data(), right.data()};
            fresh->process(fresh, ins, outs, n, nullptr);
            for (int i = done == 0 ? 4 : 0; i < n; ++i)
                peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
        }
        EXPECT_LE(peak, 1e-6f);
        fresh->suspend(fresh);
        plugIn->destroyProcess(plugIn, fresh);
    }
}

TEST_F(EndToEndTest, aSessionPlaysFollowsTheTempoAndReportsWhatALoadChanged)
{
    process->setNumInputChannels(process, 2);
    process->setNumOutputChannels(process, 2);
    process->setBlockSize(process, 256);
    process->setSampleRate(process, 48000.0f);
    process->resume(process);
    process->startProcess(process);

    // A quarter-note delay, synchronised, in the third slot.
    const std::string delay = "<Preset PresetName=\"Echo\"><Stomp Stomp2=\"MemoryMan\">"
                              "<Stomp2 BPM=\"1\" DelayBPM=\"7\" /></Stomp></Preset>";
    host.changes.clear();
    process->setChunk(process, delay.data(), static_cast<std::int32_t>(delay.size()));
    host.tempo = 120.0f;

    std::vector<float> left(256), right(256), outLeft(256), outRight(256);
    double energy = 0.0;
    bool finite = true;
    for (int block = 0; block < 40; ++block) {
        for (int i = 0; i < 256; ++i)
            left[i] = right[i] =
                0.5f * std::sin(2.0f * 3.14159265f * 110.0f * float(block * 256 + i) / 48000.0f);
        float* ins[2] = {left.data(), right.data()};
        float* outs[2] = {outLeft.data(), outRight.data()};
        process->process(process, ins, outs, 256, nullptr);
        for (int i = 0; i < 256; ++i) {
            finite = finite && std::isfinite(outLeft[i]) && std::isfinite(outRight[i]);
            energy += double(outLeft[i]) * outLeft[i] + double(outRight[i]) * outRight[i];
        }
    }
    EXPECT_TRUE(finite);
    EXPECT_GT(energy, 1.0);

    EXPECT_STREQ(process->getParameterDisplay(process, 17), "Off");
    EXPECT_STREQ(process->getParameterDisplay(process, 18), "500.0 ms");
    std::set<int> told;
    for (const auto& change : host.changes)
        told.insert(change.index);
    for (int index = 17; index <= 24; ++index)
        EXPECT_EQ(told.count(index), 1u) << index;
    const std::string saved = chunk();
    EXPECT_NE(saved.find("PresetName=\"Echo\""), std::string::npos);
    EXPECT_NE(saved.find("Stomp2=\"MemoryMan\""), std::string::npos);

    process->stopProcess(process);
    process->suspend(process);
}

} // namespace
