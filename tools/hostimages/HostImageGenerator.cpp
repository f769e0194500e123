// Draws the host framework's widget images from parameters in code: a knob
// film strip, a level meter, button faces (released and pressed, off and on,
// disabled), a lamp strip with its "_alpha" mask, arrows, scroll thumbs and
// the pop-up list's ten images. The same bytes every run.
//
// Usage: host_images <output folder>  (one PNG file an image)

#include "ImageTool.h"

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace hostimages;

constexpr Rgb kPanel{0.16, 0.17, 0.19};
constexpr Rgb kFace{0.32, 0.34, 0.38};
constexpr Rgb kFacePressed{0.24, 0.26, 0.29};
constexpr Rgb kOn{0.95, 0.62, 0.15};
constexpr Rgb kOnPressed{0.80, 0.50, 0.10};
constexpr Rgb kDisabled{0.22, 0.22, 0.22};
constexpr Rgb kLight{0.85, 0.86, 0.88};
constexpr Rgb kHighlight{0.36, 0.45, 0.62};

// A bevelled button face; pressed faces sink by a pixel.
std::function<void(cairo_t*, int, int)> buttonFace(Rgb fill, bool pressed)
{
    return [fill, pressed](cairo_t* cr, int w, int h) {
        roundedBox(cr, 0.5, 0.5, w - 1.0, h - 1.0, 3.0);
        set(cr, fill);
        cairo_fill_preserve(cr);
        set(cr, pressed ? kPanel : kLight, 0.8);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
        if (!pressed) {
            cairo_rectangle(cr, 3, 1, w - 6, 1);
            set(cr, kLight, 0.35);
            cairo_fill(cr);
        }
    };
}

// A knob of `frames` frames stacked vertically, the pointer sweeping 270
// degrees clockwise from the lower left.
Image knobStrip(const std::string& name, int size, int frames)
{
    return {name, size, size * frames, [size, frames](cairo_t* cr, int, int) {
                for (int i = 0; i < frames; ++i) {
                    const double cx = size / 2.0;
                    const double cy = i * size + size / 2.0;
                    const double r = size / 2.0 - 2.0;
                    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
                    set(cr, kFace);
                    cairo_fill_preserve(cr);
                    set(cr, kPanel);
                    cairo_set_line_width(cr, 1.5);
                    cairo_stroke(cr);
                    const double degrees = 225.0 - 270.0 * i / std::max(frames - 1, 1);
                    const double a = degrees * kPi / 180.0;
                    cairo_move_to(cr, cx + 0.3 * r * std::cos(a), cy - 0.3 * r * std::sin(a));
                    cairo_line_to(cr, cx + 0.9 * r * std::cos(a), cy - 0.9 * r * std::sin(a));
                    set(cr, kOn);
                    cairo_set_line_width(cr, 2.5);
                    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                    cairo_stroke(cr);
                }
            }};
}

// A triangle pointing up or down, in the colour.
std::function<void(cairo_t*, int, int)> arrow(bool up, Rgb colour, Rgb background)
{
    return [up, colour, background](cairo_t* cr, int w, int h) {
        cairo_rectangle(cr, 0, 0, w, h);
        set(cr, background);
        cairo_fill(cr);
        const double cx = w / 2.0, top = h * 0.3, bottom = h * 0.7, half = h * 0.3;
        cairo_move_to(cr, cx, up ? top : bottom);
        cairo_line_to(cr, cx + half, up ? bottom : top);
        cairo_line_to(cr, cx - half, up ? bottom : top);
        cairo_close_path(cr);
        set(cr, colour);
        cairo_fill(cr);
    };
}

// A pop-up row: selected rows highlighted, rows with a sub-list marked.
std::function<void(cairo_t*, int, int)> popupRow(bool selected, bool subList)
{
    return [selected, subList](cairo_t* cr, int w, int h) {
        cairo_rectangle(cr, 0, 0, w, h);
        set(cr, selected ? kHighlight : kFace);
        cairo_fill(cr);
        cairo_rectangle(cr, 0, 0, 1, h);
        cairo_rectangle(cr, w - 1, 0, 1, h);
        set(cr, kPanel);
        cairo_fill(cr);
        if (subList) {
            cairo_move_to(cr, w - 10, h * 0.3);
            cairo_line_to(cr, w - 5, h * 0.5);
            cairo_line_to(cr, w - 10, h * 0.7);
            cairo_close_path(cr);
            set(cr, kLight);
            cairo_fill(cr);
        }
    };
}

