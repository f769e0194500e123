// Loading the bridge as hosts do: its exports, its settings key, its unique
// identifier, and what a broken installation or a host that is not a VST 2
// host gets.

#include "VstTestHost.h"

#include <cstdio>
#include <set>

namespace {

using namespace test;
using CreateFunction = Zq::Carapace::AudioEffect* (*)(HostCallback);

using LoadingTest = BridgeTest;

TEST_F(LoadingTest, bothMainEntriesGiveAnEffectWithTheConfiguredUniqueId)
{
    struct Case {
        const char* entry;
        const char* vstId; // null: no "VstID" at all
        std::int32_t uniqueId;
    };
    for (const Case& c :
         {Case{"VSTPluginMain", "Bv01", 0x42763031}, Case{"main", "Bv01", 0x42763031},
          Case{"VSTPluginMain", "Bv01xyz", 0x42763031}, Case{"main", "Bv", 0x6E6F6E65},
          Case{"VSTPluginMain", "", 0x6E6F6E65}, Case{"VSTPluginMain", nullptr, 0x6E6F6E65}}) {
        SCOPED_TRACE(std::string(c.entry) + " VstID " + (c.vstId ? c.vstId : "(none)"));
        std::filesystem::remove(root / "Zq Sonware" / "Carapace" / "VstID");
        if (c.vstId)
            platform::writeRegistryString("Carapace", "VstID", c.vstId);
        auto entry = bridge->entry<MainFunction>(c.entry);
        ASSERT_NE(entry, nullptr);
        Effect effect(entry(&VstHost::callback));
        ASSERT_TRUE(effect);
        EXPECT_EQ(effect->magic, 0x56737450);
        EXPECT_EQ(effect->uniqueID, c.uniqueId);
    }
}

TEST_F(LoadingTest, createEffectInstanceGivesTheEffectObjectWhoseRecordClosesIt)
{
    auto create = bridge->entry<CreateFunction>("createEffectInstance");
    ASSERT_NE(create, nullptr);
    Zq::Carapace::AudioEffect* object = create(&VstHost::callback);
    ASSERT_NE(object, nullptr);
    Effect effect(recordOf(object));
    EXPECT_EQ(effect->object, static_cast<void*>(object));
    EXPECT_EQ(effect->uniqueID, 0x42763031);
    EXPECT_EQ(effect(effIdentify), 0x4E764566);
}

TEST_F(LoadingTest, aRenamedCopyReadsTheSettingsKeyOfItsOwnFileName)
{
    std::filesystem::remove_all(root / "Zq Sonware" / "Carapace");
    platform::writeRegistryString("Rig Amp", "DUZ2Path", BORVANRAZ_MODULE_PATH);
    platform::writeRegistryString("Rig Amp", "VstID", "RgA1");
    const auto copy = root / "plugins" / "Rig Amp.so";
    std::filesystem::create_directories(copy.parent_path());
    std::filesystem::copy_file(CARAPACE_PATH, copy);

    Library renamed(copy.string());
    ASSERT_TRUE(renamed.loaded()) << ::dlerror();
    Effect effect(renamed.entry<MainFunction>("VSTPluginMain")(&VstHost::callback));
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->uniqueID, fourCharacterCode('R', 'g', 'A', '1'));

    // The original, named Carapace, finds nothing under its key.
    CapturedStderr errors;
    EXPECT_EQ(open(), nullptr);
    EXPECT_EQ(CapturedStderr::count(errors.text(), kInstallError), 1);
}

TEST_F(LoadingTest, withoutTheModulePathEveryExportAnswersNullAfterOneInstallError)
{
    std::filesystem::remove(root / "Zq Sonware" / "Carapace" / "DUZ2Path");
    auto create = bridge->entry<CreateFunction>("createEffectInstance");
    for (const char* entry : {"VSTPluginMain", "main", "createEffectInstance"}) {
        SCOPED_TRACE(entry);
        CapturedStderr errors;
        void* result =
            std::string(entry) == "createEffectInstance"
                ? static_cast<void*>(create(&VstHost::callback))
                : static_cast<void*>(bridge->entry<MainFunction>(entry)(&VstHost::callback));
        const std::string text = errors.text();
        EXPECT_EQ(result, nullptr);
        EXPECT_EQ(CapturedStderr::count(text, kInstallError), 1) << text;
        EXPECT_EQ(CapturedStderr::count(text, "Error: Can't load RAZ"), 1) << text;
    }
}

TEST_F(LoadingTest, aHostThatAnswersNoVersionGetsNothingAndLoadsNothing)
{
    host.version = 0;
    CapturedStderr errors;
    EXPECT_EQ(bridge->entry<MainFunction>("main")(&VstHost::callback), nullptr);
    EXPECT_EQ(bridge->entry<MainFunction>("VSTPluginMain")(&VstHost::callback), nullptr);
    EXPECT_EQ(bridge->entry<MainFunction>("main")(nullptr), nullptr);
    EXPECT_EQ(errors.text(), "");
}

TEST_F(LoadingTest, onlyTheThreeEntriesAreDefinedInTheDynamicSymbolTable)
{
    const std::string command = std::string("nm -D --defined-only '") + CARAPACE_PATH + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        const auto last = text.find_last_of(' ');
        names.insert(text.substr(last + 1, text.find_last_not_of("\r\n") - last));
    }
    ASSERT_EQ(::pclose(pipe), 0);
    EXPECT_EQ(names, (std::set<std::string>{"VSTPluginMain", "main", "createEffectInstance"}));
}

} // namespace
