#include <gtest/gtest.h>

#include "tests/host/windows/HostApp.h"

#include "host/player/ejpPlayerView.h"
#include "hostfw/app/epiKeyboard.h"
#include "hostfw/controls/epiUiSystemEditText.h"
#include "hostfw/controls/epiUiSystemPopup.h"
#include "hostfw/res/epiResources.h"

#include <cmath>
#include <functional>

namespace {

constexpr int kEditorWidth = 851;
constexpr int kEditorHeight = 510;
constexpr int kPlayerHeight = 120;
constexpr int kBarHeight = 24;

using test::HostApp;

class HostWindows : public test::HostAppTest {};

epiUbo* statusChild(vphoHostWindow& host, const char* id)
{
    return host.getChild(epiCode("sttu"))
        ->findChild(epiFourCC((std::uint32_t(std::uint8_t(id[0])) << 24) |
                              (std::uint32_t(std::uint8_t(id[1])) << 16) |
                              (std::uint32_t(std::uint8_t(id[2])) << 8) |
                              std::uint32_t(std::uint8_t(id[3]))));
}

// Acts once on the window of that kind as soon as it shows, from the loop's
// turn: a modal window's own loop runs the hooks too.
int actOnWindow(HostApp& app, epiFourCC kind, std::function<void(epiUbo&)> action)
{
    auto done = std::make_shared<bool>(false);
    return app.getWindowManager()->addTurnHook([&app, kind, action, done] {
        if (*done)
            return;
        if (epiUbo* window = app.getWindowManager()->findWindowByKind(kind)) {
            *done = true;
            action(*window);
        }
    });
}

TEST_F(HostWindows, StartUpShowsPlayerEditorAndStatusBarInOneWindow)
{
    installStub();
    HostApp app;
    app.start();
    app.settle();
    vphoHostWindow* host = app.host();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(app.getWindowManager()->findWindowByKind(epiCode("lowa")), nullptr)
        << "the loading window is gone once the main window opened";
    EXPECT_TRUE(host->logic().hasEditor());
    EXPECT_STREQ(host->getTextCStr(), "BorvanQom");
    ASSERT_NE(host->hostWindow(), nullptr);
    EXPECT_EQ(host->hostWindow()->options().title, "BorvanQom");

    // Editor + player panel + status bar, the editor at (0, panel height).
    EXPECT_EQ(host->logic().topOffset(), kPlayerHeight);
    EXPECT_EQ(host->getFrame().getWidth(), kEditorWidth);
    EXPECT_EQ(host->getFrame().getHeight(), kPlayerHeight + kEditorHeight + kBarHeight);
    ASSERT_NE(host->playerView(), nullptr);
    EXPECT_TRUE(host->playerView()->isVisible());
    EXPECT_EQ(host->playerView()->getFrame().top, 0);
    EXPECT_EQ(host->playerView()->getFrame().getHeight(), kPlayerHeight);
    epiUbo* bar = host->getChild(epiCode("sttu"));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->getFrame().top, kPlayerHeight + kEditorHeight);
    EXPECT_EQ(bar->getFrame().getHeight(), kBarHeight);

    EXPECT_STREQ(statusChild(*host, "info")->getTextCStr(), "Ready");
    EXPECT_STREQ(statusChild(*host, "tbpm")->getTextCStr(), "Tempo: 120.0 BPM");
    EXPECT_STREQ(statusChild(*host, "gadi")->getTextCStr(), "+0 dB");
    // Stopped with a start pending.
    EXPECT_TRUE(statusChild(*host, "disl")->isVisible());
    for (const char* running : {"plab", "temp", "perc"})
        EXPECT_FALSE(statusChild(*host, running)->isVisible()) << running;
    EXPECT_TRUE(messages.empty());
}