std::function<void(cairo_t*, int, int)> popupEdge(bool top)
{
    return [top](cairo_t* cr, int w, int h) {
        cairo_rectangle(cr, 0, 0, w, h);
        set(cr, kFace);
        cairo_fill(cr);
        cairo_rectangle(cr, 0, top ? 0 : h - 1, w, 1);
        set(cr, kPanel);
        cairo_fill(cr);
    };
}

std::vector<Image> images()
{
    constexpr int kPopupWidth = 140;
    std::vector<Image> list;
    list.push_back(knobStrip("knob.png", 48, 64));
    list.push_back(knobStrip("knob_small.png", 32, 64));
    list.push_back({"meter.png", 12, 100, [](cairo_t* cr, int w, int h) {
                        cairo_pattern_t* ramp = cairo_pattern_create_linear(0, h, 0, 0);
                        cairo_pattern_add_color_stop_rgb(ramp, 0.0, 0.2, 0.8, 0.3);
                        cairo_pattern_add_color_stop_rgb(ramp, 0.7, 0.9, 0.8, 0.2);
                        cairo_pattern_add_color_stop_rgb(ramp, 1.0, 0.9, 0.2, 0.1);
                        cairo_rectangle(cr, 0, 0, w, h);
                        cairo_set_source(cr, ramp);
                        cairo_fill(cr);
                        cairo_pattern_destroy(ramp);
                    }});
    list.push_back({"button_off.png", 64, 24, buttonFace(kFace, false)});
    list.push_back({"button_off_pressed.png", 64, 24, buttonFace(kFacePressed, true)});
    list.push_back({"button_on.png", 64, 24, buttonFace(kOn, false)});
    list.push_back({"button_on_pressed.png", 64, 24, buttonFace(kOnPressed, true)});
    list.push_back({"button_disabled.png", 64, 24, buttonFace(kDisabled, false)});
    list.push_back({"lamp.png", 16, 32,
                    [](cairo_t* cr, int w, int) {
                        const Rgb off{0.30, 0.12, 0.05};
                        for (int i = 0; i < 2; ++i) {
                            cairo_arc(cr, w / 2.0, i * 16 + 8.0, 6.5, 0, 2 * kPi);
                            set(cr, i == 0 ? off : kOn);
                            cairo_fill(cr);
                        }
                    },
                    true});
    list.push_back({"arrow_up.png", 16, 16, arrow(true, kLight, kFace)});
    list.push_back({"arrow_down.png", 16, 16, arrow(false, kLight, kFace)});
    list.push_back({"thumb.png", 16, 24, buttonFace(kLight, false)});
    list.push_back({"thumb_pressed.png", 16, 24, buttonFace(kOn, true)});
    list.push_back({"thumb_wide.png", 24, 16, buttonFace(kLight, false)});
    list.push_back({"popup_item.png", kPopupWidth, 20, popupRow(false, false)});
    list.push_back({"popup_item_selected.png", kPopupWidth, 20, popupRow(true, false)});
    list.push_back({"popup_sub.png", kPopupWidth, 20, popupRow(false, true)});
    list.push_back({"popup_sub_selected.png", kPopupWidth, 20, popupRow(true, true)});
    list.push_back({"popup_top.png", kPopupWidth, 6, popupEdge(true)});
    list.push_back({"popup_bottom.png", kPopupWidth, 6, popupEdge(false)});
    list.push_back({"popup_scroll_up.png", kPopupWidth, 12, arrow(true, kLight, kFace)});
    list.push_back({"popup_scroll_up_off.png", kPopupWidth, 12, arrow(true, kPanel, kFace)});
    list.push_back({"popup_scroll_down.png", kPopupWidth, 12, arrow(false, kLight, kFace)});
    list.push_back({"popup_scroll_down_off.png", kPopupWidth, 12, arrow(false, kPanel, kFace)});
    return list;
}

} // namespace

int main(int argc, char** argv)
{
    return hostimages::writeImages(argc, argv, images());
}
