#include "host/player/ejpPlayerView.h"

#include "host/player/ejpPlayerRotary.h"
#include "host/player/ejpWave.h"
#include "hostfw/app/epiWindowManager.h"
#include "hostfw/core/epiFileDump.h"
#include "hostfw/res/epiResources.h"
#include "hostfw/ui/epiUiBehaviour.h"
#include "hostfw/widgets/epiUiBitmapWidgets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace player {

namespace {

// A knob: its code, range and default.
struct Knob {
    epiFourCC id;
    int minimum;
    int maximum;
    int standard;
};

constexpr Knob kKnobs[] = {
    {epiCode("fPic"), 0, 240, 120},     {epiCode("fTmp"), 0, 200, 100},
    {epiCode("fVol"), 0, 100, 100},     {epiCode("mVol"), 0, 100, 100},
    {epiCode("mTmp"), 300, 2200, 1200},
};

constexpr int kScrollScale = 10000;
constexpr int kMeterSegments = 26;

const Knob* findKnob(epiFourCC id)
{
    for (const Knob& knob : kKnobs) {
        if (knob.id == id)
            return &knob;
    }
    return nullptr;
}

} // namespace

ejpPlayerView::ejpPlayerView() : output_(std::make_unique<ejpPlayerOutput>())
{
}

ejpPlayerView::~ejpPlayerView()
{
    output_->setPlaying(false);
    output_->unload();
}

epiUbo* ejpPlayerView::createChildObject(epiFourCC kind, epiFourCC id)
{
    epiUbo* made = nullptr;
    if (findKnob(id))
        made = new ejpPlayerRotary;
    else if (id == epiCode("wave"))
        made = new ejpWaveView;
    if (!made)
        return epiUiBitmapViewContainer::createChildObject(kind, id);
    made->setId(id);
    return made;
}

void ejpPlayerView::open()
{
    epiUiBitmapViewContainer::open();
    if (configured_)
        return;
    configured_ = true;
    if (auto* view = dynamic_cast<ejpWaveView*>(findChild(epiCode("wave"))))
        wave_ = view->wave();
    if (wave_)
        wave_->setMarkerListener([this](epiFourCC id) { onMarkerMoved(id); });
    configureControls();
    loadClick();
    output_->metronome().setTempo(120.0f);
    output_->engine().setPitch(0.0f);
    output_->engine().setTempo(0.0f);
    addTimedTask(kTickSeconds, false, true);
}

void ejpPlayerView::exit()
{
    output_->setPlaying(false);
    epiUiBitmapViewContainer::exit();
}

void ejpPlayerView::configureControls()
{
    for (const Knob& knob : kKnobs) {
        epiUbo* child = getChild(knob.id);
        if (epiUiBehaviour* behaviour = child->getBehaviour()) {
            behaviour->setMin(static_cast<float>(knob.minimum));
            behaviour->setMax(static_cast<float>(knob.maximum));
        }
        if (auto* rotary = dynamic_cast<ejpPlayerRotary*>(child))
            rotary->setDefaultValue(knob.standard);
        child->setValue(knob.standard);
    }
    if (epiUiBehaviour* scroll = getChild(epiCode("scro"))->getBehaviour()) {
        scroll->setMin(0.0f);
        scroll->setMax(static_cast<float>(kScrollScale));
    }
    setChildValue(epiCode("scro"), 0);
    setChildText(epiCode("stin"), "");
    setChildText(epiCode("stfn"), "no file");
    setChildText(epiCode("stti"), timeText(0.0).c_str());
    setChildText(epiCode("sttx"), "");
    setChildText(epiCode("stme"), "120.0");
    for (epiFourCC id : {epiCode("setA"), epiCode("setB"), epiCode("mAct")})
        setChildValue(id, 0);
    setLamp(epiCode("pla-"), false);
    setLamp(epiCode("pau-"), false);
    setChildValue(epiCode("levL"), 0);
    setChildValue(epiCode("levR"), 0);
    enableTransport(false);
    if (wave_) {
        wave_->showMarker(epiCode("Apol"), false);
        wave_->showMarker(epiCode("Bpol"), false);
        wave_->setMarker(epiCode("Bpol"), 1.0);
    }
    updateZoomControls();
}

