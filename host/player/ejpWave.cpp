#include "host/player/ejpWave.h"

#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/ui/epiUiBehaviour.h"
#include "hostfw/win/epiSurface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace player {

namespace {

constexpr int kFractionScale = 10000;
constexpr int kDefaultThumbWidth = 17;
constexpr int kLabelWidth = 50;

epiColor rgb(int r, int g, int b)
{
    return epiColor(0xFF000000u | static_cast<std::uint32_t>(r) << 16 |
                    static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b));
}

double clampFraction(double f)
{
    if (std::isnan(f))
        return 0.0;
    return std::min(std::max(f, 0.0), 1.0);
}

} // namespace

const epiColor ejpWave::kBackground = rgb(43, 36, 22);
const epiColor ejpWave::kTick = rgb(86, 72, 44);
const epiColor ejpWave::kLabel = rgb(200, 200, 200);
const epiColor ejpWave::kWave = rgb(254, 196, 41);

// ------------------------------------------------------------------ cursor

double ejpUiCursorScroll::fractionAt(int x) const
{
    if (span_ <= 0)
        return 0.0;
    const long long value = static_cast<long long>(x - kOffset) * kFractionScale / span_;
    return static_cast<double>(std::clamp<long long>(value, 0, kFractionScale)) / kFractionScale;
}

void ejpUiCursorScroll::onMouseDown(const epiPoint& point)
{
    epiUiBehaviour* behaviour = getBehaviour();
    if (!behaviour)
        return;
    if (!thumbRect().containsPoint(point)) {
        behaviour->setValue(static_cast<float>(fractionAt(point.x) * kFractionScale));
        reportHit();
    }
    // The thumb is under the pointer now (unless clamped): the drag goes on
    // from here.
    epiUiBitmapScroll::onMouseDown(point);
}

// -------------------------------------------------------------------- wave

ejpWave::ejpWave() = default;
ejpWave::~ejpWave() = default;

epiUbo* ejpWave::createChildObject(epiFourCC kind, epiFourCC id)
{
    if (id == epiCode("curs")) {
        auto* cursor = new ejpUiCursorScroll;
        cursor->setId(id);
        return cursor;
    }
    return epiUiContainer::createChildObject(kind, id);
}

void ejpWave::create()
{
    epiUiContainer::create();
    if (visibleWidth_ == 0 && getWidth() > 0)
        setVisibleSize(getWidth(), getHeight());
}

const epiBitmap* ejpWave::layer(int level) const
{
    if (level < 0 || level >= kLayers)
        return nullptr;
    return layers_[static_cast<std::size_t>(level)].get();
}

void ejpWave::setVisibleSize(int width, int height)
{
    visibleWidth_ = std::max(width, 1);
    height_ = std::max(height, kRulerHeight + 2);
    for (int i = 0; i < kLayers; ++i) {
        auto bitmap = std::make_unique<epiBitmap>();
        bitmap->create(layerWidth(i), height_);
        layers_[static_cast<std::size_t>(i)] = std::move(bitmap);
    }
    drawRuler(0.0);
    setZoom(zoom_);
}

void ejpWave::drawRuler(double durationSeconds)
{
    for (int i = 0; i < kLayers; ++i) {
        epiBitmap* bitmap = layers_[static_cast<std::size_t>(i)].get();
        if (!bitmap)
            continue;
        const int width = layerWidth(i);
        const epiRect all(0, 0, width, height_);
        bitmap->fillRect(kBackground, &all);
        if (!(durationSeconds > 0.0) || !std::isfinite(durationSeconds))
            continue;
        const int ticks = 4 << i;
        for (int j = 0; j <= ticks; ++j) {
            const int x = j == ticks ? width - 1
                                     : static_cast<int>(static_cast<long long>(j) * width / ticks);
            const epiRect tick(x, 0, x + 1, height_);
            bitmap->fillRect(kTick, &tick);
            const int seconds = static_cast<int>(durationSeconds * j / ticks);
            char label[32];
            std::snprintf(label, sizeof label, "%02d:%02d", seconds / 60, seconds % 60);
            epiRect box(x - kLabelWidth / 2, height_ - kRulerHeight, x + kLabelWidth / 2, height_);
            int alignment = 1;
            if (j == 0) {
                box = epiRect(0, height_ - kRulerHeight, kLabelWidth, height_);
                alignment = 0;
            } else if (j == ticks) {
                box = epiRect(width - kLabelWidth, height_ - kRulerHeight, width, height_);
                alignment = 2;
            }
            epiSurface::drawText(*bitmap, resources(), epiCode("hnl7"), alignment, box, all, label,
                                 kLabel);
        }
    }
    redraw();
}

void ejpWave::drawOverview(const std::vector<float>& points, int count, int first, int changed)
{
    count = std::min(count, static_cast<int>(points.size()));
    if (count <= 0 || changed <= 0 || first < 0 || first >= count)
        return;
    changed = std::min(changed, count - first);
    const int middle = (height_ - kRulerHeight) / 2;
    for (int i = 0; i < kLayers; ++i) {
        epiBitmap* bitmap = layers_[static_cast<std::size_t>(i)].get();
        if (!bitmap)
            continue;
        const long long width = layerWidth(i);
        const int from = static_cast<int>(first * width / count);
        const int to =
            std::min(static_cast<int>(width),
                     std::max(from + 1, static_cast<int>((first + changed) * width / count)));
        for (int x = from; x < to; ++x) {
            const float value = points[static_cast<std::size_t>(x * count / width)];
            int half = 0;
            if (std::isfinite(value))
                half = static_cast<int>(std::min(std::fabs(value), 1.0f) * (middle - 1));
            const epiRect line(x, middle - half, x + 1, middle + half + 1);
            bitmap->fillRect(kWave, &line);
        }
        if (i == zoom_)
            invalidate(epiRect(from, 0, to, height_));
    }
}

