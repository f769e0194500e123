#pragma once

#include "host/player/ejpPlayerOutput.h"
#include "hostfw/core/epiPath.h"
#include "hostfw/win/epiUiBitmapView.h"

#include <memory>
#include <string>

namespace player {

class ejpWave;

// The player panel: a bitmap view container built from "PlayerView.xml"
// whose knobs, buttons, texts, meters and waveform drive the player it owns.
// Every control change becomes an engine call; a tick every 1/15 s shows the
// loading progress, the position, the pause blink and the meters.
class ejpPlayerView : public epiUiBitmapViewContainer {
public:
    static constexpr double kTickSeconds = 1.0 / 15.0;
    static constexpr int kProgressEvery = 7;
    static constexpr int kBlinkTicks = 5;
    // The message window a failed load opens.
    static constexpr const char* kMessageLayout = "message.xml";
    static constexpr epiFourCC kMessageKind = epiCode("mesg");
    // The font of the file name, measured to fit its field.
    static constexpr epiFourCC kNameFont = epiCode("gen9");

    ejpPlayerView();
    ~ejpPlayerView() override;

    // The knobs, the waveform's container and the time ruler's parts are
    // this panel's own classes.
    epiUbo* createChildObject(epiFourCC kind, epiFourCC id) override;
    // Once the children are there: configures the controls, loads the click,
    // starts the tick.
    void open() override;
    void exit() override;
    bool onCommand(epiFourCC id) override;
    void onTimedTask() override;
    // The space bar toggles play while a file is loaded.
    void onKeyDown(int code) override;

    // Stops, resets the panel and loads the file; false when it cannot be
    // opened ("Error", the message window).
    bool loadFile(const char* path);
    // A new device rate resets the panel to "no file".
    void setSampleRate(float hz);
    float getSampleRate() const { return sampleRate_; }
    // The host's tempo: the metronome tempo knob (within its range), its
    // text and the metronome; nothing is sent back to the host.
    void setHostTempo(float bpm);

    ejpPlayerOutput& output() { return *output_; }
    ejpWave* wave() const { return wave_; }
    double durationSeconds() const { return duration_; }
    bool isLoading() const { return loading_; }
    bool isPaused() const { return paused_; }
    bool isLoopStartSet() const { return loopStartSet_; }
    bool isLoopEndSet() const { return loopEndSet_; }
    // Lamps ('pla-', 'pau-') show face 2 when on.
    bool isLampOn(epiFourCC id);

    // "h:mm:ss.t", the tenths truncated (a relative 1e-9 of slack keeps a
    // time a rounding error short of a tenth on that tenth).
    static std::string timeText(double seconds);
    // The time of a fraction of the file, from its length in frames.
    std::string timeTextAt(double fraction) const;
    // The name cut with "..." until it fits the width (no cut when nothing
    // measures).
    std::string fitName(const std::string& name, int width);

private:
    void configureControls();
    void loadClick();
    void resetPanel();
    void applyControl(epiFourCC id, bool fromHost = false);
    void setKnob(epiFourCC id, int value);
    void setLamp(epiFourCC id, bool on);
    void enableTransport(bool enabled);
    void updateZoomControls();
    void showTime(double fraction);
    void showCursor(double fraction);
    void loadFailed();
    void onMarkerMoved(epiFourCC id);
    void play();
    void pause();
    void setLoopPoint(bool start);
    void clearLoop();
    void zoomBy(int step);
    void scrollBy(int direction);
    void tick();

    std::unique_ptr<ejpPlayerOutput> output_;
    ejpWave* wave_ = nullptr;
    bool configured_ = false;
    double duration_ = 0.0;
    bool loading_ = false;
    bool paused_ = false;
    int blink_ = 0;
    long long ticks_ = 0;
    bool loopStartSet_ = false;
    bool loopEndSet_ = false;
    double loopStart_ = 0.0;
    double loopEnd_ = 1.0;
    float sampleRate_ = 0.0f;
    epiPath lastPath_;
};

} // namespace player