void ejpPlayerView::loadClick()
{
    epiResources* source = resources();
    epiFileDump dump;
    // Without the resource the engine's own click stays.
    if (source && source->loadData("data/metronome_click.raw", epiCode("none"), dump) &&
        dump.getSize() >= 2)
        output_->metronome().loadClick(dump.getData(), dump.getSize());
}

// ----------------------------------------------------------------- controls

void ejpPlayerView::setKnob(epiFourCC id, int value)
{
    setChildValue(id, value);
    applyControl(id);
}

void ejpPlayerView::applyControl(epiFourCC id, bool fromHost)
{
    const int value = getChildValue(id);
    switch (id) {
    case epiCode("fPic"):
        output_->engine().setPitch(static_cast<float>((value - 120) * 0.1));
        setChildText(epiCode("stin"), output_->engine().pitchText().c_str());
        break;
    case epiCode("fTmp"):
        output_->engine().setTempo(static_cast<float>(value * 0.01 - 1.0));
        setChildText(epiCode("stin"), output_->engine().tempoText().c_str());
        break;
    case epiCode("fVol"):
        output_->engine().setVolume(static_cast<float>(value * 0.01));
        setChildText(epiCode("stin"), output_->engine().volumeText().c_str());
        break;
    case epiCode("mVol"):
        output_->metronome().setVolume(static_cast<float>(value * 0.01));
        setChildText(epiCode("stin"), output_->metronome().volumeText().c_str());
        break;
    case epiCode("mTmp"): {
        float bpm = static_cast<float>(value * 0.1);
        output_->metronome().setTempo(bpm);
        formatChildText(epiCode("stme"), "%1.1f", static_cast<double>(bpm));
        // The host window reports the tempo on to the plug-in.
        if (!fromHost) {
            if (epiUbo* host = findAncestorById(epiCode("host")))
                host->notify(epiCode("plte"), &bpm, nullptr);
        }
        break;
    }
    case epiCode("mAct"):
        output_->metronome().setEnabled(value != 0);
        break;
    default:
        break;
    }
}

void ejpPlayerView::setHostTempo(float bpm)
{
    if (!std::isfinite(bpm))
        return;
    const Knob* knob = findKnob(epiCode("mTmp"));
    const double tenths =
        std::clamp(std::round(static_cast<double>(bpm) * 10.0), static_cast<double>(knob->minimum),
                   static_cast<double>(knob->maximum));
    setChildValue(epiCode("mTmp"), static_cast<int>(tenths));
    applyControl(epiCode("mTmp"), true);
}

bool ejpPlayerView::isLampOn(epiFourCC id)
{
    auto* lamp = dynamic_cast<epiUiBitmapImage*>(findChild(id));
    return lamp && lamp->getCurrentFace() == 2;
}

void ejpPlayerView::setLamp(epiFourCC id, bool on)
{
    getChild(id)->notify(epiCode("Face"), reinterpret_cast<void*>(std::intptr_t{on ? 2 : 0}),
                         nullptr);
}

void ejpPlayerView::enableTransport(bool enabled)
{
    getChild(epiCode("play"))->setEnabled(enabled);
    getChild(epiCode("paus"))->setEnabled(enabled);
}

