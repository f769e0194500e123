#include "hostfw/controls/epiUiSystemToggles.h"

#include "hostfw/controls/epiControlLook.h"
#include "hostfw/widgets/epiUiBehaviours.h"

#include <algorithm>

namespace look = epiControlLook;

namespace {

constexpr int kBox = 13;

} // namespace

std::vector<epiFourCC> epiUiSystemRadio::savedAttributes() const
{
    // 'visi' twice, as the files written so far have it.
    return {epiCode("fagr"), epiCode("fain"), epiCode("visi"), epiCode("visi")};
}

epiUiBehaviour* epiUiSystemRadio::createBehaviour()
{
    return new epiUiBehave_radio;
}

epiUiBehaviour* epiUiSystemCheckBox::createBehaviour()
{
    return new epiUiBehave_checkBox;
}

void epiUiSystemRadio::setValue(int value)
{
    setBehaviourValue(value != 0 ? 1 : 0);
}

void epiUiSystemRadio::onMouseDown(const epiPoint& point)
{
    if (!enabled_)
        return;
    takeFocus();
    epiUbo::onMouseDown(point);
}

void epiUiSystemRadio::draw(const epiRect& clip)
{
    const epiRect bounds = getBounds();
    const int top = (bounds.getHeight() - kBox) / 2;
    const epiRect box(0, top, kBox, top + kBox);
    const epiUiBehaviour* behaviour = getBehaviour();
    const bool pressed = behaviour && behaviour->isPressed() && behaviour->isInside();
    look::fill(*this, box, clip, pressed || !enabled_ ? look::kFace : look::kField);
    drawMark(box, clip, getValue() != 0);
    epiRect textRect(kBox + 5, 0, bounds.right, bounds.bottom);
    look::text(*this, getTextCStr(), textRect, clip, enabled_ ? look::kText : look::kDisabledText,
               0);
    if (hasFocus()) {
        const int width = static_cast<int>(look::measure(getTextCStr())) + 4;
        const epiRect mark(textRect.left - 2, textRect.centreY() - 8,
                           std::min(textRect.left - 2 + width, bounds.right),
                           textRect.centreY() + 8);
        look::focusMark(*this, mark, clip);
    }
}

void epiUiSystemRadio::drawMark(const epiRect& box, const epiRect& clip, bool checked)
{
    epiRect ring(box);
    ring.insetAll(1);
    strokeOval(ring, clip, look::colour(look::kFrame), 1);
    if (checked) {
        epiRect dot(box);
        dot.insetAll(4);
        fillOval(dot, clip, look::colour(enabled_ ? look::kText : look::kDisabledText));
    }
}

void epiUiSystemCheckBox::drawMark(const epiRect& box, const epiRect& clip, bool checked)
{
    look::frame(*this, box, clip, look::kFrame);
    if (!checked)
        return;
    // A tick of three-pixel strokes.
    const std::uint32_t ink = enabled_ ? look::kText : look::kDisabledText;
    const int x = box.left + 3;
    const int y = box.top + 5;
    for (int i = 0; i < 7; ++i) {
        const int dy = i < 2 ? i : 4 - i;
        look::fill(*this, epiRect(x + i, y + dy, x + i + 1, y + dy + 3), clip, ink);
    }
}

// ------------------------------------------------------------- progress bar

void epiUiSystemProgressBar::afterCreate()
{
    epiUiSystemButton::afterCreate();
    setValue(0);
}

void epiUiSystemProgressBar::setValue(int value)
{
    value = std::clamp(value, kMinimum, kMaximum);
    if (value == position_)
        return;
    position_ = value;
    redraw();
}

void epiUiSystemProgressBar::draw(const epiRect& clip)
{
    const epiRect bounds = getBounds();
    look::fill(*this, bounds, clip, 0xFFE6E6E6);
    look::frame(*this, bounds, clip, look::kShadow);
    epiRect inner(bounds);
    inner.insetAll(1);
    const int filled = static_cast<int>(static_cast<long long>(position_ - kMinimum) *
                                        inner.getWidth() / (kMaximum - kMinimum));
    look::fill(*this, epiRect(inner.left, inner.top, inner.left + filled, inner.bottom), clip,
               look::kProgress);
}
