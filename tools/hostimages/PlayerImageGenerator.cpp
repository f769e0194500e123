// Draws the player panel's images from parameters in code: the background,
// the knob and meter film strips, the transport, loop, zoom, scroll and open
// buttons (off, pressed, on and disabled), the lamps, the metronome switch,
// the scroll thumb and the waveform's markers. The same bytes every run.
//
// Usage: host_player_images <output folder>  (one PNG file an image)

#include "ImageTool.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace hostimages;

constexpr Rgb kPanel{0.13, 0.12, 0.10};
constexpr Rgb kPanelEdge{0.24, 0.22, 0.18};
constexpr Rgb kFace{0.30, 0.28, 0.24};
constexpr Rgb kFacePressed{0.22, 0.20, 0.17};
constexpr Rgb kOn{0.99, 0.77, 0.16};
constexpr Rgb kDisabled{0.19, 0.18, 0.16};
constexpr Rgb kLight{0.86, 0.84, 0.80};
constexpr Rgb kDim{0.45, 0.43, 0.40};
constexpr Rgb kLoopStart{0.35, 0.85, 0.45};
constexpr Rgb kLoopEnd{0.90, 0.35, 0.30};

// The symbols drawn on the buttons, in a square of side s at (x, y).
void symbol(cairo_t* cr, const std::string& kind, double x, double y, double s)
{
    const double cx = x + s / 2, cy = y + s / 2;
    if (kind == "play") {
        cairo_move_to(cr, x + s * 0.25, y + s * 0.15);
        cairo_line_to(cr, x + s * 0.85, cy);
        cairo_line_to(cr, x + s * 0.25, y + s * 0.85);
        cairo_close_path(cr);
        cairo_fill(cr);
    } else if (kind == "pause") {
        cairo_rectangle(cr, x + s * 0.22, y + s * 0.15, s * 0.2, s * 0.7);
        cairo_rectangle(cr, x + s * 0.58, y + s * 0.15, s * 0.2, s * 0.7);
        cairo_fill(cr);
    } else if (kind == "seta" || kind == "setb") {
        const bool a = kind == "seta";
        cairo_rectangle(cr, a ? x + s * 0.2 : x + s * 0.7, y + s * 0.1, s * 0.12, s * 0.8);
        cairo_fill(cr);
        cairo_move_to(cr, a ? x + s * 0.35 : x + s * 0.65, y + s * 0.2);
        cairo_line_to(cr, a ? x + s * 0.8 : x + s * 0.2, cy);
        cairo_line_to(cr, a ? x + s * 0.35 : x + s * 0.65, y + s * 0.8);
        cairo_close_path(cr);
        cairo_fill(cr);
    } else if (kind == "setz") {
        cairo_set_line_width(cr, s * 0.14);
        cairo_move_to(cr, x + s * 0.22, y + s * 0.22);
        cairo_line_to(cr, x + s * 0.78, y + s * 0.78);
        cairo_move_to(cr, x + s * 0.78, y + s * 0.22);
        cairo_line_to(cr, x + s * 0.22, y + s * 0.78);
        cairo_stroke(cr);
    } else if (kind == "zoomin" || kind == "zoomout") {
        cairo_set_line_width(cr, s * 0.14);
        cairo_move_to(cr, x + s * 0.2, cy);
        cairo_line_to(cr, x + s * 0.8, cy);
        if (kind == "zoomin") {
            cairo_move_to(cr, cx, y + s * 0.2);
            cairo_line_to(cr, cx, y + s * 0.8);
        }
        cairo_stroke(cr);
    } else if (kind == "left" || kind == "right") {
        const bool left = kind == "left";
        cairo_move_to(cr, left ? x + s * 0.7 : x + s * 0.3, y + s * 0.2);
        cairo_line_to(cr, left ? x + s * 0.3 : x + s * 0.7, cy);
        cairo_line_to(cr, left ? x + s * 0.7 : x + s * 0.3, y + s * 0.8);
        cairo_close_path(cr);
        cairo_fill(cr);
    } else if (kind == "open") {
        cairo_rectangle(cr, x + s * 0.15, y + s * 0.3, s * 0.7, s * 0.5);
        cairo_rectangle(cr, x + s * 0.15, y + s * 0.2, s * 0.3, s * 0.12);
        cairo_fill(cr);
    }
}

// One face of a panel button: fill by state, the symbol over it.
Draw button(const std::string& kind, int state)
{
    return [kind, state](cairo_t* cr, int w, int h) {
        const Rgb fill = state == 1 ? kFacePressed : state == 3 ? kDisabled : kFace;
        roundedBox(cr, 0.5, 0.5, w - 1.0, h - 1.0, 3.0);
        set(cr, fill);
        cairo_fill_preserve(cr);
        set(cr, state == 2 ? kOn : kPanelEdge);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
        set(cr, state == 3 ? kDim : state == 2 ? kOn : kLight);
        const double s = std::min(w, h) - 6.0;
        symbol(cr, kind, (w - s) / 2.0, (h - s) / 2.0 + (state == 1 ? 1.0 : 0.0), s);
    };
}

