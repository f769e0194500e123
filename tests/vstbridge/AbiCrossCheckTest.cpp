// The test host, through the project's own interface header, drives a VST 2.4
// plug-in built elsewhere against the published interface: if the header put
// a field or a callback one word off, this plug-in would answer nonsense or
// crash here.

#include "VstTestHost.h"

#include <cmath>
#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

using namespace test;

// comp-delay-mono.so of Debian's lsp-plugins-vst, wherever the package put it.
std::string thirdPartyPlugIn()
{
    FILE* pipe = ::popen("dpkg -L lsp-plugins-vst 2>/dev/null", "r");
    if (!pipe)
        return {};
    std::string found;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string path(line);
        path.erase(path.find_last_not_of("\r\n") + 1);
        const std::string name = "/comp-delay-mono.so";
        if (path.size() > name.size() &&
            path.compare(path.size() - name.size(), name.size(), name) == 0)
            found = path;
    }
    ::pclose(pipe);
    return std::filesystem::exists(found) ? found : std::string();
}

TEST(AbiCrossCheckTest, aThirdPartyPlugInAnswersThroughTheProjectsHeader)
{
    const std::string path = thirdPartyPlugIn();
    if (path.empty())
        GTEST_SKIP() << "comp-delay-mono.so of lsp-plugins-vst is not installed (scripts/deps.sh "
                        "installs it)";

#if defined(__SANITIZE_ADDRESS__)
    // The package's plug-ins leave a few small blocks behind at every load;
    // they are not this project's to report.
    __lsan::ScopedDisabler foreignAllocations;
#endif
    VstHost host;
    Library library(path);
    ASSERT_TRUE(library.loaded()) << ::dlerror();
    auto pluginMain = library.entry<MainFunction>("VSTPluginMain");
    ASSERT_NE(pluginMain, nullptr) << "the package's plug-ins export VSTPluginMain only";

    Effect effect(pluginMain(&VstHost::callback));
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->magic, 0x56737450);
    EXPECT_EQ(effect->numInputs, 1);
    EXPECT_EQ(effect->numOutputs, 1);
    EXPECT_NE(effect->flags & effFlagsCanReplacing, 0);
    ASSERT_NE(effect->processReplacing, nullptr);
    effect(effOpen);
    EXPECT_FALSE(effect.text(effGetEffectName).empty());

    constexpr int kFrames = 256;
    effect(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect(effSetBlockSize, 0, kFrames);
    effect(effMainsChanged, 0, 1);
    std::vector<float> input(kFrames), output(kFrames, std::nanf(""));
    for (int i = 0; i < kFrames; ++i)
        input[static_cast<std::size_t>(i)] = 0.5f * std::sin(0.07f * static_cast<float>(i));
    float* inputs[1] = {input.data()};
    float* outputs[1] = {output.data()};
    effect->processReplacing(effect.get(), inputs, outputs, kFrames);
    for (int i = 0; i < kFrames; ++i)
        ASSERT_TRUE(std::isfinite(output[static_cast<std::size_t>(i)])) << i;
    effect(effMainsChanged, 0, 0);
    effect.close();
}

} // namespace