// The editor opens at (0, panel height) with no window id headless, and its
// idle entry runs on every turn of the main loop and of a modal one.
TEST_F(HostWindows, TheEditorOpensBelowThePanelAndIdlesEveryTurn)
{
    installStub();
    HostApp app;
    app.start();
    vphoHostWindow* host = app.host();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(journalCount("setPosition 0 120"), 1);
    EXPECT_EQ(journalCount("open 0"), 1);
    stub->clearJournal();
    app.settle(5);
    EXPECT_GE(journalCount("idle"), 5);

    int turns = 0;
    int idlesInModalLoop = 0;
    app.getWindowManager()->addTurnHook([&] {
        epiUbo* message = app.getWindowManager()->findWindowByKind(epiCode("mesg"));
        if (!message)
            return;
        if (++turns == 1)
            stub->clearJournal();
        if (turns == 5) {
            idlesInModalLoop = journalCount("idle");
            message->onCommand(epiCode("Okay"));
        }
    });
    host->openWindow(epiCode("mesg"), "message.xml");
    EXPECT_EQ(turns, 5);
    EXPECT_GE(idlesInModalLoop, 4);
}

TEST_F(HostWindows, WithoutAModuleTheWindowOpensNotLoaded)
{
    HostApp app;
    app.start();
    app.settle();
    vphoHostWindow* host = app.host();
    ASSERT_NE(host, nullptr);
    EXPECT_FALSE(host->logic().hasEditor());
    EXPECT_STREQ(host->getTextCStr(), "BorvanQom - not loaded");
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(app.getWindowManager()->findWindowByKind(epiCode("lowa")), nullptr);
}

TEST_F(HostWindows, TheStatusBarShowsWhatTheWindowSets)
{
    installStub();
    HostApp app;
    app.start();
    vphoHostWindow* host = app.host();
    ASSERT_NE(host, nullptr);
    struct Case {
        const char* id;
        const char* text;
        int value;
        bool visible;
    };
    const Case cases[] = {
        {"info", "Loading session...", -1, true},
        {"perc", "37%", -1, true},
        {"temp", nullptr, 37, true},
        {"tbpm", "Tempo: 99.5 BPM (Tap)", -1, false},
        {"plab", nullptr, -1, true},
        {"disl", nullptr, -1, false},
    };
    for (const Case& c : cases) {
        const epiFourCC id = epiFourCC((std::uint32_t(std::uint8_t(c.id[0])) << 24) |
                                       (std::uint32_t(std::uint8_t(c.id[1])) << 16) |
                                       (std::uint32_t(std::uint8_t(c.id[2])) << 8) |
                                       std::uint32_t(std::uint8_t(c.id[3])));
        if (c.text)
            host->setStatusText(id, c.text);
        if (c.value >= 0)
            host->setStatusValue(id, c.value);
        host->setStatusVisible(id, c.visible);
        epiUbo* child = statusChild(*host, c.id);
        ASSERT_NE(child, nullptr) << c.id;
        if (c.text) {
            EXPECT_STREQ(child->getTextCStr(), c.text) << c.id;
        }
        if (c.value >= 0) {
            EXPECT_EQ(child->getValue(), c.value) << c.id;
        }
        EXPECT_EQ(child->isVisible(), c.visible) << c.id;
    }
}

TEST_F(HostWindows, ThePlayersTempoReachesThePlugInAndTheStatusBar)
{
    installStub();
    HostApp app;
    app.start();
    vphoHostWindow* host = app.host();
    ASSERT_NE(host, nullptr);
    float bpm = 97.5f;
    host->notify(epiCode("plte"), &bpm, nullptr);
    EXPECT_FLOAT_EQ(host->logic().getTempo(), 97.5f);
    EXPECT_STREQ(statusChild(*host, "tbpm")->getTextCStr(), "Tempo: 97.5 BPM");
    float broken = 0.0f;
    host->notify(epiCode("plte"), &broken, nullptr);
    host->notify(epiCode("plte"), nullptr, nullptr);
    EXPECT_FLOAT_EQ(host->logic().getTempo(), 97.5f);
}

