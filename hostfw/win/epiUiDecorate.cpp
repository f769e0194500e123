#include "hostfw/win/epiUiDecorate.h"

#include <cstdio>

namespace {

// "red,green,blue" with an optional ",alpha"; false when the text holds less.
bool parseColour(const epiText& text, epiColor& colour)
{
    int red = 0, green = 0, blue = 0, alpha = 255;
    if (std::sscanf(text.getCStr(), "%d , %d , %d , %d", &red, &green, &blue, &alpha) < 3)
        return false;
    const auto byte = [](int v) {
        return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    };
    colour.red = byte(red);
    colour.green = byte(green);
    colour.blue = byte(blue);
    colour.alpha = byte(alpha);
    return true;
}

} // namespace

bool epiUiDecorateHelper::setAttribute(epiFourCC code, const epiText& text)
{
    const auto colour = [&text](Colour& into) { into.set = parseColour(text, into.value); };
    const bool on = text.toLong() != 0;
    switch (code) {
    case epiCode("fdim"):
        offWidth_ = static_cast<int>(text.toLong());
        break;
    case epiCode("fdon"):
        onWidth_ = static_cast<int>(text.toLong());
        break;
    case epiCode("fron"):
        colour(onFrame_);
        break;
    case epiCode("frof"):
        colour(offFrame_);
        break;
    case epiCode("Fion"):
        colour(onFill_);
        break;
    case epiCode("Fiof"):
        colour(offFill_);
        break;
    case epiCode("frnd"):
        top_ = on;
        break;
    case epiCode("frsd"):
        bottom_ = on;
        break;
    case epiCode("fres"):
        right_ = on;
        break;
    case epiCode("frov"):
        left_ = on;
        break;
    default:
        return false;
    }
    return true;
}

void epiUiDecorateHelper::draw(epiUbo& owner, const epiRect& clip, const epiRect* rect) const
{
    const Colour& fill = on_ ? onFill_ : offFill_;
    const Colour& frame = on_ ? onFrame_ : offFrame_;
    const int width = on_ ? onWidth_ : offWidth_;
    epiRect outer = rect ? *rect : owner.getBounds();
    if (fill.set) {
        epiRect part(outer);
        part.intersect(clip);
        owner.fillRect(part, fill.value);
    }
    outer.right -= 1;
    outer.bottom -= 1;
    epiRect inner(outer);
    inner.insetAll(width / 2);
    if (!frame.set)
        return;
    if (top_)
        owner.drawLine(outer.left, inner.top, outer.right, inner.top, clip, frame.value, width);
    if (bottom_)
        owner.drawLine(outer.left, inner.bottom, outer.right, inner.bottom, clip, frame.value,
                       width);
    if (left_)
        owner.drawLine(inner.left, outer.top, inner.left, outer.bottom, clip, frame.value, width);
    if (right_)
        owner.drawLine(inner.right, outer.top, inner.right, outer.bottom, clip, frame.value, width);
}
