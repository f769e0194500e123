#include "WindowFixture.h"

#include "host/app/vphoBpmSetup.h"

namespace {

class TempoSetupTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        installStub();
        storeSettings();
        openWindow();
        setup = std::make_unique<vphoBpmSetup>(*window);
        setup->open();
    }
    std::int32_t storedTempo()
    {
        std::int32_t value = -1;
        platform::readRegistryNumber("BorvanQom", "Host.CurrentBmp", value);
        return value;
    }
    std::unique_ptr<vphoBpmSetup> setup;
};

TEST_F(TempoSetupTest, okayTakesOnlyAPositiveTempo)
{
    EXPECT_EQ(setup->field, "120.00");
    const struct {
        const char* typed;
        float tempo;
    } cases[] = {{"120.5", 120.5f}, {"", 120.5f},  {".", 120.5f},   {"0", 120.5f},
                 {"0.0", 120.5f},   {"95", 95.0f}, {"7.25", 7.25f}, {"abc98", 98.0f}};
    for (const auto& c : cases) {
        setup->open();
        setup->field.clear();
        for (const char* p = c.typed; *p; ++p)
            setup->typeCharacter(*p);
        setup->okay();
        EXPECT_FLOAT_EQ(window->getTempo(), c.tempo) << '"' << c.typed << '"';
        EXPECT_FLOAT_EQ(stub->askTempo(), c.tempo) << "the plug-in reads it";
        EXPECT_EQ(storedTempo(), static_cast<std::int32_t>(c.tempo * 1000.0f)) << "saved at once";
    }
    EXPECT_FALSE(setup->typeCharacter('x'));
    EXPECT_FALSE(setup->typeCharacter(','));
    EXPECT_TRUE(setup->typeCharacter('.'));
}

TEST_F(TempoSetupTest, cancelChangesAndSavesNothing)
{
    const std::size_t before = filesUnderRoot();
    setup->field = "150";
    setup->autoSession = true;
    setup->cancel();
    EXPECT_TRUE(setup->isClosed());
    EXPECT_FLOAT_EQ(window->getTempo(), 120.0f);
    EXPECT_FALSE(window->settings().autoSession);
    EXPECT_EQ(filesUnderRoot(), before);
    EXPECT_EQ(storedTempo(), 120000);
}

TEST_F(TempoSetupTest, okaySavesTheAutomaticSessionSwitch)
{
    setup->autoSession = true;
    setup->okay();
    std::int32_t value = 0;
    ASSERT_TRUE(platform::readRegistryNumber("BorvanQom", "Host.AutoSaveLoadSession", value));
    EXPECT_EQ(value, 1);
}

TEST_F(TempoSetupTest, tapsSetTheTempoFromTheFifthAndShowIt)
{
    for (int i = 0; i < 5; ++i) {
        setup->tap();
        clock.advance(400'000);
    }
    EXPECT_EQ(setup->field, "150.00");
    EXPECT_EQ(side.texts["tbpm"], "Tempo: 150.0 BPM (Tap)");
    EXPECT_FLOAT_EQ(stub->askTempo(), 150.0f);
}

} // namespace

namespace {

TEST_F(TempoSetupTest, aDragOf30PixelsUpFrom0DbGives10DbAndStopsAt24)
{
    vphoGainInput gain(*window);
    gain.press(200);
    gain.drag(185);
    EXPECT_EQ(gain.getValue(), 5);
    gain.drag(170);
    EXPECT_EQ(gain.getValue(), 10);
    EXPECT_EQ(side.texts["gadi"], "+10 dB");
    EXPECT_NEAR(window->settings().getInputGain(), 3.1623f, 1e-3f);
    EXPECT_TRUE(window->isSettingsChanged());
    gain.drag(0);
    EXPECT_EQ(gain.getValue(), 24);
    gain.drag(400);
    EXPECT_EQ(gain.getValue(), 0);
    gain.setEnabled(false);
    gain.press(100);
    gain.drag(0);
    EXPECT_EQ(gain.getValue(), 0) << "disabled";
}

} // namespace
