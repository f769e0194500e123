#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace platform;

TEST(MessageBox, TheInstallErrorReachesTheInstalledHandler)
{
    std::vector<std::tuple<std::string, std::string, int>> shown;
    MessageHandler previous =
        setMessageHandler([&](const std::string& text, const std::string& caption, int kind) {
            shown.emplace_back(text, caption, kind);
            return true;
        });
    showInstallError();
    setMessageHandler(previous);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0],
              std::make_tuple(std::string("Please ensure this product has been installed properly"),
                              std::string("Registry error"), 0));
}

TEST(MessageBox, TheDefaultPrintsOneLineAndAnswersCautiously)
{
    setMessageHandler(nullptr);
    const struct {
        int kind;
        bool answer;
    } cases[] = {{0, true}, {1, false}, {2, false}};
    for (const auto& c : cases) {
        ::testing::internal::CaptureStderr();
        const bool answer = showMessage("Overwrite?", "Preset", c.kind);
        const std::string printed = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(answer, c.answer) << "kind " << c.kind;
        EXPECT_EQ(printed, "Preset: Overwrite?\n");
    }
}
