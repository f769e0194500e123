#include "hostfw/controls/epiControlLook.h"

#include "hostfw/gfx/epiDrawCommand.h"
#include "hostfw/gfx/epiTextFace.h"
#include "hostfw/ui/epiUbo.h"

namespace epiControlLook {

namespace {

// The surfaces take font sizes in pixels for the shape records.
constexpr float kPixelSize = static_cast<float>(kPoints * 96.0 / 72.0);

} // namespace

void fill(epiUbo& control, const epiRect& rect, const epiRect& clip, std::uint32_t argb)
{
    epiRect area(rect);
    area.intersect(clip);
    if (area.getWidth() > 0 && area.getHeight() > 0)
        control.fillRect(area, colour(argb));
}

void frame(epiUbo& control, const epiRect& rect, const epiRect& clip, std::uint32_t argb)
{
    if (rect.getWidth() <= 0 || rect.getHeight() <= 0)
        return;
    fill(control, epiRect(rect.left, rect.top, rect.right, rect.top + 1), clip, argb);
    fill(control, epiRect(rect.left, rect.bottom - 1, rect.right, rect.bottom), clip, argb);
    fill(control, epiRect(rect.left, rect.top, rect.left + 1, rect.bottom), clip, argb);
    fill(control, epiRect(rect.right - 1, rect.top, rect.right, rect.bottom), clip, argb);
}

void bevel(epiUbo& control, const epiRect& rect, const epiRect& clip, bool sunken)
{
    const std::uint32_t outerLight = sunken ? kDark : kLight;
    const std::uint32_t outerDark = sunken ? kLight : kDark;
    const std::uint32_t innerDark = sunken ? kLight : kShadow;
    const std::uint32_t innerLight = sunken ? kShadow : kFace;
    epiRect r(rect);
    const std::uint32_t lights[2] = {outerLight, innerLight};
    const std::uint32_t darks[2] = {outerDark, innerDark};
    for (int i = 0; i < 2 && r.getWidth() > 1 && r.getHeight() > 1; ++i) {
        fill(control, epiRect(r.left, r.top, r.right, r.top + 1), clip, lights[i]);
        fill(control, epiRect(r.left, r.top, r.left + 1, r.bottom), clip, lights[i]);
        fill(control, epiRect(r.left, r.bottom - 1, r.right, r.bottom), clip, darks[i]);
        fill(control, epiRect(r.right - 1, r.top, r.right, r.bottom), clip, darks[i]);
        r.insetAll(1);
    }
}

void focusMark(epiUbo& control, const epiRect& rect, const epiRect& clip)
{
    for (int x = rect.left; x < rect.right; x += 2) {
        fill(control, epiRect(x, rect.top, x + 1, rect.top + 1), clip, kText);
        fill(control, epiRect(x, rect.bottom - 1, x + 1, rect.bottom), clip, kText);
    }
    for (int y = rect.top; y < rect.bottom; y += 2) {
        fill(control, epiRect(rect.left, y, rect.left + 1, y + 1), clip, kText);
        fill(control, epiRect(rect.right - 1, y, rect.right, y + 1), clip, kText);
    }
}

void text(epiUbo& control, const char* text, const epiRect& rect, const epiRect& clip,
          std::uint32_t argb, int alignment, bool bold)
{
    if (!text || !*text || rect.getWidth() <= 0)
        return;
    // Centred vertically on the rectangle; taller text is cut by it.
    const int top = rect.top + (rect.getHeight() - kLineHeight) / 2;
    const epiRect box(rect.left, top, rect.right, top + kLineHeight + 2);
    epiRect cut(clip);
    cut.intersect(rect);
    if (cut.getWidth() <= 0 || cut.getHeight() <= 0)
        return;
    epiDrawCommand record;
    record.command = epiCode("ntxt");
    record.target = &box;
    record.clip = &cut;
    record.colour = colour(argb);
    record.text.assign(text);
    record.fontSize = kPixelSize;
    record.family.assign(kFamily);
    record.flags = (alignment == 1   ? epiTextFace::kCentre
                    : alignment == 2 ? epiTextFace::kRight
                                     : 0) |
                   (bold ? epiTextFace::kBold : 0);
    control.drawShape(record);
}

double measure(const char* text, bool bold)
{
    if (!text || !*text)
        return 0.0;
    return epiTextFace::measure(text, kFamily, kPoints, bold ? epiTextFace::kBold : 0);
}

void arrow(epiUbo& control, const epiRect& rect, const epiRect& clip, int direction,
           std::uint32_t argb)
{
    // Four rows of a triangle, centred.
    const int cx = rect.centreX();
    const int cy = rect.centreY();
    for (int i = 0; i < 4; ++i) {
        switch (direction) {
        case 0:
            fill(control, epiRect(cx - 3 + i, cy - 2 + i, cx + 4 - i, cy - 1 + i), clip, argb);
            break;
        case 1:
            fill(control, epiRect(cx - 3 + i, cy + 1 - i, cx + 4 - i, cy + 2 - i), clip, argb);
            break;
        case 2:
            fill(control, epiRect(cx + 1 - i, cy - 3 + i, cx + 2 - i, cy + 4 - i), clip, argb);
            break;
        default:
            fill(control, epiRect(cx - 2 + i, cy - 3 + i, cx - 1 + i, cy + 4 - i), clip, argb);
            break;
        }
    }
}

} // namespace epiControlLook
