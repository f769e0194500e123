#include "PanelArt.h"

#include <algorithm>
#include <cmath>

#include <cairo.h>

#include "SkinCanvas.h"

namespace skin {

namespace {

constexpr int kWidth = 851;
constexpr int kHeight = 510;
constexpr int kUpperBottom = 56;
constexpr int kLowerTop = 420;

constexpr Colour kAmber{1.0, 0.69, 0.25};
constexpr Colour kGreen{0.3, 1.0, 0.35};
constexpr Colour kRed{1.0, 0.18, 0.12};
constexpr Colour kLegend{0.90, 0.90, 0.88};
constexpr Colour kInk{0.08, 0.08, 0.09};

// Scale ticks around a knob of the given centre and radius, seven to five o'clock.
void knobTicks(cairo_t* cr, double cx, double cy, double r)
{
    cairo_set_line_width(cr, 1.2);
    cairo_set_source_rgba(cr, kInk.r, kInk.g, kInk.b, 0.85);
    for (int i = 0; i <= 10; ++i) {
        const double a = (-225 + 27.0 * i) * kPi / 180;
        const double inner = r + 2;
        const double outer = r + (i % 5 == 0 ? 6 : 4);
        cairo_move_to(cr, cx + inner * std::cos(a), cy + inner * std::sin(a));
        cairo_line_to(cr, cx + outer * std::cos(a), cy + outer * std::sin(a));
    }
    cairo_stroke(cr);
}

// The editor's whole background: tolex upper bar, the dark module bay, the
// brushed-metal lower bar with the legends of its controls.
Art background(const LegendFont& font)
{
    Canvas canvas(kWidth, kHeight);
    shadeRect(canvas, 0, 0, kWidth, kUpperBottom, [](int x, int y) {
        double v = 0.085;
        v += ((x + y) % 4 < 2 ? 0.012 : -0.012) + ((x - y + 1024) % 6 < 3 ? 0.006 : -0.006);
        v += 0.035 * (noise(x, y, 77) - 0.5);
        return opaquePixel(v, v * 0.98, v * 0.96);
    });
    shadeRect(canvas, 0, kUpperBottom, kWidth, kLowerTop - kUpperBottom, [](int x, int y) {
        const double v = 0.16 + 0.02 * (noise(x / 3, y / 3, 5) - 0.5);
        return opaquePixel(v, v, v * 1.04);
    });
    shadeRect(canvas, 0, kLowerTop, kWidth, kHeight - kLowerTop, [](int x, int y) {
        const double t = double(y - kLowerTop) / (kHeight - kLowerTop - 1);
        double v = 0.80 - 0.22 * t;
        v += 0.06 * (noise(y, 0, 11) - 0.5);
        v += 0.025 * (noise(x / 7, y, 13) - 0.5);
        return opaquePixel(v * 0.98, v * 0.99, v * 1.03);
    });
    cairo_t* cr = canvas.cr();
    // Piping between the bars and the bay.
    for (double y : {kUpperBottom - 1.5, kLowerTop + 0.5}) {
        cairo_set_source_rgba(cr, 0.75, 0.62, 0.35, 0.8);
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, 0, y);
        cairo_line_to(cr, kWidth, y);
        cairo_stroke(cr);
    }
    font.text(cr, "BORVAN", 12, 22, 16, 0, kAmber, 0.25);
    // Upper bar legends.
    font.text(cr, "BYPASS", 740, 31, 10, 2, kLegend);
    font.text(cr, "MUTE", 816, 31, 10, 2, kLegend);
    // Lower bar legends, over the controls the layouts place there.
    const double top = kLowerTop;
    font.text(cr, "IN", 92, top + 48, 8, 2, kInk);
    const char* knobs[] = {"MASTER", "PHASE", "MIX", "VOLUME"};
    for (int i = 0; i < 4; ++i) {
        const double cx = 280 + 62 * i + 24;
        const double cy = top + 4 + 22 + 24;
        font.text(cr, knobs[i], cx, top + 20, 9, 1, kInk);
        knobTicks(cr, cx, cy, 24);
    }
    font.text(cr, "OUT", 531, top + 86, 7, 2, kInk);
    font.text(cr, "CLIP", 566, top + 38, 9, 1, kInk);
    font.text(cr, "RESET", 567, top + 82, 8, 1, kInk);
    font.text(cr, "INFO", 617, top + 12, 8, 1, kInk);
    font.text(cr, "PREFS", 617, top + 50, 8, 1, kInk);
    return canvas.art("Background");
}

enum class ButtonState { Released, Pressed, Highlight };

// A labelled arrow plate pointing to the neighbouring module.
Art moduleArrow(const LegendFont& font, bool left, const std::string& label, ButtonState state)
{
    const int w = 72;
    const int h = 26;
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    const double tip = 12;
    auto plate = [&](double inset) {
        if (left) {
            cairo_move_to(cr, inset, h / 2.0);
            cairo_line_to(cr, tip + inset, inset);
            cairo_line_to(cr, w - inset, inset);
            cairo_line_to(cr, w - inset, h - inset);
            cairo_line_to(cr, tip + inset, h - inset);
        } else {
            cairo_move_to(cr, w - inset, h / 2.0);
            cairo_line_to(cr, w - tip - inset, inset);
            cairo_line_to(cr, inset, inset);
            cairo_line_to(cr, inset, h - inset);
            cairo_line_to(cr, w - tip - inset, h - inset);
        }
        cairo_close_path(cr);
    };
    plate(0.5);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_fill(cr);
    plate(2);
    const bool pressed = state == ButtonState::Pressed;
    const double lift = state == ButtonState::Highlight ? 0.08 : 0.0;
    cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(face, 0, pressed ? 0.20 : 0.34 + lift,
                                     pressed ? 0.20 : 0.34 + lift, pressed ? 0.21 : 0.36 + lift);
    cairo_pattern_add_color_stop_rgb(face, 1, pressed ? 0.28 : 0.16 + lift,
                                     pressed ? 0.28 : 0.16 + lift, pressed ? 0.29 : 0.17 + lift);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    if (state == ButtonState::Highlight) {
        plate(1);
        cairo_set_source_rgba(cr, kAmber.r, kAmber.g, kAmber.b, 0.9);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    const double centre = left ? (tip + w) / 2.0 : (w - tip) / 2.0;
    font.text(cr, label, centre, h / 2.0 + 4 + (pressed ? 1 : 0), 10, 1,
              state == ButtonState::Highlight ? kAmber : kLegend);
    return canvas.art(std::string("Arrow") + (left ? "Left" : "Right") + label.substr(0, 1) +
                      [&] {
                          std::string rest = label.substr(1);
                          for (char& c : rest)
                              c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                          return rest;
                      }() +
                      (state == ButtonState::Released  ? "Released"
                       : state == ButtonState::Pressed ? "Pressed"
                                                       : "Highlight"));
}

enum class NavIcon { Tuner, Stomp, Amp, Cab };

// A navigator button: the module's silhouette, lit amber when chosen.
Art navigatorButton(NavIcon icon, bool on)
{
    const int w = 40;
    const int h = 34;
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 5);
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.15);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    const Colour c = on ? kAmber : Colour{0.45, 0.45, 0.46};
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_set_line_width(cr, 2);
    switch (icon) {
    case NavIcon::Tuner: // a tuning fork
        cairo_move_to(cr, 14, 6);
        cairo_line_to(cr, 14, 18);
        cairo_arc_negative(cr, 20, 18, 6, kPi, 0);
        cairo_line_to(cr, 26, 6);
        cairo_stroke(cr);
        cairo_move_to(cr, 20, 24);
        cairo_line_to(cr, 20, 30);
        cairo_stroke(cr);
        break;
    case NavIcon::Stomp: // a pedal with its switch
        roundedRect(cr, 11, 5, 18, 25, 3);
        cairo_stroke(cr);
        cairo_arc(cr, 20, 23, 3.5, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_arc(cr, 20, 11, 2, 0, 2 * kPi);
        cairo_fill(cr);
        break;
    case NavIcon::Amp: // a head with its knobs
        roundedRect(cr, 5, 9, 30, 17, 3);
        cairo_stroke(cr);
        for (int i = 0; i < 4; ++i) {
            cairo_arc(cr, 11 + i * 6, 19, 1.8, 0, 2 * kPi);
            cairo_fill(cr);
        }
        break;
    case NavIcon::Cab: // a four-speaker cabinet
        cairo_rectangle(cr, 8, 4, 24, 26);
        cairo_stroke(cr);
        for (int i = 0; i < 4; ++i) {
            cairo_arc(cr, 14 + (i % 2) * 12, 11 + (i / 2) * 12, 4, 0, 2 * kPi);
            cairo_stroke(cr);
        }
        break;
    }
    const char* names[] = {"Tuner", "Stomp", "Amp", "Cab"};
    return canvas.art(std::string("Nav") + names[static_cast<int>(icon)] + (on ? "On" : "Off"));
}

// 63 frames of a 12-segment ladder for the bar's meters, frame k lighting
// k / 62 of it.
Art ledLadder()
{
    const int w = 12;
    const int h = 76;
    const int frames = 63;
    const int segments = 12;
    Canvas canvas(w, h * frames);
    cairo_t* cr = canvas.cr();
    for (int f = 0; f < frames; ++f) {
        const double y0 = f * h;
        cairo_set_source_rgb(cr, 0.03, 0.03, 0.03);
        cairo_rectangle(cr, 0, y0, w, h);
        cairo_fill(cr);
        const double level = double(f) * segments / (frames - 1);
        for (int i = 0; i < segments; ++i) {
            const Colour lit = i < 8 ? kGreen : i < 10 ? kAmber : kRed;
            const double on = std::clamp(level - i, 0.0, 1.0);
            const double k = 0.14 + 0.86 * on;
            cairo_set_source_rgb(cr, lit.r * k, lit.g * k, lit.b * k);
            cairo_rectangle(cr, 2, y0 + h - 3 - (i + 1) * 6 + 1, w - 4, 4);
            cairo_fill(cr);
        }
    }
    return canvas.art("LedLadder", frames);
}

// A needle over a scale of -50..+50 cents, `frames` positions.
Art needleStrip(const std::string& name, const LegendFont& font, int w, int h, int frames,
                bool labelled)
{
    Canvas canvas(w, h * frames);
    cairo_t* cr = canvas.cr();
    for (int f = 0; f < frames; ++f) {
        const double y0 = f * h;
        const double t = double(f) / (frames - 1); // 0 at -50, 1 at +50
        if (labelled) {
            // An arc scale with the needle pivoting below it.
            const double cx = w / 2.0;
            const double cy = y0 + h * 1.35;
            const double r = h * 1.2;
            cairo_set_line_width(cr, 1.5);
            for (int i = 0; i <= 10; ++i) {
                const double a = (-90 - 40 + 8.0 * i) * kPi / 180;
                const double len = i % 5 == 0 ? 14 : 8;
                const Colour c = i == 5 ? kGreen : kLegend;
                cairo_set_source_rgb(cr, c.r, c.g, c.b);
                cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
                cairo_line_to(cr, cx + (r - len) * std::cos(a), cy + (r - len) * std::sin(a));
                cairo_stroke(cr);
            }
            font.text(cr, "-50", cx + (r + 4) * std::cos(-130 * kPi / 180) - 4,
                      cy + (r + 4) * std::sin(-130 * kPi / 180), 10, 1, kLegend);
            font.text(cr, "+50", cx + (r + 4) * std::cos(-50 * kPi / 180) + 4,
                      cy + (r + 4) * std::sin(-50 * kPi / 180), 10, 1, kLegend);
            const double a = (-130 + 80 * t) * kPi / 180;
            cairo_set_source_rgb(cr, kAmber.r, kAmber.g, kAmber.b);
            cairo_set_line_width(cr, 3);
            cairo_move_to(cr, cx + (r - 30) * std::cos(a), cy + (r - 30) * std::sin(a));
            cairo_line_to(cr, cx + (r + 2) * std::cos(a), cy + (r + 2) * std::sin(a));
            cairo_stroke(cr);
        } else {
            // A straight scale in a dark window with a sliding needle.
            displayWell(cr, 1, y0 + 1, w - 2, h - 2);
            cairo_set_line_width(cr, 1);
            for (int i = 0; i <= 10; ++i) {
                const double x = 6 + (w - 12) * i / 10.0;
                const Colour c = i == 5 ? kGreen : Colour{0.5, 0.5, 0.5};
                cairo_set_source_rgb(cr, c.r, c.g, c.b);
                cairo_move_to(cr, std::round(x) + 0.5, y0 + h - 4);
                cairo_line_to(cr, std::round(x) + 0.5, y0 + h - (i % 5 == 0 ? 10 : 7));
                cairo_stroke(cr);
            }
            const double x = 6 + (w - 12) * t;
            cairo_set_source_rgb(cr, kAmber.r, kAmber.g, kAmber.b);
            cairo_rectangle(cr, std::round(x) - 1, y0 + 3, 3, h - 6);
            cairo_fill(cr);
        }
    }
    return canvas.art(name, frames);
}

// The full tuner's face: a panel with a window for the needle, the note and
// the reference, and legends for its switches.
Art tunerFace(const LegendFont& font)
{
    const int w = kWidth;
    const int h = kLowerTop - kUpperBottom;
    Canvas canvas(w, h);
    shadeRect(canvas, 0, 0, w, h, [&](int x, int y) {
        const double t = double(y) / (h - 1);
        double v =
            0.30 - 0.10 * t + 0.03 * (noise(y, 0, 41) - 0.5) + 0.015 * (noise(x / 5, y, 43) - 0.5);
        return opaquePixel(v * 0.97, v * 0.99, v * 1.04);
    });
    cairo_t* cr = canvas.cr();
    displayWell(cr, 180, 20, 491, 250);
    displayWell(cr, 365, 290, 120, 36);
    font.text(cr, "TUNER", 425, 345, 12, 1, kLegend, 0.8);
    font.text(cr, "REFERENCE A (Hz)", 425, 284, 9, 1, kLegend);
    font.text(cr, "BYPASS", 106, 140, 10, 1, kLegend);
    font.text(cr, "MUTE", 745, 140, 10, 1, kLegend);
    font.text(cr, "CENTS", 425, 268, 8, 1, kLegend, 0.6);
    return canvas.art("TunerFace");
}

// An in-tune arrow lamp pointing at the centre.
Art tunerArrow(bool left, bool on)
{
    const int w = 40;
    const int h = 24;
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    if (left) {
        cairo_move_to(cr, 2, 3);
        cairo_line_to(cr, w - 2, h / 2.0);
        cairo_line_to(cr, 2, h - 3);
    } else {
        cairo_move_to(cr, w - 2, 3);
        cairo_line_to(cr, 2, h / 2.0);
        cairo_line_to(cr, w - 2, h - 3);
    }
    cairo_close_path(cr);
    const double k = on ? 1.0 : 0.22;
    cairo_set_source_rgb(cr, kGreen.r * k, kGreen.g * k, kGreen.b * k);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    return canvas.art(std::string("TunerArrow") + (left ? "Left" : "Right") + (on ? "On" : "Off"));
}

Art valueWindow()
{
    Canvas canvas(150, 30);
    cairo_t* cr = canvas.cr();
    displayWell(cr, 1, 1, 148, 28);
    return canvas.art("ValueWindow");
}

Art backdrop()
{
    Canvas canvas(kWidth, kHeight);
    cairo_set_source_rgba(canvas.cr(), 0, 0, 0, 0.6);
    cairo_paint(canvas.cr());
    return canvas.art("Backdrop");
}

// A page of the information panel.
Art infoPage(const LegendFont& font, int page)
{
    const int w = 420;
    const int h = 260;
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 10);
    cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.16, 0.16, 0.17);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.07, 0.07, 0.08);
    cairo_set_source(cr, face);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(face);
    cairo_set_source_rgba(cr, kAmber.r, kAmber.g, kAmber.b, 0.8);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    font.text(cr, "BORVAN BASS RIG", w / 2.0, 46, 22, 1, kAmber);
    const char* lines[3][3] = {
        {"Tuner, six stomp slots, four heads", "and a cabinet with microphones", ""},
        {"Design and sound", "Zq Sonware", ""},
        {"Thanks for playing", "", ""}};
    for (int i = 0; i < 3; ++i)
        font.text(cr, lines[page][i], w / 2.0, 100 + 24 * i, 12, 1, kLegend);
    font.text(cr, std::to_string(page + 1) + " / 3 - click for more", w / 2.0, h - 16, 9, 1,
              kLegend, 0.6);
    return canvas.art("InfoPage" + std::to_string(page + 1));
}

