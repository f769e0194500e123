// ctest-label: tsan
#include "host/player/ejpPlayerRotary.h"
#include "host/player/ejpPlayerView.h"
#include "host/player/ejpWave.h"
#include "hostfw/app/epiKeyboard.h"
#include "hostfw/app/epiWindowManager.h"
#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/res/epiResources.h"
#include "hostfw/widgets/epiColourText.h"
#include "hostfw/widgets/epiWidgetKinds.h"
#include "hostfw/win/epiUiContainer.h"
#include "hostfw/win/epiWinKinds.h"

#include "host/player/AudioFiles.h"
#include "hostfw/app/TestApplication.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

using player::ejpPlayerView;
using player::ejpWave;

namespace {

constexpr int kRate = 44100;

// The code of a child named at run time.
epiFourCC code(const char* id)
{
    return epiCodeFromText(epiText(id));
}

// A closed message window that counts its own end.
struct ClosedMessage : epiUbo {
    explicit ClosedMessage(int& ended) : ended_(ended) {}
    ~ClosedMessage() override { ++ended_; }
    int& ended_;
};

// A window manager that writes down the windows it is asked to open and
// answers each with a message window already closed, as a modal one returns.
struct RecordingManager : epiWindowManager {
    epiUbo* openOrActivate(epiFourCC kind, const char* layout) override
    {
        opened.push_back({kind, layout ? layout : ""});
        auto* message = new ClosedMessage(messagesEnded);
        message->enableReferenceCount();
        return message;
    }
    std::vector<std::pair<epiFourCC, std::string>> opened;
    int messagesEnded = 0;
};

struct PanelApp : TestApplication {
    epiObject* createWindowManager() override { return new RecordingManager; }
    RecordingManager* manager() { return static_cast<RecordingManager*>(getWindowManager()); }
};

// The host window's stand-in: records the tempo reports reaching it.
struct HostDouble : epiUiContainer {
    void* notify(epiFourCC code, void* data, void* argument) override
    {
        if (code == epiCode("plte"))
            tempos.push_back(*static_cast<float*>(data));
        return epiUiContainer::notify(code, data, argument);
    }
    std::vector<float> tempos;
};

// The panel built from the program's pack inside a host window double.
struct Panel {
    Panel()
    {
        epiRegisterWindowKinds();
        epiRegisterWidgetKinds();
        app.init();
        app.getResources()->openEmbedded(0, nullptr);
        host.attach(&app);
        host.setId(epiCode("host"));
        host.setRect(epiRect(0, 0, 800, 200));
        host.create();
        view = new ejpPlayerView;
        view->enableReferenceCount();
        host.addChild(view);
        loaded = view->loadLayout("PlayerView.xml");
        view->setVisible(true, false);
        view->setSampleRate(kRate);
    }
    ~Panel() { host.clearChildren(); }

    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            app.clock += ejpPlayerView::kTickSeconds;
            app.runTimedTasks();
        }
    }
    std::string text(const char* id) { return view->getChildTextCStr(code(id)); }
    int value(const char* id) { return view->getChildValue(code(id)); }
    epiUbo* child(const char* id) { return view->getChild(code(id)); }
    ejpWave& wave() { return *view->wave(); }
    player::ejpPlayer& engine() { return view->output().engine(); }
    void modifiers(unsigned bits)
    {
        platform::PumpEvent event;
        event.type = platform::PumpEventType::ButtonPress;
        event.button = 1;
        event.modifiers = bits;
        app.getKeyboard()->setMouseState(event);
    }
    // A press (and drag to dy pixels up, and release) on a knob.
    void dragKnob(const char* id, int dy)
    {
        epiUbo* knob = child(id);
        knob->onMouseDown(epiPoint(10, 20));
        knob->onMouseDrag(epiPoint(10, 20 - dy));
        knob->onMouseUp(epiPoint(10, 20 - dy));
    }
    // Loads the file and ticks (the loader runs meanwhile) until it is ready.
    bool loadAndWait(const std::string& path)
    {
        if (!view->loadFile(path.c_str()))
            return false;
        for (int i = 0; i < 4000 && view->isLoading(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            tick();
        }
        return !view->isLoading();
    }
    std::string song(int frames, const char* name = "song.wav")
    {
        const std::string path = temp.path(name);
        test::audiofiles::writeTone(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate, frames);
        return path;
    }

    PanelApp app;
    HostDouble host;
    ejpPlayerView* view = nullptr;
    bool loaded = false;
    testsupport::TempFolder temp;
};

} // namespace