bool ejpPlayerView::onCommand(epiFourCC id)
{
    switch (id) {
    case epiCode("fPic"):
    case epiCode("fTmp"):
    case epiCode("fVol"):
    case epiCode("mVol"):
    case epiCode("mTmp"):
    case epiCode("mAct"):
        applyControl(id);
        return true;
    case epiCode("play"):
        play();
        return true;
    case epiCode("paus"):
        pause();
        return true;
    case epiCode("setA"):
        setLoopPoint(true);
        return true;
    case epiCode("setB"):
        setLoopPoint(false);
        return true;
    case epiCode("setZ"):
        clearLoop();
        return true;
    case epiCode("zmin"):
        zoomBy(1);
        return true;
    case epiCode("zmou"):
        zoomBy(-1);
        return true;
    case epiCode("scle"):
        scrollBy(-1);
        return true;
    case epiCode("scri"):
        scrollBy(1);
        return true;
    case epiCode("scro"):
        if (wave_)
            wave_->setScrollFraction(getChildValue(epiCode("scro")) * 0.0001);
        return true;
    case epiCode("fope"): {
        epiPath path(lastPath_);
        if (path.askOpenFile())
            loadFile(path.getCStr());
        return true;
    }
    default:
        return epiUiBitmapViewContainer::onCommand(id);
    }
}

void ejpPlayerView::onKeyDown(int code)
{
    if (code == ' ' && duration_ > 0.0 && !loading_)
        play();
    else
        epiUiBitmapViewContainer::onKeyDown(code);
}

// ---------------------------------------------------------------- transport

void ejpPlayerView::play()
{
    if (output_->isPlaying()) {
        setLamp(epiCode("pla-"), false);
        output_->setPlaying(false);
        paused_ = false;
        setLamp(epiCode("pau-"), false);
        const double start = loopStartSet_ ? loopStart_ : 0.0;
        output_->setPositionFraction(start);
        showCursor(start);
        showTime(start);
    } else {
        setLamp(epiCode("pla-"), true);
        output_->setPlaying(true);
        paused_ = false;
        setLamp(epiCode("pau-"), false);
    }
}

void ejpPlayerView::pause()
{
    if (output_->isPlaying()) {
        paused_ = true;
        blink_ = 0;
        setLamp(epiCode("pau-"), true);
        output_->setPlaying(false);
    } else if (paused_) {
        output_->setPlaying(true);
        paused_ = false;
        setLamp(epiCode("pau-"), false);
    }
}

void ejpPlayerView::setLoopPoint(bool start)
{
    const epiFourCC marker = start ? epiCode("Apol") : epiCode("Bpol");
    double fraction = wave_ ? wave_->markerFraction(epiCode("curs")) : 0.0;
    if (!start && fraction <= 0.0)
        fraction = 1.0;
    setChildValue(start ? epiCode("setA") : epiCode("setB"), 1);
    if (wave_) {
        wave_->setMarker(marker, fraction);
        wave_->showMarker(marker, true);
    }
    if (start) {
        loopStart_ = fraction;
        loopStartSet_ = true;
        output_->setLoopStartFraction(fraction);
    } else {
        loopEnd_ = fraction;
        loopEndSet_ = true;
        output_->setLoopEndFraction(fraction);
    }
    output_->setLoopEnabled(loopStartSet_ && loopEndSet_);
}

void ejpPlayerView::clearLoop()
{
    setChildValue(epiCode("setA"), 0);
    setChildValue(epiCode("setB"), 0);
    if (wave_) {
        wave_->showMarker(epiCode("Apol"), false);
        wave_->showMarker(epiCode("Bpol"), false);
    }
    loopStartSet_ = loopEndSet_ = false;
    output_->setLoopEnabled(false);
}

void ejpPlayerView::onMarkerMoved(epiFourCC id)
{
    if (!wave_)
        return;
    const double fraction = wave_->markerFraction(id);
    if (id == epiCode("curs")) {
        output_->setPositionFraction(fraction);
    } else if (id == epiCode("Apol")) {
        loopStart_ = fraction;
        output_->setLoopStartFraction(fraction);
    } else {
        loopEnd_ = fraction;
        output_->setLoopEndFraction(fraction);
    }
    if (id != epiCode("curs"))
        output_->setLoopEnabled(loopStartSet_ && loopEndSet_);
    showTime(fraction);
}

// ---------------------------------------------------------- zoom and scroll

