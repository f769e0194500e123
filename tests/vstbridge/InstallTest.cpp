// The install command as a new user runs it after a build: into a fresh VST
// folder and settings root, a host then loads the installed bridge by path and
// plays through it; a second run changes nothing; with the module gone the
// host gets the install error and no effect.

#include "VstTestHost.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <numbers>

namespace {

using namespace test;

// Every file and folder under a root, by relative path, with its content and
// permission bits.
std::map<std::string, std::string> snapshot(const std::filesystem::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).string();
        const auto perms = static_cast<int>(entry.status().permissions());
        if (entry.is_directory()) {
            files[name] = "folder " + std::to_string(perms);
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        files[name] = std::to_string(perms) + " " + content.str();
    }
    return files;
}

class InstallTest : public SettingsRootTest {
protected:
    void SetUp() override
    {
        SettingsRootTest::SetUp();
        vst = root / "vst folder";
    }

    // The script against this build's outputs; its exit status.
    int install()
    {
        const std::string command = "RIG_BUILD_DIR='" + std::string(RIG_BUILD_DIR) + "' '" +
                                    INSTALL_SCRIPT + "' '" + vst.string() + "' > /dev/null";
        return std::system(command.c_str());
    }

    std::string setting(const char* key, const char* name)
    {
        std::string value;
        EXPECT_TRUE(platform::readRegistryString(key, name, value)) << key << " " << name;
        return value;
    }

    std::filesystem::path vst;
    VstHost host;
};

TEST_F(InstallTest, anInstalledBridgeLoadsTheInstalledModuleAndPlaysATone)
{
    ASSERT_EQ(install(), 0);
    EXPECT_EQ(setting("Carapace", "DUZ2Path"), (vst / "Zq_BorvanRAZ.raz").string());
    EXPECT_EQ(setting("Carapace", "VstID"), "Bv01");
    for (const char* name : {"ResPath", "PresetPath"}) {
        const std::filesystem::path folder = setting("BorvanQom", name);
        EXPECT_EQ(folder.parent_path().parent_path(), vst) << name;
        EXPECT_TRUE(std::filesystem::is_directory(folder)) << name;
    }
    // The two libraries, the empty preset folder, the resource folder holding
    // the built skin as it is, the four values: nothing else.
    std::map<std::string, std::string> expected;
    for (const auto& [name, content] : snapshot(SKIN_DIR))
        expected["BorvanQom/Resources/" + name] = content.substr(content.find(' '));
    const std::size_t skinFiles = expected.size();
    ASSERT_GT(skinFiles, 0u);
    std::vector<std::string> names;
    for (const auto& [name, content] : snapshot(vst)) {
        if (name.starts_with("BorvanQom/Resources/")) {
            EXPECT_EQ(content.substr(content.find(' ')), expected[name]) << name;
            expected.erase(name);
        } else {
            names.push_back(name);
        }
    }
    EXPECT_TRUE(expected.empty()) << expected.size() << " skin files were not installed";
    EXPECT_EQ(names,
              (std::vector<std::string>{"BorvanQom", "BorvanQom/Presets", "BorvanQom/Resources",
                                        "Carapace.so", "Zq_BorvanRAZ.raz"}));
    EXPECT_EQ(filesUnderRoot(), 2u + skinFiles + 4u);

    Library bridge((vst / "Carapace.so").string());
    ASSERT_TRUE(bridge.loaded()) << ::dlerror();
    Effect effect(bridge.entry<MainFunction>("VSTPluginMain")(&VstHost::callback));
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->numParams, 107);
    EXPECT_EQ(effect->uniqueID, fourCharacterCode('B', 'v', '0', '1'));

    constexpr int kFrames = 512;
    effect(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect(effSetBlockSize, 0, kFrames);
    effect(effMainsChanged, 0, 1);
    std::vector<float> tone(kFrames), left(kFrames), right(kFrames);
    for (int i = 0; i < kFrames; ++i)
        tone[i] = 0.25f * std::sin(2.0f * std::numbers::pi_v<float> * 110.0f * i / 44100.0f);
    float* inputs[2] = {tone.data(), tone.data()};
    float* outputs[2] = {left.data(), right.data()};
    effect->processReplacing(effect.get(), inputs, outputs, kFrames);
    effect(effMainsChanged, 0, 0);
    float peak = 0.0f;
    for (int i = 0; i < kFrames; ++i)
        peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    EXPECT_GT(peak, 1e-3f);
}

TEST_F(InstallTest, aSecondRunGivesTheSameFiles)
{
    ASSERT_EQ(install(), 0);
    const auto installed = snapshot(vst);
    const auto settings = snapshot(root / "Zq Sonware");
    ASSERT_EQ(install(), 0);
    EXPECT_EQ(snapshot(vst), installed);
    EXPECT_EQ(snapshot(root / "Zq Sonware"), settings);
}

TEST_F(InstallTest, withTheModuleRemovedTheBridgeShowsTheInstallErrorAndGivesNoEffect)
{
    ASSERT_EQ(install(), 0);
    std::filesystem::remove(vst / "Zq_BorvanRAZ.raz");
    Library bridge((vst / "Carapace.so").string());
    ASSERT_TRUE(bridge.loaded()) << ::dlerror();
    CapturedStderr errors;
    EXPECT_EQ(bridge.entry<MainFunction>("VSTPluginMain")(&VstHost::callback), nullptr);
    const std::string text = errors.text();
    EXPECT_EQ(CapturedStderr::count(text, "plug-in loader: cannot load the module"), 1) << text;
    EXPECT_EQ(CapturedStderr::count(text, kInstallError), 1) << text;
    EXPECT_EQ(CapturedStderr::count(text, "Error: Can't load RAZ"), 1) << text;
}

} // namespace