TEST(PlayerView, BuildsFromItsLayoutWithTheStartingTexts)
{
    Panel p;
    ASSERT_TRUE(p.loaded);
    ASSERT_NE(p.view->wave(), nullptr);
    EXPECT_NE(dynamic_cast<player::ejpPlayerRotary*>(p.child("mTmp")), nullptr);
    EXPECT_NE(dynamic_cast<player::ejpUiCursorScroll*>(p.wave().marker(epiCode("curs"))), nullptr);
    EXPECT_EQ(p.text("stfn"), "no file");
    EXPECT_EQ(p.text("stme"), "120.0");
    EXPECT_EQ(p.text("stin"), "");
    EXPECT_FALSE(p.child("play")->isEnabled());
    EXPECT_FALSE(p.child("paus")->isEnabled());
    EXPECT_FALSE(p.view->isLampOn(epiCode("pla-")));
    EXPECT_EQ(p.view->output().metronome().tempo(), 120.0f);
}

TEST(PlayerView, ControlsAtTheirMinimumDefaultAndMaximum)
{
    Panel p;
    ASSERT_TRUE(p.loaded);
    struct Case {
        const char* id;
        int value;
        const char* text; // 'stin', or 'stme' for the metronome tempo
        float engine;
    };
    const Case cases[] = {
        {"fPic", 0, "PITCH -12.0", -12.0f},  {"fPic", 120, "PITCH +0.0", 0.0f},
        {"fPic", 240, "PITCH +12.0", 12.0f}, {"fTmp", 0, "TEMPO 50%", 50.0f},
        {"fTmp", 100, "TEMPO 100%", 100.0f}, {"fTmp", 200, "TEMPO 150%", 150.0f},
        {"fVol", 0, "VOLUME 0%", 0.0f},      {"fVol", 100, "VOLUME 100%", 1.0f},
        {"mVol", 0, "VOLUME 0%", 0.0f},      {"mVol", 100, "VOLUME 100%", 1.0f},
        {"mTmp", 300, "30.0", 30.0f},        {"mTmp", 1200, "120.0", 120.0f},
        {"mTmp", 2200, "220.0", 220.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " " + std::to_string(c.value));
        p.host.tempos.clear();
        p.view->setChildValue(code(c.id), c.value);
        p.view->onCommand(code(c.id));
        EXPECT_EQ(p.value(c.id), c.value);
        const std::string id = c.id;
        if (id == "mTmp") {
            EXPECT_EQ(p.text("stme"), c.text);
            EXPECT_FLOAT_EQ(p.view->output().metronome().tempo(), c.engine);
            ASSERT_EQ(p.host.tempos.size(), 1u);
            EXPECT_FLOAT_EQ(p.host.tempos[0], c.engine);
            continue;
        }
        EXPECT_EQ(p.text("stin"), c.text);
        if (id == "fTmp")
            EXPECT_EQ(p.engine().tempoPercent(), static_cast<int>(c.engine));
        else if (id == "fVol")
            EXPECT_FLOAT_EQ(p.engine().volume(), c.engine);
        else if (id == "mVol")
            EXPECT_FLOAT_EQ(p.view->output().metronome().volume(), c.engine);
        else
            EXPECT_FLOAT_EQ(std::log2(p.engine().pitchFactor()) * -12.0f + 0.0f, c.engine);
        EXPECT_TRUE(p.host.tempos.empty());
    }
}

TEST(PlayerView, KnobsClampToTheirRanges)
{
    Panel p;
    p.view->setChildValue(epiCode("fPic"), 1000);
    p.view->setChildValue(epiCode("mTmp"), 10);
    EXPECT_EQ(p.value("fPic"), 240);
    EXPECT_EQ(p.value("mTmp"), 300);
}

TEST(PlayerView, HostTempoSetsTheKnobWithinRangeAndSendsNothingBack)
{
    Panel p;
    p.view->setHostTempo(95.5f);
    EXPECT_EQ(p.value("mTmp"), 955);
    EXPECT_EQ(p.text("stme"), "95.5");
    EXPECT_FLOAT_EQ(p.view->output().metronome().tempo(), 95.5f);
    p.view->setHostTempo(300.0f);
    EXPECT_EQ(p.value("mTmp"), 2200);
    EXPECT_EQ(p.text("stme"), "220.0");
    p.view->setHostTempo(NAN);
    EXPECT_EQ(p.value("mTmp"), 2200);
    EXPECT_TRUE(p.host.tempos.empty());
}