TEST_F(HostWindows, DraggingTheGainUpRaisesTheInputGainThreePixelsADecibel)
{
    installStub();
    HostApp app;
    app.start();
    vphoHostWindow* host = app.host();
    ASSERT_NE(host, nullptr);
    epiUbo* gain = statusChild(*host, "gasc");
    ASSERT_NE(dynamic_cast<vphoGainInputView*>(gain), nullptr);
    gain->onMouseDown(epiPoint(5, 100));
    gain->onMouseDrag(epiPoint(5, 70));
    EXPECT_EQ(gain->getValue(), 10);
    EXPECT_STREQ(statusChild(*host, "gadi")->getTextCStr(), "+10 dB");
    EXPECT_NEAR(host->logic().settings().getInputGain(), std::pow(10.0f, 0.5f), 1e-4);
    gain->onMouseDrag(epiPoint(5, -500));
    EXPECT_EQ(gain->getValue(), 24);
    EXPECT_STREQ(statusChild(*host, "gadi")->getTextCStr(), "+24 dB");
    gain->onMouseDrag(epiPoint(5, 400));
    EXPECT_EQ(gain->getValue(), 0);
}

// The tempo set-up window over the plug-in window: what is typed into the
// field, then OK or Cancel.
TEST_F(HostWindows, TempoSetUpTakesOnlyAPositiveTempo)
{
    struct Case {
        const char* typed;
        bool okay;
        float tempo;
        const char* field;
    };
    const Case cases[] = {
        {"120.5", true, 120.5f, "120.5"}, {"abc", true, 120.0f, ""}, {"", true, 120.0f, ""},
        {".", true, 120.0f, "."},         {"0", true, 120.0f, "0"},  {"90", false, 120.0f, "90"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        installStub();
        HostApp app;
        app.start();
        vphoHostWindow* host = app.host();
        ASSERT_NE(host, nullptr);
        std::string shownAtOpen, fieldAfterTyping;
        bool sawWindow = false;
        actOnWindow(app, epiCode("bmse"), [&](epiUbo& window) {
            sawWindow = dynamic_cast<vphoBpmSetupWindow*>(&window) != nullptr;
            auto* field = dynamic_cast<epiUiSystemEditText*>(window.findChild(epiCode("eBpm")));
            if (!field)
                return;
            shownAtOpen = field->getTextCStr();
            field->selectAll();
            field->onKeyDown(8); // Backspace: the selection goes
            for (const char* p = c.typed; *p; ++p)
                field->onKeyDown(*p);
            fieldAfterTyping = field->getTextCStr();
            window.onCommand(epiCode(c.okay ? "Okay" : "Canc"));
        });
        EXPECT_TRUE(host->logic().onCommand(epiCode("bpst")));
        EXPECT_TRUE(sawWindow);
        EXPECT_EQ(shownAtOpen, "120.00");
        EXPECT_EQ(fieldAfterTyping, c.field);
        EXPECT_FLOAT_EQ(host->logic().getTempo(), c.tempo);
        EXPECT_EQ(app.getWindowManager()->findWindowByKind(epiCode("bmse")), nullptr);
        // Cancel saves nothing; OK saves at once.
        const bool saved = std::filesystem::exists(valueFile("BorvanQom", "Host.InputGain"));
        EXPECT_EQ(saved, c.okay);
        app.host()->closeRequested();
        std::filesystem::remove_all(root / "Zq Sonware");
    }
}

TEST_F(HostWindows, MessageWindowsCloseOnOkay)
{
    installStub();
    HostApp app;
    app.start();
    vphoHostWindow* host = app.host();
    ASSERT_NE(host, nullptr);
    for (const char* layout : {"nomidi/message2.xml", "message.xml"}) {
        SCOPED_TRACE(layout);
        bool sawMessage = false;
        bool modal = false;
        std::string text;
        actOnWindow(app, epiCode("mesg"), [&](epiUbo& window) {
            sawMessage = dynamic_cast<ejpMessage*>(&window) != nullptr;
            modal = static_cast<epiWindow&>(window).flags().modal;
            if (!window.children().empty())
                text = window.childAt(0)->getTextCStr();
            window.onCommand(epiCode("Okay"));
        });
        host->openWindow(epiCode("mesg"), layout);
        EXPECT_TRUE(sawMessage);
        EXPECT_TRUE(modal);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(app.getWindowManager()->findWindowByKind(epiCode("mesg")), nullptr);
    }
}

// Settings as a previous run left them, and a fake card the device offers.
void storeFakeCardSettings()
{
    vphoHostSettings s;
    s.technology = "DirectX";
    s.inputDevice = "Fake Card";
    s.outputDevice = "Fake Card";
    s.bufferSize = "256";
    s.sampleRate = "44100";
    s.save("BorvanQom");
}

void useFakeCard(vphoHostWindow& host)
{
    host.logic().setDeviceFactory([](int) {
        auto device = std::make_unique<MPAudioFake>();
        MPAudioDeviceInfo card;
        card.name = "Fake Card";
        card.channelCount = 2;
        device->fakeInputs.push_back(card);
        device->fakeOutputs.push_back(card);
        return device;
    });
}

std::vector<std::string> popupEntries(epiUbo& owner, const char* id)
{
    auto* popup = dynamic_cast<epiUiSystemPopup*>(owner.findChild(epiFourCC(
        (std::uint32_t(std::uint8_t(id[0])) << 24) | (std::uint32_t(std::uint8_t(id[1])) << 16) |
        (std::uint32_t(std::uint8_t(id[2])) << 8) | std::uint32_t(std::uint8_t(id[3])))));
    return popup ? popup->entries() : std::vector<std::string>{"(no popup)"};
}

// The audio set-up window shows the logic's lists and rows; the user's
// choice in a list reaches the logic; OK stores it, Cancel restores.
TEST_F(HostWindows, AudioSetUpShowsTheDeviceAndAppliesOrCancels)
{
    for (const bool okay : {false, true}) {
        SCOPED_TRACE(okay ? "OK" : "Cancel");
        installStub();
        storeFakeCardSettings();
        HostApp app;
        app.start();
        vphoHostWindow* host = app.host();
        ASSERT_NE(host, nullptr);
        useFakeCard(*host);
        bool sawWindow = false;
        std::vector<std::string> technologies, outputs, sizes, firstRow;
        std::string sizeShown, inputLabel, leftLabel, rightLabel, sizeChosen;
        bool firstInputEnabled = false, secondInputEnabled = true, rightEnabled = false;
        int rows = 0;
        actOnWindow(app, epiCode("ause"), [&](epiUbo& window) {
            auto* setup = dynamic_cast<vphoAudioMidiSetup*>(&window);
            sawWindow = setup != nullptr;
            if (!setup)
                return;
            technologies = popupEntries(window, "Tech");
            outputs = popupEntries(window, "Outs");
            sizes = popupEntries(window, "BufS");
            sizeShown = window.getChildTextCStr(epiCode("BufS"));
            for (int i = 0; setup->row(true, i); ++i)
                ++rows;
            for (int i = 0; setup->row(false, i); ++i)
                ++rows;
            epiUbo* in0 = setup->row(true, 0);
            epiUbo* in1 = setup->row(true, 1);
            epiUbo* out1 = setup->row(false, 1);
            if (!in0 || !in1 || !out1)
                return;
            firstRow = popupEntries(*in0, "List");
            firstInputEnabled = in0->getChild(epiCode("List"))->isEnabled();
            secondInputEnabled = in1->getChild(epiCode("List"))->isEnabled();
            rightEnabled = out1->getChild(epiCode("List"))->isEnabled();
            inputLabel = in0->getChildTextCStr(epiCode("Name"));
            leftLabel = setup->row(false, 0)->getChildTextCStr(epiCode("Name"));
            rightLabel = out1->getChildTextCStr(epiCode("Name"));
            // The user takes the next block size with the keyboard.
            window.findChild(epiCode("BufS"))->onKeyDown(epiKeyboard::kDown);
            sizeChosen = window.getChildTextCStr(epiCode("BufS"));
            window.onCommand(epiCode(okay ? "Okay" : "Canc"));
        });
        EXPECT_TRUE(host->logic().onCommand(epiCode("amst")));
        ASSERT_TRUE(sawWindow);
        EXPECT_EQ(technologies, (std::vector<std::string>{"ALSA", "JACK"}));
        EXPECT_EQ(outputs, std::vector<std::string>{"Fake Card"});
        ASSERT_FALSE(sizes.empty());
        EXPECT_EQ(sizes.front(), "128");
        EXPECT_EQ(sizeShown, "256") << "opening keeps the stored size";
        EXPECT_EQ(rows, 2 * vphoAudioSetup::kRows);
        EXPECT_EQ(firstRow, (std::vector<std::string>{"Left", "Right"}));
        EXPECT_TRUE(firstInputEnabled);
        EXPECT_FALSE(secondInputEnabled) << "one input channel";
        EXPECT_TRUE(rightEnabled) << "two output channels";
        EXPECT_EQ(inputLabel, "Input channel");
        EXPECT_EQ(leftLabel, "Left output channel");
        EXPECT_EQ(rightLabel, "Right output channel");
        EXPECT_EQ(sizeChosen, "512");
        EXPECT_EQ(app.getWindowManager()->findWindowByKind(epiCode("ause")), nullptr);
        EXPECT_EQ(host->logic().settings().bufferSize, okay ? "512" : "256");
        host->closeRequested();
        std::filesystem::remove_all(root / "Zq Sonware");
    }
}

TEST_F(HostWindows, TheLoadingWindowIsAPlainFixedWindowInTheMiddle)
{
    HostApp app;
    ASSERT_TRUE(app.getResources()->openEmbedded(epiResources::kEmbeddedPackId, nullptr));
    auto* loading = dynamic_cast<vphoLoadingWindow*>(app.openWindowFromLayout("loading.xml"));
    ASSERT_NE(loading, nullptr);
    EXPECT_STREQ(loading->getChild(epiCode("____"))->getTextCStr(), "Loading... please wait");
    const epiWindow::Flags& flags = loading->flags();
    EXPECT_TRUE(flags.plain);
    EXPECT_FALSE(flags.closeBox);
    EXPECT_FALSE(flags.resizeX || flags.resizeY || flags.minimizeBox || flags.autoPlace);
    const epiRect frame = loading->getFrame();
    EXPECT_EQ(frame.getWidth(), 200);
    EXPECT_EQ(frame.getHeight(), 50);
    EXPECT_NEAR(frame.left + frame.getWidth() / 2, 1920 / 2, 2);
    // Vertically in the middle of the window manager's area, which leaves the
    // top of the screen out.
    EXPECT_NEAR(frame.top + frame.getHeight() / 2, 1080 / 2, 20);
    loading->exit();
}

TEST_F(HostWindows, QuitFromTheMainBarReleasesThePlugInAndEndsTheLoop)
{
    installStub();
    HostApp app;
    app.start();
    vphoHostWindow* host = app.host();
    ASSERT_NE(host, nullptr);
    ASSERT_TRUE(host->logic().hasProcess());
    EXPECT_TRUE(app.getWindowManager()->onCommand(epiCode("quit")));
    EXPECT_FALSE(host->logic().hasProcess());
    EXPECT_FALSE(host->logic().hasEditor());
    EXPECT_GE(app.headless.quitsPosted(), 1);
}

TEST_F(HostWindows, ClosingSavesAndEndsTheLoop)
{
    installStub();
    HostApp app;
    app.start();
    vphoHostWindow* host = app.host();
    ASSERT_NE(host, nullptr);
    host->logic().markSettingsChanged();
    host->closeRequested();
    EXPECT_FALSE(host->logic().hasProcess());
    EXPECT_FALSE(host->logic().hasEditor());
    EXPECT_TRUE(std::filesystem::exists(valueFile("BorvanQom", "Host.InputGain")));
}

} // namespace
