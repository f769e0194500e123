#include "hostfw/widgets/epiUiDynamicWidgets.h"

#include "hostfw/widgets/epiColourText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The rectangle cut by the clip (empty when they do not meet).
epiRect clipped(const epiRect& rect, const epiRect& clip)
{
    epiRect out(rect);
    out.intersect(clip);
    if (out.getWidth() <= 0 || out.getHeight() <= 0)
        return epiRect();
    return out;
}

void fillClipped(epiUbo& widget, const epiRect& rect, const epiRect& clip, const epiColor& colour)
{
    const epiRect area = clipped(rect, clip);
    if (!area.isEmpty())
        widget.fillRect(area, colour);
}

// A frame of the width, drawn inward from the rectangle's edges.
void frameClipped(epiUbo& widget, const epiRect& rect, const epiRect& clip, const epiColor& colour,
                  int width)
{
    epiRect ring(rect);
    for (int i = 0; i < width && ring.getWidth() > 0 && ring.getHeight() > 0; ++i) {
        fillClipped(widget, epiRect(ring.left, ring.top, ring.right, ring.top + 1), clip, colour);
        fillClipped(widget, epiRect(ring.left, ring.bottom - 1, ring.right, ring.bottom), clip,
                    colour);
        fillClipped(widget, epiRect(ring.left, ring.top, ring.left + 1, ring.bottom), clip, colour);
        fillClipped(widget, epiRect(ring.right - 1, ring.top, ring.right, ring.bottom), clip,
                    colour);
        ring.insetAll(1);
    }
}

} // namespace

// -------------------------------------------------------------------- image

void epiUiDynamicImage::setValue(int value)
{
    if (value == state_)
        return;
    state_ = value;
    redraw();
}

void epiUiDynamicImage::onReady()
{
    if (state_ != 0) {
        state_ = 0;
        redraw();
    }
}

void epiUiDynamicImage::setAttributeText(epiFourCC code, const epiText& text)
{
    // The released look's codes start with "un", the pressed look's with
    // "pr"; the last two characters name the field.
    const epiFourCC prefix = code & 0xFFFF0000u;
    epiUiDynamicLook* target = prefix == (epiCode("un  ") & 0xFFFF0000u)   ? &released_
                               : prefix == (epiCode("pr  ") & 0xFFFF0000u) ? &pressed_
                                                                           : nullptr;
    const int number = static_cast<int>(text.toLong());
    bool known = target != nullptr;
    if (target) {
        switch (code & 0xFFFFu) {
        case epiCode("  Fc") & 0xFFFFu:
            epiColourFromText(text, target->frameColour);
            break;
        case epiCode("  Fs") & 0xFFFFu:
            target->frameSize = number;
            break;
        case epiCode("  Bs") & 0xFFFFu:
            target->bevelSize = number;
            break;
        case epiCode("  Bl") & 0xFFFFu:
            epiColourFromText(text, target->bevelLight);
            break;
        case epiCode("  Bd") & 0xFFFFu:
            epiColourFromText(text, target->bevelDark);
            break;
        case epiCode("  Cc") & 0xFFFFu:
            epiColourFromText(text, target->fillColour);
            break;
        case epiCode("  Tc") & 0xFFFFu:
            epiColourFromText(text, target->textColour);
            break;
        case epiCode("  Tf") & 0xFFFFu:
            target->textFont = epiCodeFromText(text);
            break;
        case epiCode("  Tp") & 0xFFFFu: {
            int x = 0, y = 0;
            std::sscanf(text.getCStr(), "%d , %d", &x, &y);
            target->textOffset = epiPoint(x, y);
            break;
        }
        case epiCode("  Ts") & 0xFFFFu:
            target->textAlignment = number;
            break;
        default:
            known = false;
            break;
        }
    }
    if (!known)
        epiUbo::setAttributeText(code, text);
}

void epiUiDynamicImage::draw(const epiRect& clip)
{
    const epiUiDynamicLook& l = look(state_ != 0);
    const epiRect bounds = getBounds();
    fillClipped(*this, bounds, clip, l.fillColour);
    epiRect r(bounds);
    r.insetAll(l.frameSize);
    for (int i = 0; i < l.bevelSize; ++i) {
        drawLine(r.left + i, r.top + i, r.left + i, r.bottom - i - 1, clip, l.bevelDark, 1);
        drawLine(r.left + i, r.bottom - i - 1, r.right - i - 1, r.bottom - i - 1, clip, l.bevelDark,
                 1);
        drawLine(r.left + i, r.top + i, r.right - i - 1, r.top + i, clip, l.bevelLight, 1);
        drawLine(r.right - i - 1, r.top + i, r.right - i - 1, r.bottom - i - 1, clip, l.bevelLight,
                 1);
    }
    if (l.frameSize != 0)
        frameClipped(*this, bounds, clip, l.frameColour, l.frameSize);
    if (getText().getLength() != 0) {
        epiRect textRect(bounds);
        textRect.offsetByPoint(l.textOffset);
        drawText(l.textFont, l.textAlignment, textRect, clip, getTextCStr(), l.textColour);
    }
}

