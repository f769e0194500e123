#include "StressFixtures.h"

#include "platform/Settings.h"
#include "plugin/module/Process.h"
#include "plugin/rig/Rig.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numbers>

namespace {

// The module builds its plug-in object and its preferences while it loads,
// that is before main: the settings root must be a private one by then.
__attribute__((constructor(101))) void useAPrivateSettingsRoot()
{
    char pattern[] = "/tmp/zq-stress-XXXXXX";
    if (!::mkdtemp(pattern))
        return;
    ::setenv("ZQ_SETTINGS_ROOT", pattern, 1);
    platform::writeRegistryString("BorvanQom", "ResPath", pattern);
}

class SettingsRootCleanup : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (const char* root = std::getenv("ZQ_SETTINGS_ROOT")) {
            std::error_code ignored;
            std::filesystem::remove_all(root, ignored);
        }
    }
};

[[maybe_unused]] ::testing::Environment* const cleanup =
    ::testing::AddGlobalTestEnvironment(new SettingsRootCleanup);

} // namespace

namespace test {

void StressHost::onParameterChanged(std::int32_t index, float plain, float normalized)
{
    changes.fetch_add(1, std::memory_order_relaxed);
    if (index < 0 || index >= kParameterCount || !std::isfinite(plain) ||
        !std::isfinite(normalized))
        badChanges.fetch_add(1, std::memory_order_relaxed);
}

ModuleUse::ModuleUse()
{
    std::int32_t served = 0;
    plugIn_ = DUZ2Acquire(1, &served);
    EXPECT_NE(plugIn_, nullptr);
    EXPECT_EQ(served, 1);
}

ModuleUse::~ModuleUse()
{
    if (plugIn_)
        DUZ2Release();
}

Zq::DUZ2::ProcessTable* ModuleUse::create(Zq::DUZ2::HostTable* host)
{
    Zq::DUZ2::ProcessTable* process = plugIn_->createProcess(plugIn_, host, 0);
    EXPECT_NE(process, nullptr);
    return process;
}

void ModuleUse::destroy(Zq::DUZ2::ProcessTable* process)
{
    plugIn_->destroyProcess(plugIn_, process);
}

Zq::BorvanRAZ::Process& processorOf(Zq::DUZ2::ProcessTable* table)
{
    auto* process = dynamic_cast<Zq::BorvanRAZ::Process*>(Zq::DUZ2::Process::find(table));
    if (!process)
        throw std::logic_error("not a living processor");
    return *process;
}

std::string chunkOf(Zq::DUZ2::ProcessTable* process)
{
    void* data = nullptr;
    const std::int32_t size = process->getChunk(process, &data);
    std::string text;
    if (data && size > 0)
        text.assign(static_cast<const char*>(data), static_cast<std::size_t>(size));
    process->releaseChunk(process);
    return text;
}

void loadChunk(Zq::DUZ2::ProcessTable* process, const std::string& text)
{
    process->setChunk(process, text.data(), static_cast<std::int32_t>(text.size()));
}

std::string freshChunk()
{
    Zq::BorvanRAZ::Document::Rig rig;
    return rig.saveChunk();
}

const std::string& fullRigChunk()
{
    static const std::string text =
        "<?xml version=\"1.0\" standalone=\"no\" ?><Preset PresetName=\"Full rig\">"
        "<Amp AmpModel=\"RKM-4 PRO\" OutputVolume=\"1.2\">"
        "<AmpModel Gain=\"7.5\" Bass=\"6\" Mid=\"4\" Treble=\"6.5\" Master=\"5.5\" /></Amp>"
        "<Cab Ambience=\"6.000000\" CabinetModel=\"RKM-410H\" MicModel=\"Condenser 87\" "
        "HighLevel=\"0.6\" />"
        "<Output Master=\"1.000000\" Mix=\"100.000000\" Phase=\"0.000000\" />"
        "<Stomp Stomp0=\"Compressor\" Stomp1=\"EnvelopeFilter\" Stomp2=\"Octaver\" "
        "Stomp3=\"Overdrive\" Stomp4=\"CE-1\" Stomp5=\"MemoryMan\">"
        "<Stomp0 Sensitivity=\"7\" /><Stomp1 Depth=\"80\" Reso=\"5\" /><Stomp2 Octave=\"6\" />"
        "<Stomp3 Texture=\"6\" /><Stomp4 Chorus=\"5\" /><Stomp5 Delay=\"300\" Feedback=\"50\" "
        "Blend=\"40\" BPM=\"1\" DelayBPM=\"5\" />"
        "</Stomp><Tuner OutputVolume=\"1.000000\" /></Preset>";
    return text;
}

const std::vector<std::string>& switchingChunks()
{
    auto chunk = [](const char* name, const char* amp, const char* stomps) {
        return std::string("<?xml version=\"1.0\" standalone=\"no\" ?><Preset PresetName=\"") +
               name + "\"><Amp AmpModel=\"" + amp + "\" /><Stomp " + stomps + " /></Preset>";
    };
    static const std::vector<std::string> chunks = {
        chunk("Delay and two compressors", "GN-500",
              "Stomp0=\"MemoryMan\" Stomp1=\"Compressor\" Stomp2=\"Empty\" Stomp3=\"Compressor\" "
              "Stomp4=\"Empty\" Stomp5=\"Empty\""),
        chunk(
            "Empty", "RKM-4 PRO",
            "Stomp0=\"Empty\" Stomp1=\"Empty\" Stomp2=\"Empty\" Stomp3=\"Empty\" Stomp4=\"Empty\" "
            "Stomp5=\"Empty\""),
        chunk("Two delays", "Q-9R",
              "Stomp0=\"Compressor\" Stomp1=\"MemoryMan\" Stomp2=\"Empty\" Stomp3=\"Empty\" "
              "Stomp4=\"MemoryMan\" Stomp5=\"Compressor\""),
        chunk("Moved", "RKM-CL",
              "Stomp0=\"Empty\" Stomp1=\"Compressor\" Stomp2=\"MemoryMan\" Stomp3=\"Empty\" "
              "Stomp4=\"Empty\" Stomp5=\"MemoryMan\""),
        fullRigChunk(),
    };
    return chunks;
}

void expectParametersInRange(Zq::DUZ2::ProcessTable* t)
{
    ASSERT_EQ(t->getNumParameters(t), kParameterCount);
    for (int i = 0; i < kParameterCount; ++i) {
        SCOPED_TRACE(testing::Message() << "parameter " << i << " " << t->getParameterName(t, i));
        EXPECT_STRNE(t->getParameterName(t, i), "");
        const float normalized = t->getParameterNormalized(t, i);
        const float plain = t->getParameterValue(t, i);
        EXPECT_TRUE(normalized >= 0.0f && normalized <= 1.0f) << normalized;
        ASSERT_TRUE(std::isfinite(plain)) << plain;
        const float low = t->convertNormalizedToPlain(t, i, 0.0f);
        const float high = t->convertNormalizedToPlain(t, i, 1.0f);
        // The converter's ends are the range's up to its rounding.
        const float slack = 1e-5f * std::max(1.0f, std::max(std::abs(low), std::abs(high)));
        EXPECT_GE(plain, std::min(low, high) - slack);
        EXPECT_LE(plain, std::max(low, high) + slack);
        const std::string display = t->getParameterDisplay(t, i);
        EXPECT_EQ(display.find("nan"), std::string::npos) << display;
    }
}

namespace {

void expectFiniteNumbers(const TiXmlElement& element)
{
    for (const TiXmlAttribute* a = element.FirstAttribute(); a; a = a->Next()) {
        if (std::string(a->Name()) == "PresetName")
            continue;
        const std::string text = a->ValueStr();
        char* end = nullptr;
        const double number = std::strtod(text.c_str(), &end);
        if (end != text.c_str() && *end == '\0') {
            EXPECT_TRUE(std::isfinite(number) && std::abs(number) < 1e7)
                << element.ValueStr() << " " << a->Name() << "=" << text;
        }
    }
    for (const TiXmlElement* child = element.FirstChildElement(); child;
         child = child->NextSiblingElement())
        expectFiniteNumbers(*child);
}

} // namespace

void expectChunkInRange(const std::string& chunk)
{
    TiXmlDocument parsed;
    parsed.Parse(chunk.c_str());
    ASSERT_FALSE(parsed.Error()) << parsed.ErrorDesc() << "\n" << chunk;
    ASSERT_NE(parsed.RootElement(), nullptr);
    expectFiniteNumbers(*parsed.RootElement());

    Zq::BorvanRAZ::Document::Rig rig;
    rig.loadChunk(chunk.data(), static_cast<std::int32_t>(chunk.size()));
    EXPECT_EQ(rig.saveChunk(), chunk) << "a value outside its range or an unknown name";
}

Watchdog::Watchdog(const std::atomic<long>& progress, std::chrono::seconds limit)
    : thread_([this, &progress, limit] {
          long seen = progress.load();
          auto lastMove = std::chrono::steady_clock::now();
          while (!done_.load()) {
              std::this_thread::sleep_for(std::chrono::milliseconds(50));
              const long now = progress.load();
              if (now != seen) {
                  seen = now;
                  lastMove = std::chrono::steady_clock::now();
              } else if (std::chrono::steady_clock::now() - lastMove > limit) {
                  std::fprintf(stderr, "Watchdog: no progress for %lld s, the run is stuck\n",
                               static_cast<long long>(limit.count()));
                  std::fflush(stderr);
                  std::abort();
              }
          }
      })
{
}

Watchdog::~Watchdog()
{
    done_.store(true);
    thread_.join();
}

bool allFinite(const float* samples, int frames)
{
    for (int i = 0; i < frames; ++i)
        if (!std::isfinite(samples[i]))
            return false;
    return true;
}

} // namespace test