void ejpWave::draw(const epiRect& clip)
{
    if (const epiBitmap* shown = layer(zoom_)) {
        epiRect part(clip);
        part.intersect(shown->getBounds());
        if (part.getWidth() > 0 && part.getHeight() > 0)
            drawBitmap(*shown, part, part, clip);
    }
    epiUiContainer::draw(clip);
}

void ejpWave::setZoom(int level)
{
    zoom_ = std::clamp(level, 0, kMaxZoom);
    if (visibleWidth_ > 0) {
        epiRect frame = getFrame();
        frame.setSize(layerWidth(zoom_), height_);
        setRect(frame);
    }
    applyScroll();
    placeMarkers();
    redraw();
}

void ejpWave::setScrollFraction(double fraction)
{
    scroll_ = clampFraction(fraction);
    applyScroll();
}

int ejpWave::layerOffset() const
{
    return -static_cast<int>((layerWidth(zoom_) - visibleWidth_) * scroll_);
}

void ejpWave::applyScroll()
{
    if (epiUbo* parent = getParent()) {
        parent->notify(epiCode("scrX"),
                       reinterpret_cast<void*>(static_cast<std::intptr_t>(-layerOffset())),
                       nullptr);
    }
}

epiUiBitmapScroll* ejpWave::marker(epiFourCC id)
{
    return dynamic_cast<epiUiBitmapScroll*>(findChild(id));
}

void ejpWave::placeMarkers()
{
    placeMarker(epiCode("curs"));
    placeMarker(epiCode("Apol"));
    placeMarker(epiCode("Bpol"));
}

// A marker spans the layer and the width of its thumb, starting half a thumb
// to the left, so that position 0 .. layer width is the thumb's left edge
// and its fraction lies under the thumb's middle.
void ejpWave::placeMarker(epiFourCC id)
{
    epiUiBitmapScroll* scroll = marker(id);
    epiUiBehaviour* behaviour = scroll ? scroll->getBehaviour() : nullptr;
    if (!behaviour || visibleWidth_ == 0)
        return;
    const float value = behaviour->getValue();
    const epiBitmap* thumb = scroll->getFace(0);
    const int thumbWidth = thumb ? thumb->getWidth() : kDefaultThumbWidth;
    const int thumbHeight = thumb ? thumb->getHeight() : height_ - kRulerHeight;
    const int width = layerWidth(zoom_);
    scroll->setRect(epiRect(-ejpUiCursorScroll::kOffset, 0,
                            -ejpUiCursorScroll::kOffset + width + thumbWidth, thumbHeight));
    behaviour->setMin(0.0f);
    behaviour->setMax(static_cast<float>(kFractionScale));
    behaviour->setPixelMin(0);
    behaviour->setPixelMax(width);
    if (auto* cursor = dynamic_cast<ejpUiCursorScroll*>(scroll))
        cursor->setSpan(width);
    // The same value again leaves a stale position: step off it and back.
    behaviour->setValue(value == 0.0f ? 1.0f : 0.0f);
    behaviour->setValue(value);
}

void ejpWave::setMarker(epiFourCC id, double fraction)
{
    epiUiBitmapScroll* scroll = marker(id);
    if (!scroll || !scroll->getBehaviour())
        return;
    scroll->getBehaviour()->setValue(static_cast<float>(clampFraction(fraction) * kFractionScale));
}

double ejpWave::markerFraction(epiFourCC id)
{
    epiUiBitmapScroll* scroll = marker(id);
    if (!scroll || !scroll->getBehaviour())
        return 0.0;
    return clampFraction(scroll->getBehaviour()->getValue() / kFractionScale);
}

void ejpWave::showMarker(epiFourCC id, bool shown)
{
    if (epiUiBitmapScroll* scroll = marker(id))
        scroll->setVisible(shown, true);
}

bool ejpWave::isDraggingCursor()
{
    epiUiBitmapScroll* cursor = marker(epiCode("curs"));
    return cursor && cursor->isThumbPressed();
}

void ejpWave::onMouseDown(const epiPoint& point)
{
    if (!isEnabled() || getCapturedChild()) {
        epiUiContainer::onMouseDown(point);
        return;
    }
    for (epiFourCC id : {epiCode("Bpol"), epiCode("Apol")}) {
        epiUiBitmapScroll* loop = marker(id);
        if (loop && loop->isVisible() && loop->getFrame().containsPoint(point) &&
            loop->thumbRect().containsPoint(loop->pointFromParent(point))) {
            loop->parentMouseDown(point);
            return;
        }
    }
    if (epiUiBitmapScroll* cursor = marker(epiCode("curs")))
        cursor->parentMouseDown(point);
}

bool ejpWave::onCommand(epiFourCC id)
{
    if (id == epiCode("curs") || id == epiCode("Apol") || id == epiCode("Bpol")) {
        if (listener_)
            listener_(id);
        return true;
    }
    return epiUiContainer::onCommand(id);
}

// --------------------------------------------------------------- wave view

epiUbo* ejpWaveView::createChildObject(epiFourCC kind, epiFourCC id)
{
    if (id == epiCode("waco")) {
        auto* made = new ejpWave;
        made->setId(id);
        return made;
    }
    return epiUiScrollableContainer::createChildObject(kind, id);
}

void ejpWaveView::create()
{
    epiUiScrollableContainer::create();
    if (ejpWave* content = wave())
        content->setVisibleSize(getWidth(), getHeight());
}

ejpWave* ejpWaveView::wave()
{
    return dynamic_cast<ejpWave*>(findChild(epiCode("waco")));
}

} // namespace player