void ejpPlayerView::zoomBy(int step)
{
    if (!wave_)
        return;
    wave_->setZoom(wave_->getZoom() + step);
    formatChildText(epiCode("stin"), "ZOOM x %d", 1 << wave_->getZoom());
    updateZoomControls();
}

void ejpPlayerView::updateZoomControls()
{
    const int level = wave_ ? wave_->getZoom() : 0;
    const bool scrolls = level > 0;
    getChild(epiCode("scle"))->setEnabled(scrolls);
    getChild(epiCode("scri"))->setEnabled(scrolls);
    getChild(epiCode("scro"))->setEnabled(scrolls);
    getChild(epiCode("zmin"))->setEnabled(level < ejpWave::kMaxZoom);
}

void ejpPlayerView::scrollBy(int direction)
{
    if (!wave_)
        return;
    const double step = 0.05 / static_cast<double>(1 << wave_->getZoom());
    wave_->setScrollFraction(wave_->getScrollFraction() + direction * step);
    setChildValue(epiCode("scro"),
                  static_cast<int>(std::lround(wave_->getScrollFraction() * kScrollScale)));
}

// ------------------------------------------------------------------- files

std::string ejpPlayerView::fitName(const std::string& name, int width)
{
    epiUbo* field = getChild(epiCode("stfn"));
    std::string shown = name;
    std::string kept = name;
    while (!kept.empty() && field->measureText(kNameFont, 0, shown.c_str()) > width) {
        // One character at a time: a UTF-8 sequence goes whole.
        do
            kept.pop_back();
        while (!kept.empty() && (static_cast<unsigned char>(kept.back()) & 0xC0) == 0x80);
        if (!kept.empty() && (static_cast<unsigned char>(kept.back()) & 0xC0) == 0xC0)
            kept.pop_back();
        shown = kept + "...";
    }
    return shown;
}

void ejpPlayerView::resetPanel()
{
    output_->setPlaying(false);
    duration_ = 0.0;
    output_->setPositionFraction(0.0);
    output_->setLoopStartFraction(0.0);
    output_->setLoopEndFraction(1.0);
    output_->setLoopEnabled(false);
    loopStart_ = 0.0;
    loopEnd_ = 1.0;
    setKnob(epiCode("fPic"), 120);
    setKnob(epiCode("fTmp"), 100);
    loopStartSet_ = loopEndSet_ = false;
    paused_ = false;
    loading_ = false;
    setChildValue(epiCode("setA"), 0);
    setChildValue(epiCode("setB"), 0);
    if (wave_) {
        wave_->showMarker(epiCode("Apol"), false);
        wave_->showMarker(epiCode("Bpol"), false);
        wave_->setMarker(epiCode("Apol"), 0.0);
        wave_->setMarker(epiCode("Bpol"), 1.0);
        wave_->setMarker(epiCode("curs"), 0.0);
    }
    setLamp(epiCode("pla-"), false);
    setLamp(epiCode("pau-"), false);
    showTime(0.0);
}

bool ejpPlayerView::loadFile(const char* path)
{
    if (!path)
        return false;
    lastPath_ = epiPath(path);
    resetPanel();
    const epiFourCC field = epiCode("stfn");
    const std::string name =
        fitName(lastPath_.getFileName().str(), getChild(field)->getWidth() - 2);
    setChildText(field, name.c_str());
    if (!output_->load(path)) {
        loadFailed();
        return false;
    }
    setChildText(field, name.c_str());
    loading_ = true;
    duration_ = output_->durationSeconds();
    if (wave_) {
        wave_->drawRuler(duration_);
        wave_->setMarker(epiCode("curs"), 0.0);
    }
    enableTransport(true);
    setChildText(epiCode("stin"), "LOADING");
    setChildValue(epiCode("setA"), 0);
    setChildValue(epiCode("setB"), 0);
    return true;
}