void epiUiDynamicButton::onMouseDown(const epiPoint&)
{
    epiUiDynamicImage::setValue(1);
    captureMe();
    reportHit();
}

void epiUiDynamicButton::onMouseUp(const epiPoint&)
{
    epiUiDynamicImage::setValue(0);
    releaseCapture();
}

void epiUiDynamicCheckBox::onMouseDown(const epiPoint&)
{
    epiUiDynamicImage::setValue(state_ == 1 ? 0 : 1);
    reportHit();
}

// --------------------------------------------------------------------- knob

int epiUiDynamicKnob::limited(int value) const
{
    return std::max(0, std::min(value, maxValue_));
}

void epiUiDynamicKnob::setValue(int value)
{
    value = limited(value);
    if (value == value_)
        return;
    value_ = value;
    redraw();
}

void epiUiDynamicKnob::setAttribute(epiFourCC code, std::intptr_t value)
{
    if (code == epiCode("max_")) {
        maxValue_ = static_cast<int>(value);
        redraw();
        return;
    }
    epiUiDynamicBase::setAttribute(code, value);
}

void epiUiDynamicKnob::draw(const epiRect& clip)
{
    const epiRect bounds = getBounds();
    epiColor grey;
    grey.setGrey(100);
    fillOval(bounds, clip, grey);
    // No range: no angle to point at.
    if (maxValue_ <= 0)
        return;
    const int cx = bounds.getWidth() / 2;
    const int cy = bounds.getHeight() / 2;
    const double rx = bounds.getWidth() / 2 - 2;
    const double ry = bounds.getHeight() / 2 - 2;
    const double degrees = 225 - static_cast<long long>(value_) * 270 / maxValue_;
    const double angle = degrees * 0.01745327777777778;
    epiColor white;
    white.setWhite();
    drawLine(cx, cy, static_cast<int>(cx + rx * std::cos(angle)),
             static_cast<int>(cy - ry * std::sin(angle)), clip, white, 1);
}

void epiUiDynamicKnob::onMouseDown(const epiPoint& point)
{
    dragStart_ = point;
    startValue_ = value_;
    captureMe();
}

void epiUiDynamicKnob::onMouseDrag(const epiPoint& point)
{
    const int value = limited(startValue_ + 2 * (dragStart_.y - point.y));
    if (value != value_) {
        setValue(value);
        reportHit();
    }
}

void epiUiDynamicKnob::onMouseUp(const epiPoint&)
{
    releaseCapture();
}

// -------------------------------------------------------------------- meter

void epiUiDynamicLevelMeter::setValue(int value)
{
    if (value == value_)
        return;
    value_ = value;
    redraw();
}

void epiUiDynamicLevelMeter::setAttributeText(epiFourCC code, const epiText& text)
{
    switch (code) {
    case epiCode("dark"):
        epiColourFromText(text, unlitColour_);
        break;
    case epiCode("ligh"):
        epiColourFromText(text, litColour_);
        break;
    case epiCode("fram"):
        epiColourFromText(text, frameColour_);
        break;
    case epiCode("divi"):
        divisions_ = static_cast<int>(text.toLong());
        redraw();
        break;
    default:
        epiUiDynamicBase::setAttributeText(code, text);
        break;
    }
}

void epiUiDynamicLevelMeter::draw(const epiRect& clip)
{
    const epiRect bounds = getBounds();
    epiRect r(bounds);
    r.insetAll(1);
    // No divisions: no cells to light, the frame alone.
    if (divisions_ > 0) {
        // The value is not limited when set; the lit cells are.
        const long long lit = std::clamp<long long>(value_, 0, divisions_);
        if (bounds.getWidth() > bounds.getHeight()) {
            const int cell = r.getWidth() / divisions_;
            const int litEnd = r.left + static_cast<int>(cell * lit);
            fillClipped(*this, epiRect(r.left, r.top, litEnd, r.bottom), clip, litColour_);
            fillClipped(*this, epiRect(litEnd, r.top, r.left + divisions_ * cell, r.bottom), clip,
                        unlitColour_);
            for (int i = 1; i < divisions_; ++i)
                drawLine(r.left + i * cell, r.top, r.left + i * cell, r.bottom, clip, frameColour_,
                         1);
        } else {
            const int cell = r.getHeight() / divisions_;
            const int litTop = r.bottom - static_cast<int>(cell * lit);
            fillClipped(*this, epiRect(r.left, litTop, r.right, r.bottom), clip, litColour_);
            fillClipped(*this, epiRect(r.left, r.bottom - divisions_ * cell, r.right, litTop), clip,
                        unlitColour_);
            for (int i = 1; i < divisions_; ++i)
                drawLine(r.left, r.bottom - i * cell, r.right, r.bottom - i * cell, clip,
                         frameColour_, 1);
        }
    }
    frameClipped(*this, bounds, clip, frameColour_, 1);
}