Art preferencesDialog(const LegendFont& font)
{
    const int w = 360;
    const int h = 200;
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 10);
    cairo_set_source_rgb(cr, 0.14, 0.14, 0.15);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, kAmber.r, kAmber.g, kAmber.b, 0.8);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    font.text(cr, "PREFERENCES", 20, 30, 14, 0, kAmber);
    font.text(cr, "Detailed power amp model", 58, 80, 12, 0, kLegend);
    font.text(cr, "(more CPU, truer tube sag)", 58, 98, 10, 0, kLegend, 0.6);
    font.text(cr, "SAVE", 98, 156, 10, 1, kLegend);
    font.text(cr, "CANCEL", 238, 156, 10, 1, kLegend);
    font.text(cr, "CLOSE", 322, 22, 8, 2, kLegend, 0.7);
    return canvas.art("PrefDialog");
}

Art checkBox(bool on)
{
    Canvas canvas(20, 20);
    cairo_t* cr = canvas.cr();
    roundedRect(cr, 1, 1, 18, 18, 3);
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.04);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.4);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (on) {
        cairo_set_source_rgb(cr, kAmber.r, kAmber.g, kAmber.b);
        cairo_set_line_width(cr, 2.5);
        cairo_move_to(cr, 5, 10);
        cairo_line_to(cr, 9, 14);
        cairo_line_to(cr, 15, 5);
        cairo_stroke(cr);
    }
    return canvas.art(on ? "CheckBoxOn" : "CheckBoxOff");
}

} // namespace

