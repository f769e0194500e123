#include "hostfw/controls/epiUiSystemScroll.h"

#include "hostfw/controls/epiControlLook.h"

#include <algorithm>

namespace look = epiControlLook;

std::vector<epiFourCC> epiUiSystemScroll::savedAttributes() const
{
    return {epiCode("visi"), epiCode("enab"), epiCode("min_"), epiCode("max_")};
}

void epiUiSystemScroll::setAttribute(epiFourCC code, std::intptr_t value)
{
    if (code == epiCode("min_"))
        minimum_ = static_cast<int>(value);
    else if (code == epiCode("max_"))
        maximum_ = static_cast<int>(value);
    else {
        epiUiSystemButton::setAttribute(code, value);
        return;
    }
    position_ = std::clamp(position_, minimum_, std::max(minimum_, maximum_));
    redraw();
}

bool epiUiSystemScroll::getAttributeText(epiFourCC code, epiText& text) const
{
    if (code == epiCode("min_")) {
        text.assignLong(minimum_);
        return true;
    }
    if (code == epiCode("max_")) {
        text.assignLong(maximum_);
        return true;
    }
    return epiUiSystemButton::getAttributeText(code, text);
}

void epiUiSystemScroll::afterCreate()
{
    epiUiSystemButton::afterCreate();
    // A new bar starts one step into its range.
    setValue(1);
}

void epiUiSystemScroll::setValue(int value)
{
    value = std::clamp(value, minimum_, std::max(minimum_, maximum_));
    if (value == position_)
        return;
    position_ = value;
    redraw();
}

void epiUiSystemScroll::moveTo(int value)
{
    value = std::clamp(value, minimum_, std::max(minimum_, maximum_));
    if (value == position_)
        return;
    setValue(value);
    activate();
}

void epiUiSystemScroll::scroll(Request request, int thumb)
{
    const int c = position_;
    const int page = (maximum_ - minimum_) / 10;
    switch (request) {
    case Request::lineUp:
        moveTo(c - 1);
        break;
    case Request::lineDown:
        moveTo(c + 1);
        break;
    case Request::pageUp:
        moveTo(c - page);
        break;
    case Request::pageDown:
        moveTo(c + page);
        break;
    case Request::thumbPosition:
    case Request::thumbTrack:
        moveTo(thumb);
        break;
    case Request::top:
        moveTo(minimum_);
        break;
    case Request::bottom:
        moveTo(maximum_);
        break;
    }
}

void epiUiSystemScroll::onMouseWheel(const epiPoint&, int notches)
{
    if (enabled_)
        moveTo(position_ - 10 * notches);
}

int epiUiSystemScroll::arrowSize() const
{
    const int across = isHorizontal() ? getHeight() : getWidth();
    return std::max(0, std::min(across, length() / 3));
}

epiRect epiUiSystemScroll::thumbRect() const
{
    const int arrow = arrowSize();
    const int track = std::max(0, length() - 2 * arrow - thumbSize());
    const int span = maximum_ - minimum_;
    const int offset =
        span > 0 ? static_cast<int>(static_cast<long long>(position_ - minimum_) * track / span)
                 : 0;
    const int start = arrow + offset;
    return isHorizontal() ? epiRect(start, 0, start + thumbSize(), getHeight())
                          : epiRect(0, start, getWidth(), start + thumbSize());
}

int epiUiSystemScroll::positionAt(int pixel) const
{
    const int arrow = arrowSize();
    const int track = std::max(1, length() - 2 * arrow - thumbSize());
    const long long span = maximum_ - minimum_;
    const int along = std::clamp(pixel - arrow, 0, track);
    // Rounded to the nearest position.
    return minimum_ + static_cast<int>((along * span + track / 2) / track);
}

void epiUiSystemScroll::onMouseDown(const epiPoint& point)
{
    if (!enabled_)
        return;
    captureMe();
    const int at = along(point);
    const epiRect thumb = thumbRect();
    const int thumbStart = isHorizontal() ? thumb.left : thumb.top;
    held_ = 2;
    if (at < arrowSize())
        scroll(Request::lineUp);
    else if (at >= length() - arrowSize())
        scroll(Request::lineDown);
    else if (at < thumbStart)
        scroll(Request::pageUp);
    else if (at >= thumbStart + thumbSize())
        scroll(Request::pageDown);
    else {
        held_ = 1;
        grabOffset_ = at - thumbStart;
    }
}

void epiUiSystemScroll::onMouseDrag(const epiPoint& point)
{
    if (held_ == 1)
        scroll(Request::thumbTrack, positionAt(along(point) - grabOffset_));
}

void epiUiSystemScroll::onMouseUp(const epiPoint& point)
{
    if (held_ == 0)
        return;
    if (held_ == 1)
        scroll(Request::thumbPosition, positionAt(along(point) - grabOffset_));
    held_ = 0;
    releaseCapture();
}

void epiUiSystemScroll::draw(const epiRect& clip)
{
    const epiRect bounds = getBounds();
    // The track: a lighter dotted grey, as the system draws it.
    look::fill(*this, bounds, clip, 0xFFE6E6E6);
    const int arrow = arrowSize();
    const bool horizontal = isHorizontal();
    const epiRect first =
        horizontal ? epiRect(0, 0, arrow, bounds.bottom) : epiRect(0, 0, bounds.right, arrow);
    const epiRect last = horizontal
                             ? epiRect(bounds.right - arrow, 0, bounds.right, bounds.bottom)
                             : epiRect(0, bounds.bottom - arrow, bounds.right, bounds.bottom);
    const std::uint32_t ink = enabled_ ? look::kText : look::kDisabledText;
    for (const epiRect& button : {first, last}) {
        look::fill(*this, button, clip, look::kFace);
        look::bevel(*this, button, clip, false);
    }
    look::arrow(*this, first, clip, horizontal ? 2 : 1, ink);
    look::arrow(*this, last, clip, horizontal ? 3 : 0, ink);
    if (enabled_ && maximum_ > minimum_) {
        const epiRect thumb = thumbRect();
        look::fill(*this, thumb, clip, look::kFace);
        look::bevel(*this, thumb, clip, false);
    }
}
