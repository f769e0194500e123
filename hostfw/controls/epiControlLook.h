#pragma once

#include "hostfw/app/epiColor.h"
#include "hostfw/ui/epiRect.h"

class epiUbo;

// The plain look the controls share: greys for faces and bevels, white
// fields, a dotted focus mark and grey text when disabled. Texts are DejaVu
// Sans at 8 points (96 dots per inch), the size dialogs of this kind use.
namespace epiControlLook {

constexpr std::uint32_t kFace = 0xFFF0F0F0;
constexpr std::uint32_t kLight = 0xFFFFFFFF;
constexpr std::uint32_t kShadow = 0xFFA0A0A0;
constexpr std::uint32_t kDark = 0xFF696969;
constexpr std::uint32_t kFrame = 0xFF7A7A7A;
constexpr std::uint32_t kField = 0xFFFFFFFF;
constexpr std::uint32_t kText = 0xFF000000;
constexpr std::uint32_t kDisabledText = 0xFF9A9A9A;
constexpr std::uint32_t kSelection = 0xFF3875D7;
constexpr std::uint32_t kSelectedText = 0xFFFFFFFF;
constexpr std::uint32_t kProgress = 0xFF2E9E3E;

constexpr const char* kFamily = "DejaVu Sans";
constexpr double kPoints = 8.0;
// The height a line of text takes, in pixels.
constexpr int kLineHeight = 13;

inline epiColor colour(std::uint32_t argb)
{
    return epiColor(argb);
}

// The primitives cut by the clip (nothing when they do not meet).
void fill(epiUbo& control, const epiRect& rect, const epiRect& clip, std::uint32_t argb);
void frame(epiUbo& control, const epiRect& rect, const epiRect& clip, std::uint32_t argb);
// A raised (or, pressed, sunken) bevel of two pixels inside the rectangle.
void bevel(epiUbo& control, const epiRect& rect, const epiRect& clip, bool sunken);
// A dotted frame: the focus mark.
void focusMark(epiUbo& control, const epiRect& rect, const epiRect& clip);
// One line of text in the rectangle, centred vertically; alignment 0 left,
// 1 centre, 2 right.
void text(epiUbo& control, const char* text, const epiRect& rect, const epiRect& clip,
          std::uint32_t argb, int alignment, bool bold = false);
// The width in pixels of the text as text() draws it.
double measure(const char* text, bool bold = false);
// A small triangle pointing down (combo boxes, scroll arrows) or in the
// direction given: 0 down, 1 up, 2 left, 3 right.
void arrow(epiUbo& control, const epiRect& rect, const epiRect& clip, int direction,
           std::uint32_t argb);

} // namespace epiControlLook