Image knob(const std::string& name, int size, int frames)
{
    return {name, size, size * frames, [size, frames](cairo_t* cr, int, int) {
                for (int i = 0; i < frames; ++i) {
                    const double cx = size / 2.0, cy = i * size + size / 2.0, r = size / 2.0 - 2;
                    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
                    set(cr, kFace);
                    cairo_fill_preserve(cr);
                    set(cr, kPanelEdge);
                    cairo_set_line_width(cr, 1.5);
                    cairo_stroke(cr);
                    const double a = (225.0 - 270.0 * i / (frames - 1)) * kPi / 180.0;
                    cairo_move_to(cr, cx + 0.3 * r * std::cos(a), cy - 0.3 * r * std::sin(a));
                    cairo_line_to(cr, cx + 0.9 * r * std::cos(a), cy - 0.9 * r * std::sin(a));
                    set(cr, kOn);
                    cairo_set_line_width(cr, 2.5);
                    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                    cairo_stroke(cr);
                }
            }};
}

// A marker: a vertical bar with a flag at the top, lit when on.
Draw marker(Rgb colour, int flag, bool on)
{
    return [colour, flag, on](cairo_t* cr, int w, int h) {
        const double alpha = on ? 1.0 : 0.75;
        cairo_rectangle(cr, w / 2, 0, 1, h);
        set(cr, colour, alpha);
        cairo_fill(cr);
        if (flag != 0) {
            const double x = w / 2 + 0.5;
            cairo_move_to(cr, x, 0);
            cairo_line_to(cr, x + flag * (w / 2.0), 4);
            cairo_line_to(cr, x, 8);
            cairo_close_path(cr);
            cairo_fill(cr);
        } else {
            cairo_move_to(cr, w / 2 - 4.0, 0);
            cairo_line_to(cr, w / 2 + 5.0, 0);
            cairo_line_to(cr, w / 2 + 0.5, 5);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
    };
}

std::vector<Image> images()
{
    std::vector<Image> list;
    list.push_back({"player_background.png", 760, 120, [](cairo_t* cr, int w, int h) {
                        cairo_rectangle(cr, 0, 0, w, h);
                        set(cr, kPanel);
                        cairo_fill(cr);
                        cairo_rectangle(cr, 0.5, 0.5, w - 1.0, h - 1.0);
                        set(cr, kPanelEdge);
                        cairo_set_line_width(cr, 1.0);
                        cairo_stroke(cr);
                        cairo_rectangle(cr, 3.5, 21.5, 562, 66);
                        cairo_stroke(cr);
                    }});
    list.push_back(knob("player_knob.png", 32, 64));
    for (const char* kind :
         {"play", "pause", "seta", "setb", "setz", "zoomin", "zoomout", "left", "right", "open"}) {
        const std::string base = std::string("player_") + kind;
        const int w = std::string(kind) == "left" || std::string(kind) == "right" ? 16 : 24;
        const int h = w == 16 ? 10 : 16;
        list.push_back({base + ".png", w, h, button(kind, 0)});
        list.push_back({base + "_pressed.png", w, h, button(kind, 1)});
        list.push_back({base + "_on.png", w, h, button(kind, 2)});
        list.push_back({base + "_disabled.png", w, h, button(kind, 3)});
    }
    for (int on = 0; on < 2; ++on) {
        list.push_back({on ? "player_lamp_on.png" : "player_lamp_off.png", 8, 8,
                        [on](cairo_t* cr, int w, int h) {
                            cairo_arc(cr, w / 2.0, h / 2.0, w / 2.0 - 0.5, 0, 2 * kPi);
                            set(cr, on ? kOn : kFacePressed);
                            cairo_fill(cr);
                        }});
        list.push_back({on ? "player_switch_on.png" : "player_switch_off.png", 24, 16,
                        [on](cairo_t* cr, int w, int h) {
                            roundedBox(cr, 0.5, 0.5, w - 1.0, h - 1.0, 7.0);
                            set(cr, on ? kOn : kFace);
                            cairo_fill(cr);
                            cairo_arc(cr, on ? w - 8.0 : 8.0, h / 2.0, 5.5, 0, 2 * kPi);
                            set(cr, kLight);
                            cairo_fill(cr);
                        }});
    }
    list.push_back({"player_scroll_thumb.png", 24, 10, button("", 0)});
    list.push_back({"bar_marker_off.png", 17, 57, marker(kLight, 0, false)});
    list.push_back({"bar_marker_on.png", 17, 57, marker(kOn, 0, true)});
    list.push_back({"loop_start_off.png", 17, 57, marker(kLoopStart, 1, false)});
    list.push_back({"loop_start_on.png", 17, 57, marker(kLoopStart, 1, true)});
    list.push_back({"loop_end_off.png", 17, 57, marker(kLoopEnd, -1, false)});
    list.push_back({"loop_end_on.png", 17, 57, marker(kLoopEnd, -1, true)});
    // 27 frames of a 26-segment meter, frame n with n segments lit.
    list.push_back({"player_meter.png", 8, 64 * 27, [](cairo_t* cr, int w, int) {
                        for (int frame = 0; frame < 27; ++frame) {
                            cairo_rectangle(cr, 0, frame * 64, w, 64);
                            set(cr, kPanel);
                            cairo_fill(cr);
                            for (int s = 0; s < 26; ++s) {
                                const Rgb lit = s >= 22 ? kLoopEnd : s >= 16 ? kOn : kLoopStart;
                                const double y = frame * 64 + 62 - s * 2.4;
                                cairo_rectangle(cr, 1, y - 1.6, w - 2, 1.6);
                                set(cr, s < frame ? lit : kFacePressed);
                                cairo_fill(cr);
                            }
                        }
                    }});
    return list;
}

} // namespace

int main(int argc, char** argv)
{
    return hostimages::writeImages(argc, argv, images());
}