std::vector<Art> drawPanels(const std::string& labelFontFile)
{
    const LegendFont font(labelFontFile, 0.6);
    std::vector<Art> art;
    art.push_back(background(font));
    for (bool left : {true, false})
        for (const char* module : {"TUNER", "STOMP", "AMP", "CAB"})
            for (ButtonState state :
                 {ButtonState::Released, ButtonState::Pressed, ButtonState::Highlight})
                art.push_back(moduleArrow(font, left, module, state));
    for (NavIcon icon : {NavIcon::Tuner, NavIcon::Stomp, NavIcon::Amp, NavIcon::Cab})
        for (bool on : {false, true})
            art.push_back(navigatorButton(icon, on));
    art.push_back(ledLadder());
    art.push_back(roundLamp("ClipLedOff", kRed, false, 14));
    art.push_back(roundLamp("ClipLedOn", kRed, true, 14));
    art.push_back(roundLamp("PointerLampOff", kGreen, false, 14));
    art.push_back(roundLamp("PointerLampOn", kGreen, true, 14));
    art.push_back(valueWindow());
    art.push_back(needleStrip("MiniTunerStrip", font, 136, 22, 41, false));
    art.push_back(needleStrip("TunerNeedle", font, 300, 110, 41, true));
    art.push_back(tunerFace(font));
    for (bool left : {true, false})
        for (bool on : {false, true})
            art.push_back(tunerArrow(left, on));
    art.push_back(backdrop());
    for (int page = 0; page < 3; ++page)
        art.push_back(infoPage(font, page));
    art.push_back(preferencesDialog(font));
    art.push_back(checkBox(false));
    art.push_back(checkBox(true));
    return art;
}

} // namespace skin