void ejpPlayerView::loadFailed()
{
    loading_ = false;
    duration_ = 0.0;
    setChildText(epiCode("stfn"), "Error");
    enableTransport(false);
    epiWindowManager* manager = windowManager();
    if (!manager)
        return;
    const bool alreadyOpen = manager->findWindowByKind(kMessageKind) != nullptr;
    epiUbo* message = manager->openOrActivate(kMessageKind, kMessageLayout);
    // The message is modal: it returns here once closed, and the reference
    // its opening gave us is all that keeps it. One already open before
    // (a second failure inside its own loop) belongs to that loop.
    if (message && !alreadyOpen && !message->nativeHandle())
        message->exit();
}

void ejpPlayerView::setSampleRate(float hz)
{
    if (!std::isfinite(hz) || hz <= 0.0f || hz == sampleRate_)
        return;
    sampleRate_ = hz;
    resetPanel();
    output_->unload();
    setChildText(epiCode("stfn"), "no file");
    setChildText(epiCode("stin"), "");
    setChildText(epiCode("sttx"), "");
    enableTransport(false);
    if (wave_)
        wave_->drawRuler(0.0);
    output_->setSampleRate(hz);
}

// -------------------------------------------------------------------- time

std::string ejpPlayerView::timeText(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0.0)
        seconds = 0.0;
    const double tenths = seconds * 10.0;
    const auto t = static_cast<long long>(std::floor(tenths * (1.0 + 1e-9)));
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%lld", t / 36000, t / 600 % 60,
                  t / 10 % 60, t % 10);
    return text;
}

std::string ejpPlayerView::timeTextAt(double fraction) const
{
    const float rate = output_->sampleRate();
    if (!(rate > 0.0f))
        return timeText(0.0);
    const double frames = std::floor(fraction * static_cast<double>(output_->lengthFrames()));
    return timeText(frames / static_cast<double>(rate));
}

void ejpPlayerView::showTime(double fraction)
{
    setChildText(epiCode("stti"), timeTextAt(fraction).c_str());
}

void ejpPlayerView::showCursor(double fraction)
{
    if (wave_)
        wave_->setMarker(epiCode("curs"), fraction);
}

// -------------------------------------------------------------------- tick

void ejpPlayerView::onTimedTask()
{
    tick();
}

void ejpPlayerView::tick()
{
    ++ticks_;
    if (loading_ && ticks_ % kProgressEvery == 0) {
        const float progress = output_->progress();
        formatChildText(epiCode("sttx"), "%2.3f", static_cast<double>(progress));
        std::vector<float> points;
        int count = 0, first = 0, changed = 0;
        if (wave_ && output_->overview(points, count, first, changed))
            wave_->drawOverview(points, count, first, changed);
        if (output_->loadFailed()) {
            loadFailed();
        } else if (output_->isLoaded() && progress >= 1.0f) {
            loading_ = false;
            setChildText(epiCode("stin"), "READY");
            // The whole waveform once more, so that it never depends on how
            // the decoding was cut into pieces.
            duration_ = output_->durationSeconds();
            if (wave_) {
                wave_->drawRuler(duration_);
                if (output_->overview(points, count, first, changed))
                    wave_->drawOverview(points, count, 0, count);
            }
        }
    }
    if (paused_) {
        setLamp(epiCode("pau-"), blink_ % (2 * kBlinkTicks) < kBlinkTicks);
        ++blink_;
    }
    if (output_->isPlaying()) {
        if (!wave_ || !wave_->isDraggingCursor()) {
            const double position = output_->positionFraction();
            showCursor(position);
            showTime(position);
        }
        if (output_->takeLoopWrapped())
            output_->metronome().restartBeat();
    }
    if (output_->takeEndReached()) {
        setLamp(epiCode("pla-"), false);
        setLamp(epiCode("pau-"), false);
        const double position = output_->positionFraction();
        showCursor(position);
        showTime(position);
        paused_ = false;
    }
    int segments = 0;
    if (output_->leftSegments(segments))
        setChildValue(epiCode("levL"), std::clamp(segments, 0, kMeterSegments));
    if (output_->rightSegments(segments))
        setChildValue(epiCode("levR"), std::clamp(segments, 0, kMeterSegments));
}

} // namespace player
