#pragma once

#include "hostfw/app/epiColor.h"
#include "hostfw/widgets/epiUiBitmapWidgets.h"
#include "hostfw/win/epiUiContainer.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

class epiBitmap;

namespace player {

// The play cursor: a bitmap scroll whose press outside its thumb jumps the
// cursor there (the thumb centred on the pointer) and then drags it. The
// fraction is kept within 0 .. 1, also for a press left of the thumb's half
// width.
class ejpUiCursorScroll : public epiUiBitmapScroll {
public:
    // The pixels between a marker's frame and its fraction (half its width).
    static constexpr int kOffset = 8;

    // The width over which fractions are counted (the layer's width).
    void setSpan(int width) { span_ = width; }
    int getSpan() const { return span_; }
    // The fraction (0 .. 1) a press at x in this object's coordinates means.
    double fractionAt(int x) const;
    void onMouseDown(const epiPoint& point) override;

private:
    int span_ = 1;
};

// The waveform: six layer bitmaps ('zoo0' .. 'zoo5', layer i 2^i times the
// visible width) holding the ruler and the overview, the one of the zoom
// level drawn; and three markers over it, the play cursor 'curs' and the
// loop points 'Apol' and 'Bpol', each at its fraction x 10000.
class ejpWave : public epiUiContainer {
public:
    static constexpr int kLayers = 6;
    static constexpr int kMaxZoom = kLayers - 1;
    static constexpr int kRulerHeight = 7;
    static const epiColor kBackground;
    static const epiColor kTick;
    static const epiColor kLabel;
    static const epiColor kWave;

    ejpWave();
    ~ejpWave() override;

    epiUbo* createChildObject(epiFourCC kind, epiFourCC id) override;
    void create() override;
    void draw(const epiRect& clip) override;
    // Presses on a shown loop marker's thumb go to that marker, all others
    // to the cursor.
    void onMouseDown(const epiPoint& point) override;
    // The markers' hits ('curs', 'Apol', 'Bpol') go to the listener.
    bool onCommand(epiFourCC id) override;
    void setMarkerListener(std::function<void(epiFourCC)> listener)
    {
        listener_ = std::move(listener);
    }

    // Makes the layers for the visible size and clears them (no duration).
    void setVisibleSize(int width, int height);
    int visibleWidth() const { return visibleWidth_; }
    int layerWidth(int level) const { return visibleWidth_ << level; }
    const epiBitmap* layer(int level) const;

    // Background and ruler on every layer; a duration of 0 or less draws the
    // background alone.
    void drawRuler(double durationSeconds);
    // The overview's changed range on every layer.
    void drawOverview(const std::vector<float>& points, int count, int first, int changed);

    // Zoom level 0 .. 5 and scroll fraction 0 .. 1 (others are clamped):
    // the layer shown, the scroll offset and the markers follow.
    void setZoom(int level);
    int getZoom() const { return zoom_; }
    void setScrollFraction(double fraction);
    double getScrollFraction() const { return scroll_; }
    // The left of the shown layer against the visible area (0 or less).
    int layerOffset() const;

    // Marker fractions (clamped to 0 .. 1) and visibility.
    void setMarker(epiFourCC id, double fraction);
    double markerFraction(epiFourCC id);
    void showMarker(epiFourCC id, bool shown);
    bool isDraggingCursor();
    epiUiBitmapScroll* marker(epiFourCC id);

private:
    void placeMarkers();
    void placeMarker(epiFourCC id);
    void applyScroll();

    std::array<std::unique_ptr<epiBitmap>, kLayers> layers_;
    int visibleWidth_ = 0;
    int height_ = 0;
    int zoom_ = 0;
    double scroll_ = 0.0;
    double cursor_ = 0.0;
    double loopStart_ = 0.0;
    double loopEnd_ = 1.0;
    std::function<void(epiFourCC)> listener_;
};

// The scrollable container around the waveform ('waco'): its scroll shows
// the part of the waveform's layer at the waveform's scroll fraction.
class ejpWaveView : public epiUiScrollableContainer {
public:
    epiUbo* createChildObject(epiFourCC kind, epiFourCC id) override;
    void create() override;
    ejpWave* wave();
};

} // namespace player
