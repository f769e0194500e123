#include "hostfw/controls/epiUiSystemStaticText.h"

#include "hostfw/controls/epiControlLook.h"

#include <algorithm>

namespace look = epiControlLook;

std::vector<epiFourCC> epiUiSystemStaticText::savedAttributes() const
{
    return {epiCode("visi"), epiCode("enab"), epiCode("txAl"), epiCode("teSi"), epiCode("teBo")};
}

void epiUiSystemStaticText::setAttribute(epiFourCC code, std::intptr_t value)
{
    switch (code) {
    case epiCode("txAl"):
        // Only centred and right change the look; anything else is left.
        alignment_ = static_cast<int>(value);
        break;
    case epiCode("teSi"):
        textSize_ = static_cast<int>(value);
        break;
    case epiCode("teBo"):
        bold_ = value != 0;
        break;
    default:
        epiUiSystemButton::setAttribute(code, value);
        return;
    }
    redraw();
}

bool epiUiSystemStaticText::getAttributeText(epiFourCC code, epiText& text) const
{
    switch (code) {
    case epiCode("txAl"):
        text.assignLong(alignment_);
        return true;
    case epiCode("teSi"):
        text.assignLong(textSize_);
        return true;
    case epiCode("teBo"):
        text.assignLong(bold_ ? 1 : 0);
        return true;
    default:
        return epiUiSystemButton::getAttributeText(code, text);
    }
}

void epiUiSystemStaticText::draw(const epiRect& clip)
{
    const int align = alignment_ == 1 || alignment_ == 2 ? alignment_ : 0;
    const std::uint32_t colour = enabled_ ? look::kText : look::kDisabledText;
    const std::size_t lines = getText().countLines();
    const epiRect bounds = getBounds();
    for (std::size_t i = 0; i < lines; ++i) {
        const int top = static_cast<int>(i) * look::kLineHeight;
        if (top >= bounds.bottom)
            break;
        epiText line;
        getText().getLine(line, i);
        look::text(*this, line.getCStr(),
                   epiRect(0, top, bounds.right, std::min(top + look::kLineHeight, bounds.bottom)),
                   clip, colour, align, bold_);
    }
}

// ------------------------------------------------------------- rolling text

void epiUiSystemRollingText::setAttributeText(epiFourCC code, const epiText& text)
{
    if (code != epiCode("cont")) {
        epiUiSystemStaticText::setAttributeText(code, text);
        return;
    }
    lines_.assign(text.getCStr());
    lineCount_ = static_cast<int>(lines_.countLines());
}

void epiUiSystemRollingText::setValue(int index)
{
    // A negative index names no line.
    if (index < 0 || index >= lineCount_)
        return;
    epiText line;
    lines_.getLine(line, static_cast<std::size_t>(index));
    currentLine_ = index;
    setText(line);
}

void epiUiSystemRollingText::onMouseDown(const epiPoint& point)
{
    captureMe();
    dragging_ = true;
    dragPoint_ = point;
}

void epiUiSystemRollingText::onMouseDrag(const epiPoint& point)
{
    if (!dragging_ || lineCount_ <= 0)
        return;
    const int steps = (dragPoint_.y - point.y) / 2;
    if (steps == 0)
        return;
    currentLine_ = std::clamp(currentLine_ + steps, 0, lineCount_ - 1);
    setValue(currentLine_);
    reportHit();
    dragPoint_ = point;
}

void epiUiSystemRollingText::onMouseUp(const epiPoint&)
{
    if (dragging_)
        releaseCapture();
    dragging_ = false;
}