TEST(PlayerView, TempoOutsideAHostWindowGoesNowhere)
{
    Panel p;
    p.host.setId(epiCode("none"));
    p.view->setChildValue(epiCode("mTmp"), 900);
    p.view->onCommand(epiCode("mTmp"));
    EXPECT_TRUE(p.host.tempos.empty());
    EXPECT_EQ(p.text("stme"), "90.0");
}

TEST(PlayerView, ControlPressReturnsEachKnobToItsDefault)
{
    Panel p;
    struct Case {
        const char* id;
        int moved;
        int standard;
        const char* text;
    };
    const Case cases[] = {{"fPic", 30, 120, "PITCH +0.0"},
                          {"fTmp", 10, 100, "TEMPO 100%"},
                          {"fVol", 40, 100, "VOLUME 100%"},
                          {"mVol", 20, 100, "VOLUME 100%"},
                          {"mTmp", 600, 1200, "120.0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        p.view->setChildValue(code(c.id), c.moved);
        p.view->onCommand(code(c.id));
        p.host.tempos.clear();
        p.modifiers(platform::kModControl);
        p.dragKnob(c.id, 30); // the drag is ignored: the press reset it
        p.modifiers(0);
        EXPECT_EQ(p.value(c.id), c.standard);
        EXPECT_EQ(std::string(c.id) == "mTmp" ? p.text("stme") : p.text("stin"), c.text);
        if (std::string(c.id) == "mTmp") {
            ASSERT_EQ(p.host.tempos.size(), 1u);
            EXPECT_FLOAT_EQ(p.host.tempos[0], 120.0f);
            EXPECT_FLOAT_EQ(p.view->output().metronome().tempo(), 120.0f);
        }
    }
}

TEST(PlayerView, ResettingThePlayerVolumeLeavesTheMetronomeVolume)
{
    Panel p;
    p.view->setChildValue(epiCode("fVol"), 30);
    p.view->onCommand(epiCode("fVol"));
    p.view->setChildValue(epiCode("mVol"), 40);
    p.view->onCommand(epiCode("mVol"));
    p.modifiers(platform::kModControl);
    p.dragKnob("fVol", 0);
    p.modifiers(0);
    EXPECT_EQ(p.value("fVol"), 100);
    EXPECT_FLOAT_EQ(p.engine().volume(), 1.0f);
    EXPECT_EQ(p.value("mVol"), 40);
    EXPECT_FLOAT_EQ(p.view->output().metronome().volume(), 0.4f);
}

TEST(PlayerView, ShiftDragMovesATenthAsFar)
{
    Panel p;
    p.view->setChildValue(epiCode("fVol"), 50);
    p.dragKnob("fVol", 20);
    EXPECT_EQ(p.value("fVol"), 70);
    EXPECT_EQ(p.text("stin"), "VOLUME 70%");
    p.modifiers(platform::kModShift);
    p.dragKnob("fVol", -20);
    p.modifiers(0);
    EXPECT_EQ(p.value("fVol"), 68);
    EXPECT_FLOAT_EQ(p.engine().volume(), 0.68f);
}

TEST(PlayerView, TimeTextTruncatesToTenths)
{
    struct Case {
        long long frames;
        const char* text;
    };
    const Case cases[] = {{0, "0:00:00.0"},
                          {2643795, "0:00:59.9"},   // 59.95 s
                          {164290140, "1:02:05.4"}, // 3725.4 s
                          {kRate * 36000LL, "10:00:00.0"}};
    for (const Case& c : cases)
        EXPECT_EQ(ejpPlayerView::timeText(static_cast<double>(c.frames) / kRate), c.text)
            << c.frames;
    EXPECT_EQ(ejpPlayerView::timeText(-1.0), "0:00:00.0");
    EXPECT_EQ(ejpPlayerView::timeText(NAN), "0:00:00.0");
}

TEST(PlayerView, SpaceBarPlaysOnlyWithAFile)
{
    Panel p;
    p.view->onKeyDown(' ');
    EXPECT_FALSE(p.engine().isPlaying());
    ASSERT_TRUE(p.loadAndWait(p.song(kRate)));
    p.view->onKeyDown(' ');
    EXPECT_TRUE(p.engine().isPlaying());
    EXPECT_TRUE(p.view->isLampOn(epiCode("pla-")));
    p.view->onKeyDown(' ');
    EXPECT_FALSE(p.engine().isPlaying());
}

TEST(PlayerView, LoadingShowsProgressThenReady)
{
    Panel p;
    const std::string path = p.song(kRate * 4);
    ASSERT_TRUE(p.view->loadFile(path.c_str()));
    EXPECT_EQ(p.text("stfn"), "song.wav");
    EXPECT_EQ(p.text("stin"), "LOADING");
    EXPECT_TRUE(p.child("play")->isEnabled());
    EXPECT_TRUE(p.child("paus")->isEnabled());
    EXPECT_DOUBLE_EQ(p.view->durationSeconds(), 4.0);
    p.tick(6);
    EXPECT_EQ(p.text("sttx"), ""); // only every 7th tick
    for (int i = 0; i < 4000 && p.view->isLoading(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        p.tick();
        if (p.view->isLoading())
            EXPECT_EQ(p.text("stin"), "LOADING");
    }
    ASSERT_FALSE(p.view->isLoading());
    EXPECT_EQ(p.text("stin"), "READY");
    EXPECT_EQ(p.text("sttx"), "1.000");
    EXPECT_TRUE(p.app.manager()->opened.empty());
}

TEST(PlayerView, ABadFileShowsErrorAndAsksForTheMessageWindow)
{
    Panel p;
    p.temp.write("bad.wav", "not audio at all");
    EXPECT_FALSE(p.view->loadFile(p.temp.path("bad.wav").c_str()));
    EXPECT_EQ(p.text("stfn"), "Error");
    EXPECT_FALSE(p.child("play")->isEnabled());
    EXPECT_FALSE(p.child("paus")->isEnabled());
    ASSERT_EQ(p.app.manager()->opened.size(), 1u);
    EXPECT_EQ(p.app.manager()->opened[0].second, "message.xml");
    // The closed message is released at once, not held until the program ends.
    EXPECT_EQ(p.app.manager()->messagesEnded, 1);
}

TEST(PlayerView, OpenButtonLoadsTheChosenFile)
{
    Panel p;
    const std::string path = p.song(kRate / 2);
    const auto previous = setFileDialogPresenter([&](epiFileDialogKind kind, epiPath& chosen) {
        if (kind != epiFileDialogKind::open)
            return false;
        chosen = epiPath(path);
        return true;
    });
    p.view->onCommand(epiCode("fope"));
    setFileDialogPresenter(previous);
    EXPECT_EQ(p.text("stfn"), "song.wav");
    EXPECT_TRUE(p.view->isLoading());
}

TEST(PlayerView, ALongNameEndsInDotsAndFitsItsField)
{
    Panel p;
    const std::string name(80, 'W');
    const std::string path = p.song(kRate / 4, (name + ".wav").c_str());
    ASSERT_TRUE(p.view->loadFile(path.c_str()));
    const std::string shown = p.text("stfn");
    ASSERT_GT(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    epiUbo* field = p.child("stfn");
    const int width = field->getWidth() - 2;
    EXPECT_LE(field->measureText(ejpPlayerView::kNameFont, 0, shown.c_str()), width);
    // One more character would not have fitted.
    const std::string longer = shown.substr(0, shown.size() - 3) + "W...";
    EXPECT_GT(field->measureText(ejpPlayerView::kNameFont, 0, longer.c_str()), width);
}

TEST(PlayerView, NewSampleRateReturnsToNoFile)
{
    Panel p;
    ASSERT_TRUE(p.loadAndWait(p.song(kRate)));
    p.view->onCommand(epiCode("setA"));
    p.view->setChildValue(epiCode("fPic"), 200);
    p.view->onCommand(epiCode("fPic"));
    p.view->setSampleRate(48000.0f);
    EXPECT_EQ(p.text("stfn"), "no file");
    EXPECT_EQ(p.value("fPic"), 120);
    EXPECT_EQ(p.value("fTmp"), 100);
    EXPECT_FALSE(p.view->isLoopStartSet());
    EXPECT_FALSE(p.child("play")->isEnabled());
    EXPECT_EQ(p.engine().lengthFrames(), 0);
    EXPECT_FALSE(p.engine().isLoaded());
    p.view->onKeyDown(' ');
    EXPECT_FALSE(p.engine().isPlaying());
    EXPECT_FLOAT_EQ(p.engine().sampleRate(), 48000.0f);
    EXPECT_FLOAT_EQ(p.view->durationSeconds(), 0.0);
}

TEST(PlayerView, PlayStopAndPauseDriveTheLamps)
{
    Panel p;
    ASSERT_TRUE(p.loadAndWait(p.song(kRate * 2)));
    p.view->onCommand(epiCode("play"));
    EXPECT_TRUE(p.engine().isPlaying());
    EXPECT_TRUE(p.view->isLampOn(epiCode("pla-")));

    // Pause: the lamp blinks five ticks on, five off.
    p.view->onCommand(epiCode("paus"));
    EXPECT_TRUE(p.view->isPaused());
    EXPECT_FALSE(p.engine().isPlaying());
    std::string blink;
    for (int i = 0; i < 20; ++i) {
        p.tick();
        blink += p.view->isLampOn(epiCode("pau-")) ? '1' : '0';
    }
    EXPECT_EQ(blink, "11111000001111100000");
    p.view->onCommand(epiCode("paus"));
    EXPECT_TRUE(p.engine().isPlaying());
    EXPECT_FALSE(p.view->isPaused());
    EXPECT_FALSE(p.view->isLampOn(epiCode("pau-")));

    // Stop without a loop start goes back to 0.
    p.engine().setPositionFraction(0.5);
    p.view->onCommand(epiCode("play"));
    EXPECT_FALSE(p.engine().isPlaying());
    EXPECT_FALSE(p.view->isLampOn(epiCode("pla-")));
    EXPECT_DOUBLE_EQ(p.engine().positionFraction(), 0.0);
    EXPECT_EQ(p.text("stti"), "0:00:00.0");

    // With a loop start, stop goes back to it.
    p.wave().setMarker(epiCode("curs"), 0.25);
    p.view->onCommand(epiCode("setA"));
    p.view->onCommand(epiCode("play"));
    p.engine().setPositionFraction(0.75);
    p.view->onCommand(epiCode("play"));
    EXPECT_NEAR(p.engine().positionFraction(), 0.25, 1e-6);
    EXPECT_NEAR(p.wave().markerFraction(epiCode("curs")), 0.25, 1e-4);
    EXPECT_EQ(p.text("stti"), "0:00:00.5");
}

TEST(PlayerView, LoopPointsFromTheCursor)
{
    Panel p;
    ASSERT_TRUE(p.loadAndWait(p.song(kRate * 2)));
    // The loop end with the cursor at the start is the end of the file.
    p.view->onCommand(epiCode("setB"));
    EXPECT_TRUE(p.view->isLoopEndSet());
    EXPECT_EQ(p.value("setB"), 1);
    EXPECT_TRUE(p.wave().marker(epiCode("Bpol"))->isVisible());
    EXPECT_DOUBLE_EQ(p.wave().markerFraction(epiCode("Bpol")), 1.0);
    EXPECT_EQ(p.engine().loopEnd(), p.engine().lengthFrames());
    EXPECT_FALSE(p.engine().isLoopEnabled());

    p.wave().setMarker(epiCode("curs"), 0.5);
    p.view->onCommand(epiCode("setA"));
    EXPECT_EQ(p.value("setA"), 1);
    EXPECT_TRUE(p.wave().marker(epiCode("Apol"))->isVisible());
    EXPECT_NEAR(p.wave().markerFraction(epiCode("Apol")), 0.5, 1e-4);
    EXPECT_EQ(p.engine().loopStart(), kRate);
    EXPECT_TRUE(p.engine().isLoopEnabled());

    // Dragging the loop start marker moves the loop start and shows its time.
    auto* start = p.wave().marker(epiCode("Apol"));
    const epiRect thumb = start->thumbRect();
    const epiPoint grab(thumb.left + 8 + start->getFrame().left, 20);
    p.wave().onMouseDown(grab);
    p.wave().onMouseDrag(epiPoint(grab.x - 56, 20)); // a tenth of the 560 pixels
    p.wave().onMouseUp(epiPoint(grab.x - 56, 20));
    EXPECT_NEAR(p.wave().markerFraction(epiCode("Apol")), 0.4, 1e-3);
    EXPECT_NEAR(static_cast<double>(p.engine().loopStart()) / p.engine().lengthFrames(), 0.4, 1e-3);
    EXPECT_EQ(p.text("stti"), "0:00:00.8");
    EXPECT_TRUE(p.engine().isLoopEnabled());

    p.view->onCommand(epiCode("setZ"));
    EXPECT_EQ(p.value("setA"), 0);
    EXPECT_EQ(p.value("setB"), 0);
    EXPECT_FALSE(p.wave().marker(epiCode("Apol"))->isVisible());
    EXPECT_FALSE(p.wave().marker(epiCode("Bpol"))->isVisible());
    EXPECT_FALSE(p.engine().isLoopEnabled());
    EXPECT_FALSE(p.view->isLoopStartSet());
}

TEST(PlayerView, CursorPressesGiveFractionsWithinTheFile)
{
    Panel p;
    ASSERT_TRUE(p.loadAndWait(p.song(kRate * 2)));
    auto* cursor = dynamic_cast<player::ejpUiCursorScroll*>(p.wave().marker(epiCode("curs")));
    ASSERT_NE(cursor, nullptr);
    // Left of the half thumb: 0, not a negative fraction.
    struct Case {
        int x;
        double fraction;
    };
    for (const Case& c : {Case{3, 0.0}, Case{-40, 0.0}, Case{8 + 280, 0.5}, Case{8 + 2000, 1.0}}) {
        SCOPED_TRACE(c.x);
        EXPECT_DOUBLE_EQ(cursor->fractionAt(c.x), c.fraction);
    }
    p.wave().setMarker(epiCode("curs"), 0.5);
    p.engine().setPositionFraction(0.5);
    cursor->onMouseDown(epiPoint(3, 20));
    cursor->onMouseUp(epiPoint(3, 20));
    EXPECT_DOUBLE_EQ(p.wave().markerFraction(epiCode("curs")), 0.0);
    EXPECT_DOUBLE_EQ(p.engine().positionFraction(), 0.0);
    EXPECT_EQ(p.text("stti"), "0:00:00.0");
    // A press in the waveform moves the cursor there.
    p.wave().onMouseDown(epiPoint(140, 20));
    p.wave().onMouseUp(epiPoint(140, 20));
    EXPECT_NEAR(p.engine().positionFraction(), 0.25, 1e-6);
    EXPECT_EQ(p.text("stti"), "0:00:00.5");
}

TEST(PlayerView, ZoomAndScroll)
{
    Panel p;
    ejpWave& wave = p.wave();
    const int visible = wave.visibleWidth();
    ASSERT_EQ(visible, 560);
    EXPECT_FALSE(p.child("scle")->isEnabled());
    EXPECT_FALSE(p.child("scri")->isEnabled());
    EXPECT_FALSE(p.child("scro")->isEnabled());
    wave.setMarker(epiCode("curs"), 0.5);
    for (int level = 1; level <= 5; ++level) {
        p.view->onCommand(epiCode("zmin"));
        EXPECT_EQ(wave.getZoom(), level);
        EXPECT_EQ(p.text("stin"), "ZOOM x " + std::to_string(1 << level));
        EXPECT_EQ(wave.getWidth(), visible << level);
        EXPECT_TRUE(p.child("scle")->isEnabled());
    }
    EXPECT_FALSE(p.child("zmin")->isEnabled());
    p.view->onCommand(epiCode("zmin"));
    EXPECT_EQ(wave.getZoom(), 5);

    // Scrolling at level 5: steps of 0.05 / 32, within 0 .. 1.
    p.view->onCommand(epiCode("scri"));
    p.view->onCommand(epiCode("scri"));
    EXPECT_DOUBLE_EQ(wave.getScrollFraction(), 2 * 0.05 / 32);
    EXPECT_EQ(p.value("scro"), 31);
    const int width = visible << 5;
    EXPECT_EQ(wave.layerOffset(), -static_cast<int>((width - visible) * (0.1 / 32)));
    auto* content = dynamic_cast<epiUiScrollableContainer*>(wave.getParent());
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->getScroll().x, -wave.layerOffset());
    for (int i = 0; i < 5; ++i)
        p.view->onCommand(epiCode("scle"));
    EXPECT_DOUBLE_EQ(wave.getScrollFraction(), 0.0);
    EXPECT_EQ(p.value("scro"), 0);
    p.view->setChildValue(epiCode("scro"), 10000);
    p.view->onCommand(epiCode("scro"));
    EXPECT_DOUBLE_EQ(wave.getScrollFraction(), 1.0);
    EXPECT_EQ(wave.layerOffset(), -(width - visible));

    // The cursor is re-placed over the new width, 8 pixels left of its fraction.
    auto* cursor = wave.marker(epiCode("curs"));
    EXPECT_EQ(cursor->getFrame().left + cursor->thumbRect().left, width / 2 - 8);
    for (int level = 4; level >= 0; --level) {
        p.view->onCommand(epiCode("zmou"));
        EXPECT_EQ(cursor->getFrame().left + cursor->thumbRect().left, (visible << level) / 2 - 8);
    }
    EXPECT_EQ(p.text("stin"), "ZOOM x 1");
    EXPECT_FALSE(p.child("scri")->isEnabled());
    EXPECT_TRUE(p.child("zmin")->isEnabled());
    EXPECT_EQ(wave.layerOffset(), 0);
}

namespace {

std::uint32_t rgbAt(const epiBitmap& bitmap, int x, int y)
{
    return bitmap.getPixel(x, y) & 0xFFFFFFu;
}

} // namespace

TEST(PlayerView, RulerAndWaveformOnEveryLayer)
{
    Panel p;
    ejpWave& wave = p.wave();
    const int height = 64;
    const int middle = (height - 7) / 2;
    wave.drawRuler(120.0);
    std::vector<float> points(10000, 0.0f);
    for (int i = 0; i < 10000; ++i)
        points[static_cast<std::size_t>(i)] = i < 5000 ? 0.5f : -1.0f;
    wave.drawOverview(points, 10000, 0, 10000);
    for (int level = 0; level < ejpWave::kLayers; ++level) {
        SCOPED_TRACE(level);
        const epiBitmap& layer = *wave.layer(level);
        const int width = 560 << level;
        ASSERT_EQ(layer.getWidth(), width);
        ASSERT_EQ(layer.getHeight(), height);
        const int ticks = 4 << level;
        for (int j = 0; j <= ticks; ++j) {
            const int x = j == ticks ? width - 1 : j * width / ticks;
            EXPECT_EQ(rgbAt(layer, x, 0), 0x56482Cu) << j;
        }
        EXPECT_EQ(rgbAt(layer, width / ticks / 2, 0), 0x2B2416u);
        // First half: 0.5 x (middle - 1) above and below; second half full.
        const int half = static_cast<int>(0.5f * (middle - 1));
        const int x = width / 4 + 1;
        EXPECT_EQ(rgbAt(layer, x, middle - half), 0xFEC429u);
        EXPECT_EQ(rgbAt(layer, x, middle + half), 0xFEC429u);
        EXPECT_EQ(rgbAt(layer, x, middle - half - 1), 0x2B2416u);
        EXPECT_EQ(rgbAt(layer, x, middle + half + 1), 0x2B2416u);
        const int x2 = 3 * width / 4 + 1;
        EXPECT_EQ(rgbAt(layer, x2, middle - (middle - 1)), 0xFEC429u);
        EXPECT_EQ(rgbAt(layer, x2, 0), 0x2B2416u);
        // The labels are drawn in the ruler's box at the bottom.
        bool label = false;
        for (int y = height - 7; y < height; ++y) {
            for (int lx = 0; lx < 30; ++lx)
                label = label || rgbAt(layer, lx, y) != 0x2B2416u;
        }
        EXPECT_TRUE(label);
    }
}

TEST(PlayerView, PlayingMovesTheCursorAndTheEndTurnsTheLampsOff)
{
    Panel p;
    ASSERT_TRUE(p.loadAndWait(p.song(kRate / 2)));
    p.view->onCommand(epiCode("play"));
    std::vector<float> left(1024), right(1024);
    for (int i = 0; i < 10; ++i)
        p.engine().mix(left.data(), right.data(), 1024);
    p.tick();
    const double position = p.engine().positionFraction();
    EXPECT_GT(position, 0.0);
    EXPECT_NEAR(p.wave().markerFraction(epiCode("curs")), position, 1e-4);
    EXPECT_EQ(p.text("stti"), ejpPlayerView::timeText(position * 0.5));
    EXPECT_GT(p.value("levL"), 0);
    for (int i = 0; i < 200 && p.engine().isPlaying(); ++i)
        p.engine().mix(left.data(), right.data(), 1024);
    p.tick();
    EXPECT_FALSE(p.view->isLampOn(epiCode("pla-")));
    EXPECT_FALSE(p.view->isLampOn(epiCode("pau-")));
}

TEST(PlayerView, WaveformOfALoadedFileFollowsItsOverview)
{
    Panel p;
    // A rising ramp: every overview point differs.
    const std::string path = p.temp.path("ramp.wav");
    test::audiofiles::write(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate, kRate * 2,
                            [](int i, int) { return 0.9f * float(i) / float(kRate * 2); });
    ASSERT_TRUE(p.loadAndWait(path));
    std::vector<float> points;
    int count = 0, first = 0, changed = 0;
    p.engine().overview(points, count, first, changed);
    ASSERT_GT(count, 0);
    const epiBitmap& layer = *p.wave().layer(0);
    const int width = layer.getWidth();
    const int middle = (layer.getHeight() - ejpWave::kRulerHeight) / 2;
    int checked = 0;
    for (int x = 1; x < width - 1; ++x) {
        if (x % (width / 4) == 0)
            continue; // a tick
        const int half = static_cast<int>(
            std::fabs(points[static_cast<std::size_t>(x * count / width)]) * (middle - 1));
        EXPECT_EQ(layer.getPixel(x, middle - half) & 0xFFFFFFu, 0xFEC429u) << x;
        EXPECT_EQ(layer.getPixel(x, middle + half) & 0xFFFFFFu, 0xFEC429u) << x;
        EXPECT_EQ(layer.getPixel(x, middle - half - 1) & 0xFFFFFFu, 0x2B2416u) << x;
        ++checked;
    }
    EXPECT_GT(checked, 500);
}

TEST(PlayerView, ALoopWrapRestartsTheMetronomeBeat)
{
    Panel p;
    ASSERT_TRUE(p.loadAndWait(p.song(kRate)));
    p.view->setChildValue(epiCode("mAct"), 1);
    p.view->onCommand(epiCode("mAct"));
    ASSERT_TRUE(p.view->output().metronome().isEnabled());
    p.wave().setMarker(epiCode("curs"), 0.0);
    p.view->onCommand(epiCode("setA"));
    p.wave().setMarker(epiCode("curs"), 0.05);
    p.view->onCommand(epiCode("setB"));
    ASSERT_TRUE(p.engine().isLoopEnabled());
    p.view->onCommand(epiCode("play"));
    player::ejpMetronome& metronome = p.view->output().metronome();
    const std::vector<float> click = metronome.click();
    ASSERT_GE(click.size(), 64u);
    std::vector<float> left(512), right(512);
    // Whether the next block of clicks starts with the click.
    const auto startsWithClick = [&] {
        std::fill(left.begin(), left.end(), 0.0f);
        std::fill(right.begin(), right.end(), 0.0f);
        metronome.mixClicks(left.data(), right.data(), 512);
        for (std::size_t i = 0; i < 64; ++i) {
            if (std::fabs(left[i] - click[i]) > 1e-6f)
                return false;
        }
        return true;
    };
    // The engine wraps (and restarts the beat itself on the jump) ...
    for (int i = 0; i < 40; ++i)
        p.engine().mix(left.data(), right.data(), 512);
    // ... and the beat runs on past its click.
    for (int i = 0; i < 8; ++i)
        startsWithClick();
    EXPECT_FALSE(startsWithClick());
    // The tick takes the wrap and restarts the beat.
    p.tick();
    EXPECT_FALSE(p.engine().takeLoopWrapped());
    EXPECT_TRUE(startsWithClick());
    for (int i = 0; i < 8; ++i)
        startsWithClick();
    p.tick(); // no wrap since
    EXPECT_FALSE(startsWithClick());
}

TEST(PlayerView, RendersThePanelWithASongLoaded)
{
    Panel p;
    ASSERT_TRUE(p.loadAndWait(p.song(kRate * 3)));
    p.view->onCommand(epiCode("zmin"));
    p.wave().setMarker(epiCode("curs"), 0.3);
    p.view->onCommand(epiCode("setA"));
    p.view->drawAll();
    const epiBitmap* surface = p.view->getSurface();
    ASSERT_NE(surface, nullptr);
    if (const char* out = std::getenv("PLAYER_VIEW_PNG"))
        cairo_surface_write_to_png(surface->getSurface(), out);
}
