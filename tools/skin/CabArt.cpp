#include "CabArt.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <cairo.h>

#include "SkinCanvas.h"

namespace skin {

namespace {

// The module area between the bars.
constexpr int kAreaWidth = 851;
constexpr int kAreaHeight = 364;

// The control plate right of the cabinet; the layouts put the selectors,
// switches and the slider on it.
constexpr int kPlateX = 556;
constexpr int kPlateY = 6;
constexpr int kPlateW = 280;
constexpr int kPlateH = 352;

// The microphone picture: every frame is drawn so that, after the panel's
// shifts for the model and the distance, the capsule sits kMicAnchorX pixels
// right of the laid-out place and kMicHeadY below it; the layouts put that
// point on the centre of a speaker.
constexpr int kMicWidth = 120;
constexpr int kMicHeight = 220;
constexpr double kMicAnchorX = 60;
constexpr double kMicHeadY = 62;

// The back panel and its knob, in the panel's own coordinates.
constexpr int kBackWidth = 420;
constexpr int kBackHeight = 300;
constexpr double kBackKnobX = 320;
constexpr double kBackKnobY = 144;
constexpr double kBackKnobRadius = 32;

struct Cone {
    double cx, cy, r;
};

// How light the bare front is at (x, y): cones with their dust caps and
// surrounds lit from the upper left, the baskets' rims, the horn's mouth, and
// the black baffle around them.
struct Front {
    std::vector<Cone> cones;
    bool horn = false;
    double hornX = 0, hornY = 0, hornW = 0, hornH = 0; // centre and size

    double shade(double x, double y) const
    {
        for (const Cone& c : cones) {
            const double dx = (x - c.cx) / c.r;
            const double dy = (y - c.cy) / c.r;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d > 1.08)
                continue;
            const double light = -(dx + dy) * 0.5; // towards the upper left
            if (d < 0.28) {
                const double z = std::sqrt(1 - (d / 0.28) * (d / 0.28));
                return 0.10 + 0.14 * z + 0.10 * light;
            }
            if (d < 0.86) {
                const double ribs = 0.008 * std::sin(std::atan2(dy, dx) * 28);
                return 0.06 + 0.06 * (d - 0.28) / 0.58 + 0.04 * light + ribs;
            }
            if (d < 0.98) {
                const double roll = std::sin(kPi * (d - 0.86) / 0.12);
                return 0.07 + 0.10 * roll * (1 + 0.8 * light);
            }
            return 0.16 + 0.10 * (1 + light) * 0.5;
        }
        if (horn) {
            const double u = std::abs(x - hornX) / (hornW / 2);
            const double v = std::abs(y - hornY) / (hornH / 2);
            const double edge = std::max(u, v);
            if (edge <= 1.0) {
                if (edge > 0.9)
                    return 0.20;
                // Steps of the flare down to the throat.
                return 0.03 + 0.08 * edge + (std::fmod(edge * 5, 1.0) < 0.15 ? 0.03 : 0.0);
            }
        }
        return 0.025;
    }
};

enum class Grille { Slotted, SilverStripe, Checker, Wheat, Perforated };

// One pixel of the grille over the front: the pattern, and the front where
// the grille lets it through.
std::uint32_t grillePixel(Grille grille, const Front& front, int x, int y)
{
    const double bare = front.shade(x + 0.5, y + 0.5);
    const double grain = noise(x, y, 53) - 0.5;
    switch (grille) {
    case Grille::Slotted: {
        // Horizontal steel bars with gaps that show the speakers.
        const int row = y % 6;
        if (row >= 4) {
            const double v = bare * 1.5;
            return opaquePixel(v, v, v);
        }
        const double v = 0.24 + (row == 0 ? 0.10 : row == 3 ? -0.08 : 0.0) + 0.02 * grain;
        return opaquePixel(v, v, v * 1.04);
    }
    case Grille::SilverStripe: {
        // Black cloth with a silver thread in every third row.
        const bool thread = y % 3 == 0;
        const double weave = ((x + y) % 2 ? 0.01 : -0.01) + 0.02 * grain;
        const double cloth = thread ? 0.42 + 0.1 * noise(x / 3, y, 7) : 0.05;
        const double v = 0.72 * (cloth + weave) + 0.28 * bare;
        return opaquePixel(v, v, v * 1.03);
    }
    case Grille::Checker: {
        // Salt and pepper: light and dark threads in a small basket weave.
        const bool light = ((x / 2) + (y / 2)) % 2 == 0;
        const double cloth = (light ? 0.52 : 0.10) + 0.06 * grain;
        const double v = 0.74 * cloth + 0.26 * bare * 2.0;
        return opaquePixel(v, v * 0.98, v * 0.93);
    }
    case Grille::Wheat: {
        // A woven vintage cloth, speakers only as a shadow behind it.
        const double weave = ((x % 3 == 0) != (y % 3 == 0) ? -0.05 : 0.02) + 0.05 * grain;
        const double v = 0.52 + weave - 0.5 * (0.1 - std::min(bare, 0.1)) - 0.25 * bare;
        return opaquePixel(v * 1.15, v * 1.0, v * 0.72);
    }
    case Grille::Perforated: {
        // Black steel with round holes on a staggered grid.
        const int pitch = 7;
        const int row = y / pitch;
        const double ox = (row % 2 ? pitch / 2.0 : 0.0);
        const double cx = std::floor((x - ox) / pitch) * pitch + ox + pitch / 2.0;
        const double cy = row * pitch + pitch / 2.0;
        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
        if (d < 2.4) {
            const double v = bare;
            return opaquePixel(v, v, v);
        }
        const double rim = d < 3.2 && (y + 0.5 < cy) ? -0.03 : d < 3.2 ? 0.05 : 0.0;
        const double v = 0.13 + rim + 0.015 * grain;
        return opaquePixel(v, v, v * 1.05);
    }
    }
    return opaquePixel(bare, bare, bare);
}

struct LogoSpec {
    const char* text;
    double cx, cy, w, h; // centre and size of the plate
    Colour plate;
    Colour ink;
    double size;
};

struct CabSpec {
    const char* name;
    double x, y, w, h; // the cabinet
    double frame;      // the tolex border around the grille
    Colour tolex;
    Grille grille;
    Front front;
    LogoSpec logo;
    Colour controlPlate;
    Colour controlInk;
    bool piping = false; // a light welt around the grille
};

// A textured surface of the given colour as a cairo pattern source.
void fillFromCanvas(cairo_t* cr, Canvas& texture, double x, double y)
{
    cairo_surface_flush(texture.surface());
    cairo_set_source_surface(cr, texture.surface(), x, y);
    cairo_fill(cr);
}

// The cabinet on the module area's tolex: its shadow on the floor, the
// covered box with metal corners, the grille over the speakers and the logo.
void cabinet(Canvas& canvas, const LegendFont& font, const CabSpec& spec)
{
    cairo_t* cr = canvas.cr();
    // The cabinet stands on the bottom edge; its shadow falls to the right.
    for (int i = 8; i > 0; --i) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.06);
        roundedRect(cr, spec.x + 4 + i, spec.y + 4 + i * 0.5, spec.w, spec.h, 14);
        cairo_fill(cr);
    }
    const int bx = static_cast<int>(spec.x);
    const int by = static_cast<int>(spec.y);
    const int bw = static_cast<int>(spec.w);
    const int bh = static_cast<int>(spec.h);
    Canvas cover(bw, bh);
    shadeRect(cover, 0, 0, bw, bh, [&](int x, int y) {
        const double pebble = 0.5 * noise(x / 2, y / 2, 71) + 0.5 * noise(x, y, 73) - 0.5;
        const double k = 1.0 + 0.35 * pebble + (((x + bx) * 7 + (y + by) * 3) % 11 == 0 ? 0.1 : 0);
        return opaquePixel(spec.tolex.r * k, spec.tolex.g * k, spec.tolex.b * k);
    });
    roundedRect(cr, spec.x, spec.y, spec.w, spec.h, 12);
    fillFromCanvas(cr, cover, spec.x, spec.y);

    const double gx = spec.x + spec.frame;
    const double gy = spec.y + spec.frame;
    const double gw = spec.w - 2 * spec.frame;
    const double gh = spec.h - 2 * spec.frame;
    const int igx = static_cast<int>(gx);
    const int igy = static_cast<int>(gy);
    Canvas cloth(static_cast<int>(gw), static_cast<int>(gh));
    shadeRect(cloth, 0, 0, static_cast<int>(gw), static_cast<int>(gh),
              [&](int x, int y) { return grillePixel(spec.grille, spec.front, x + igx, y + igy); });
    roundedRect(cr, gx, gy, gw, gh, 5);
    fillFromCanvas(cr, cloth, gx, gy);
    // The grille sits a little behind the covering: a shadow along its top
    // and left edges, a highlight along the others.
    cairo_set_line_width(cr, 2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_move_to(cr, gx + 1, gy + gh);
    cairo_line_to(cr, gx + 1, gy + 1);
    cairo_line_to(cr, gx + gw, gy + 1);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
    cairo_move_to(cr, gx + gw - 1, gy + 2);
    cairo_line_to(cr, gx + gw - 1, gy + gh - 1);
    cairo_line_to(cr, gx + 2, gy + gh - 1);
    cairo_stroke(cr);
    if (spec.piping) {
        cairo_set_source_rgba(cr, 0.92, 0.90, 0.84, 0.95);
        cairo_set_line_width(cr, 2.5);
        roundedRect(cr, gx - 2.5, gy - 2.5, gw + 5, gh + 5, 7);
        cairo_stroke(cr);
    }
    // Metal corners.
    for (const int cornerX : {0, 1})
        for (const int cornerY : {0, 1}) {
            const double cx = cornerX ? spec.x + spec.w : spec.x;
            const double cy = cornerY ? spec.y + spec.h : spec.y;
            const double sx = cornerX ? -1 : 1;
            const double sy = cornerY ? -1 : 1;
            cairo_move_to(cr, cx, cy + sy * 26);
            cairo_line_to(cr, cx, cy + sy * 10);
            cairo_curve_to(cr, cx, cy + sy * 3, cx + sx * 3, cy, cx + sx * 10, cy);
            cairo_line_to(cr, cx + sx * 26, cy);
            cairo_line_to(cr, cx + sx * 26, cy + sy * 8);
            cairo_line_to(cr, cx + sx * 8, cy + sy * 26);
            cairo_close_path(cr);
            cairo_pattern_t* chrome =
                cairo_pattern_create_linear(cx, cy, cx + sx * 20, cy + sy * 20);
            cairo_pattern_add_color_stop_rgb(chrome, 0, 0.85, 0.85, 0.87);
            cairo_pattern_add_color_stop_rgb(chrome, 1, 0.40, 0.40, 0.42);
            cairo_set_source(cr, chrome);
            cairo_fill_preserve(cr);
            cairo_pattern_destroy(chrome);
            cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            cairo_set_source_rgb(cr, 0.25, 0.25, 0.26);
            cairo_arc(cr, cx + sx * 9, cy + sy * 9, 2, 0, 2 * kPi);
            cairo_fill(cr);
        }
    // The logo plate.
    const LogoSpec& logo = spec.logo;
    roundedRect(cr, logo.cx - logo.w / 2 + 1, logo.cy - logo.h / 2 + 2, logo.w, logo.h, 3);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_fill(cr);
    roundedRect(cr, logo.cx - logo.w / 2, logo.cy - logo.h / 2, logo.w, logo.h, 3);
    cairo_pattern_t* plate =
        cairo_pattern_create_linear(0, logo.cy - logo.h / 2, 0, logo.cy + logo.h / 2);
    cairo_pattern_add_color_stop_rgb(plate, 0, std::min(1.0, logo.plate.r * 1.25),
                                     std::min(1.0, logo.plate.g * 1.25),
                                     std::min(1.0, logo.plate.b * 1.25));
    cairo_pattern_add_color_stop_rgb(plate, 1, logo.plate.r * 0.7, logo.plate.g * 0.7,
                                     logo.plate.b * 0.7);
    cairo_set_source(cr, plate);
    cairo_fill(cr);
    cairo_pattern_destroy(plate);
    font.text(cr, logo.text, logo.cx, logo.cy + logo.size * 0.36, logo.size, 1, logo.ink);
}

// The control plate with the legends of the cabinet layouts' controls.
void controlPlate(Canvas& canvas, const LegendFont& font, Colour tint, Colour ink)
{
    facePlate(canvas, kPlateX, kPlateY, kPlateW, kPlateH, tint);
    cairo_t* cr = canvas.cr();
    // Selector windows behind the model labels, legends above.
    font.text(cr, "CABINET", 653, 29, 9, 1, ink);
    displayWell(cr, 568, 34, 170, 30);
    font.text(cr, "MICROPHONE", 653, 87, 9, 1, ink);
    displayWell(cr, 568, 92, 170, 30);
    // The three toggles: legend above, the lever's two ends beside.
    struct Toggle {
        const char* legend;
        double x;
        const char* up;
        const char* down;
    };
    for (const Toggle& t :
         {Toggle{"DISTANCE", 586, "FAR", "NEAR"}, Toggle{"MIC AXIS", 664, "OFF", "ON"}}) {
        font.text(cr, t.legend, t.x + 14, 151, 8, 1, ink);
        font.text(cr, t.up, t.x + 31, 169, 7, 0, ink);
        font.text(cr, t.down, t.x + 31, 198, 7, 0, ink);
    }
    font.text(cr, "CAB MATCH", 769, 151, 8, 1, ink);
    // The ambience slider's scale under its track.
    font.text(cr, "AMBIENCE", 676, 231, 8, 1, ink);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, ink.r, ink.g, ink.b, 0.8);
    for (int i = 0; i <= 10; ++i) {
        const double x = 593.5 + 166.0 * i / 10;
        cairo_move_to(cr, x, 270);
        cairo_line_to(cr, x, i % 5 == 0 ? 276 : 273);
    }
    cairo_stroke(cr);
    for (int i = 0; i <= 10; i += 2)
        font.text(cr, std::to_string(i), 593.5 + 166.0 * i / 10, 286, 7, 1, ink);
    font.text(cr, "BYPASS", 600, 298, 8, 1, ink);
    font.text(cr, "HIGH LEVEL", 766, 311, 8, 1, ink);
}

std::vector<CabSpec> cabinets()
{
    const Colour black{0.10, 0.10, 0.10};
    const Colour darkInk{0.08, 0.08, 0.09};
    const Colour creamInk{0.95, 0.93, 0.86};
    const Colour navyInk{0.05, 0.07, 0.16};
    const Colour rkmPlate{0.80, 0.86, 1.0};
    auto twoByTwo = [](double left, double right, double top, double bottom, double r) {
        return std::vector<Cone>{
            {left, top, r}, {right, top, r}, {left, bottom, r}, {right, bottom, r}};
    };
    std::vector<CabSpec> specs;
    // Each cabinet's lower left (or third row left) speaker is the one the
    // layout puts the microphone on.
    {
        CabSpec s{"CabGN500Face", 50, 8, 440, 348, 18, black, Grille::Slotted, {}, {}, {}, {}};
        s.front.cones = twoByTwo(165, 375, 108, 256, 62);
        s.front.horn = true;
        s.front.hornX = 270;
        s.front.hornY = 182;
        s.front.hornW = 70;
        s.front.hornH = 30;
        s.logo = {"GN-500", 270, 36, 78, 18, {0.85, 0.85, 0.87}, {0.1, 0.1, 0.1}, 12};
        s.controlPlate = {1.0, 1.0, 1.02};
        s.controlInk = darkInk;
        specs.push_back(s);
    }
    {
        CabSpec s{"CabV9EFace", 150, 8, 240, 348, 18, black, Grille::SilverStripe, {}, {}, {}, {}};
        s.front.cones = {{270, 104, 74}, {270, 264, 74}};
        s.logo = {"Q-9R", 270, 17, 56, 14, {0.80, 0.80, 0.82}, {0.08, 0.08, 0.1}, 10};
        s.controlPlate = {0.42, 0.42, 0.44};
        s.controlInk = creamInk;
        specs.push_back(s);
    }
    {
        CabSpec s{"CabJMR410HFace", 50, 14, 440, 342, 18, {0.08, 0.08, 0.08},
                  Grille::Checker,  {}, {}, {},  {}};
        s.front.cones = twoByTwo(170, 370, 114, 262, 64);
        s.front.horn = true;
        s.front.hornX = 270;
        s.front.hornY = 188;
        s.front.hornW = 64;
        s.front.hornH = 28;
        s.logo = {"JMR", 270, 44, 62, 22, {0.10, 0.08, 0.05}, {0.92, 0.76, 0.35}, 15};
        s.controlPlate = {0.95, 0.82, 0.50};
        s.controlInk = darkInk;
        s.piping = true;
        specs.push_back(s);
    }
    {
        CabSpec s{"CabWF212HFace", 40, 40, 460, 316, 18, {0.20, 0.13, 0.08},
                  Grille::Wheat,   {}, {}, {},  {}};
        s.front.cones = {{160, 232, 92}, {380, 232, 92}};
        s.front.horn = true;
        s.front.hornX = 270;
        s.front.hornY = 96;
        s.front.hornW = 110;
        s.front.hornH = 34;
        s.logo = {"WF", 400, 96, 50, 22, {0.22, 0.14, 0.08}, {0.95, 0.88, 0.70}, 15};
        s.controlPlate = {0.85, 0.80, 0.70};
        s.controlInk = {0.18, 0.10, 0.05};
        specs.push_back(s);
    }
    {
        CabSpec s{"CabRKM410HFace",   50, 12, 440, 344, 18, black,
                  Grille::Perforated, {}, {}, {},  {}};
        s.front.cones = twoByTwo(165, 375, 116, 262, 62);
        s.front.horn = true;
        s.front.hornX = 270;
        s.front.hornY = 189;
        s.front.hornW = 60;
        s.front.hornH = 26;
        s.logo = {"RKM", 270, 40, 64, 20, rkmPlate, navyInk, 14};
        s.controlPlate = rkmPlate;
        s.controlInk = navyInk;
        specs.push_back(s);
    }
    {
        CabSpec s{"CabRKM810EFace",   117, 6,  226, 350, 10, black,
                  Grille::Perforated, {},  {}, {},  {}};
        for (const double row : {52.0, 129.0, 206.0, 283.0})
            for (const double column : {185.0, 275.0})
                s.front.cones.push_back({column, row, 36});
        s.logo = {"RKM-810E", 230, 336, 84, 16, rkmPlate, navyInk, 10};
        s.controlPlate = rkmPlate;
        s.controlInk = navyInk;
        specs.push_back(s);
    }
    return specs;
}

Art cabinetFace(const LegendFont& font, const CabSpec& spec)
{
    Canvas canvas(kAreaWidth, kAreaHeight);
    darkTolex(canvas, 0, 0, kAreaWidth, kAreaHeight);
    cabinet(canvas, font, spec);
    controlPlate(canvas, font, spec.controlPlate, spec.controlInk);
    return canvas.art(spec.name);
}

// The microphones, in the order of the picture's frames.
enum class Mic { VintageDynamic20, Dynamic20, Condenser87, Dynamic421, Condenser414, Dynamic57 };

// A horizontal metal gradient across a body from x0 to x1.
cairo_pattern_t* bodyShine(double x0, double x1, Colour c)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
    cairo_pattern_add_color_stop_rgb(p, 0, c.r * 0.45, c.g * 0.45, c.b * 0.45);
    cairo_pattern_add_color_stop_rgb(p, 0.3, std::min(1.0, c.r * 1.3), std::min(1.0, c.g * 1.3),
                                     std::min(1.0, c.b * 1.3));
    cairo_pattern_add_color_stop_rgb(p, 0.55, c.r, c.g, c.b);
    cairo_pattern_add_color_stop_rgb(p, 1, c.r * 0.35, c.g * 0.35, c.b * 0.35);
    return p;
}

void fillShine(cairo_t* cr, double x0, double x1, Colour c)
{
    cairo_pattern_t* p = bodyShine(x0, x1, c);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// A wire mesh over the current path: a fine cross-hatch clipped to it.
void mesh(cairo_t* cr, double x, double y, double w, double h, Colour c, double pitch)
{
    cairo_save(cr);
    cairo_clip_preserve(cr);
    fillShine(cr, x, x + w, c);
    cairo_set_line_width(cr, 0.7);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    for (double t = -h; t < w + h; t += pitch) {
        cairo_move_to(cr, x + t, y);
        cairo_line_to(cr, x + t + h, y + h);
        cairo_move_to(cr, x + t + h, y);
        cairo_line_to(cr, x + t, y + h);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    cairo_new_path(cr);
}

// Horizontal slots over the current path.
void slots(cairo_t* cr, double x, double y, double w, double h, double pitch, double alpha)
{
    cairo_save(cr);
    cairo_clip(cr);
    cairo_set_line_width(cr, pitch * 0.45);
    cairo_set_source_rgba(cr, 0, 0, 0, alpha);
    for (double t = y + pitch / 2; t < y + h; t += pitch) {
        cairo_move_to(cr, x, t);
        cairo_line_to(cr, x + w, t);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

// A stand clip around the body at height y, and the stand below it.
void clipAndStand(cairo_t* cr, double y, double halfWidth)
{
    cairo_rectangle(cr, -3.5, y, 7, 400);
    fillShine(cr, -3.5, 3.5, {0.22, 0.22, 0.23});
    roundedRect(cr, -halfWidth - 3, y - 8, 2 * halfWidth + 6, 14, 3);
    fillShine(cr, -halfWidth - 3, halfWidth + 3, {0.18, 0.18, 0.19});
    cairo_arc(cr, halfWidth + 6, y - 1, 4.5, 0, 2 * kPi);
    fillShine(cr, halfWidth + 2, halfWidth + 10, {0.5, 0.5, 0.52});
}

// One microphone with its capsule at (0, 0), the stand running down.
void drawMic(cairo_t* cr, Mic mic)
{
    switch (mic) {
    case Mic::Dynamic57: {
        clipAndStand(cr, 62, 10);
        cairo_move_to(cr, -10, 16);
        cairo_line_to(cr, 10, 16);
        cairo_line_to(cr, 7.5, 92);
        cairo_line_to(cr, -7.5, 92);
        cairo_close_path(cr);
        fillShine(cr, -10, 10, {0.20, 0.20, 0.21});
        cairo_rectangle(cr, -7.5, 90, 15, 7);
        fillShine(cr, -7.5, 7.5, {0.75, 0.75, 0.77});
        cairo_rectangle(cr, -11, 12, 22, 6);
        fillShine(cr, -11, 11, {0.30, 0.30, 0.31});
        cairo_save(cr);
        cairo_scale(cr, 1, 1.15);
        cairo_arc(cr, 0, 0, 13, 0, 2 * kPi);
        cairo_restore(cr);
        mesh(cr, -13, -15, 26, 30, {0.42, 0.42, 0.44}, 3);
        break;
    }
    case Mic::Dynamic20: {
        clipAndStand(cr, 112, 20);
        roundedRect(cr, -20, -44, 40, 172, 10);
        fillShine(cr, -20, 20, {0.70, 0.66, 0.56});
        roundedRect(cr, -20, -44, 40, 86, 10);
        slots(cr, -20, -40, 40, 80, 4, 0.45);
        cairo_rectangle(cr, -20, 42, 40, 6);
        fillShine(cr, -20, 20, {0.22, 0.21, 0.19});
        cairo_arc(cr, 0, 70, 3, 0, 2 * kPi);
        cairo_set_source_rgba(cr, 0.1, 0.1, 0.1, 0.8);
        cairo_fill(cr);
        break;
    }
    case Mic::VintageDynamic20: {
        // A chrome grille with ribs on a yoke.
        cairo_rectangle(cr, -3.5, 44, 7, 400);
        fillShine(cr, -3.5, 3.5, {0.22, 0.22, 0.23});
        cairo_move_to(cr, -27, -4);
        cairo_line_to(cr, -27, 40);
        cairo_line_to(cr, 27, 40);
        cairo_line_to(cr, 27, -4);
        cairo_line_to(cr, 22, -4);
        cairo_line_to(cr, 22, 35);
        cairo_line_to(cr, -22, 35);
        cairo_line_to(cr, -22, -4);
        cairo_close_path(cr);
        fillShine(cr, -27, 27, {0.55, 0.55, 0.58});
        cairo_save(cr);
        cairo_scale(cr, 1, 1.3);
        cairo_arc(cr, 0, 0, 21, 0, 2 * kPi);
        cairo_restore(cr);
        fillShine(cr, -21, 21, {0.82, 0.82, 0.86});
        cairo_set_line_width(cr, 1.4);
        cairo_set_source_rgba(cr, 0.05, 0.05, 0.08, 0.55);
        for (double x = -16; x <= 16; x += 4) {
            const double reach = 27 * std::sqrt(std::max(0.0, 1 - (x / 21) * (x / 21)));
            cairo_move_to(cr, x, -reach + 3);
            cairo_line_to(cr, x, reach - 3);
        }
        cairo_stroke(cr);
        cairo_rectangle(cr, -6, -6, 12, 12);
        fillShine(cr, -6, 6, {0.80, 0.66, 0.30});
        break;
    }
    case Mic::Dynamic421: {
        clipAndStand(cr, 80, 13);
        cairo_move_to(cr, -15, 16);
        cairo_line_to(cr, 15, 16);
        cairo_line_to(cr, 12, 100);
        cairo_line_to(cr, -12, 100);
        cairo_close_path(cr);
        fillShine(cr, -15, 15, {0.34, 0.32, 0.29});
        cairo_rectangle(cr, -14.5, 56, 29, 6);
        fillShine(cr, -14.5, 14.5, {0.55, 0.55, 0.56});
        roundedRect(cr, -21, -18, 42, 36, 6);
        fillShine(cr, -21, 21, {0.14, 0.14, 0.15});
        roundedRect(cr, -18, -15, 36, 30, 4);
        slots(cr, -18, -15, 36, 30, 3.5, 0.8);
        break;
    }
    case Mic::Condenser87: {
        clipAndStand(cr, 100, 20);
        // The elastic cradle around the body.
        cairo_set_line_width(cr, 3);
        cairo_set_source_rgba(cr, 0.05, 0.05, 0.05, 0.9);
        cairo_save(cr);
        cairo_translate(cr, 0, 70);
        cairo_scale(cr, 1, 0.35);
        cairo_arc(cr, 0, 0, 30, 0, 2 * kPi);
        cairo_restore(cr);
        cairo_stroke(cr);
        roundedRect(cr, -19, 18, 38, 112, 5);
        fillShine(cr, -19, 19, {0.78, 0.78, 0.76});
        cairo_arc(cr, 0, 38, 4, 0, 2 * kPi);
        cairo_set_source_rgb(cr, 0.12, 0.12, 0.12);
        cairo_fill(cr);
        cairo_move_to(cr, -19, 20);
        cairo_line_to(cr, -19, -12);
        cairo_arc(cr, 0, -12, 19, kPi, 0);
        cairo_line_to(cr, 19, 20);
        cairo_close_path(cr);
        mesh(cr, -19, -31, 38, 51, {0.80, 0.80, 0.80}, 3);
        cairo_rectangle(cr, -19, 0, 38, 2);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.4);
        cairo_fill(cr);
        break;
    }
    case Mic::Condenser414: {
        clipAndStand(cr, 92, 18);
        roundedRect(cr, -17, 20, 34, 88, 4);
        fillShine(cr, -17, 17, {0.20, 0.20, 0.21});
        for (int i = 0; i < 2; ++i) {
            cairo_rectangle(cr, -6 + 8 * i, 40, 4, 8);
            cairo_set_source_rgb(cr, 0.62, 0.62, 0.64);
            cairo_fill(cr);
        }
        roundedRect(cr, -22, -26, 44, 50, 9);
        fillShine(cr, -22, 22, {0.30, 0.28, 0.24});
        roundedRect(cr, -19, -23, 38, 44, 7);
        mesh(cr, -19, -23, 38, 44, {0.76, 0.66, 0.42}, 2.6);
        cairo_rectangle(cr, -19, -1, 38, 3);
        cairo_set_source_rgba(cr, 0.25, 0.23, 0.2, 0.9);
        cairo_fill(cr);
        break;
    }
    }
}

// The capsule's place in each frame: the panel moves the closed-up
// "Dynamic 20" 14 pixels right, the "Vintage Dynamic 20" 5 left, and every
// microphone at distance but the "Dynamic 20" 3 left, which these offsets
// undo so that the capsule always meets the speaker's centre.
double capsuleX(int frame)
{
    const int model = frame % 6;
    const bool far = frame >= 6;
    double shift = far ? -3 : 0;
    if (model == 0)
        shift -= 5;
    if (model == 1)
        shift = far ? -3 : 14;
    return kMicAnchorX - shift;
}

// One frame of the microphone picture: close up it stands right at the
// grille with a short hard shadow; at distance it is nearer the viewer,
// larger, with a long soft shadow on the cabinet.
Art micFrame(int frame)
{
    Canvas canvas(kMicWidth, kMicHeight);
    cairo_t* cr = canvas.cr();
    const bool far = frame >= 6;
    const Mic mic = static_cast<Mic>(frame % 6);
    const double scale = far ? 1.25 : 1.0;
    cairo_push_group(cr);
    cairo_translate(cr, capsuleX(frame), kMicHeadY);
    cairo_scale(cr, scale, scale);
    drawMic(cr, mic);
    cairo_pattern_t* picture = cairo_pop_group(cr);
    cairo_identity_matrix(cr);
    const double dx = far ? 16 : 6;
    const double dy = far ? 22 : 8;
    const int spread = far ? 3 : 1;
    const double alpha = far ? 0.5 : 0.75;
    const int taps = (2 * spread + 1) * (2 * spread + 1);
    for (int i = -spread; i <= spread; ++i)
        for (int j = -spread; j <= spread; ++j) {
            cairo_matrix_t m;
            cairo_matrix_init_translate(&m, -(dx + 1.5 * i), -(dy + 1.5 * j));
            cairo_pattern_set_matrix(picture, &m);
            cairo_set_source_rgba(cr, 0, 0, 0, 1.0 - std::pow(1.0 - alpha, 1.0 / taps));
            cairo_mask(cr, picture);
        }
    cairo_matrix_t identity;
    cairo_matrix_init_identity(&identity);
    cairo_pattern_set_matrix(picture, &identity);
    cairo_set_source(cr, picture);
    cairo_paint(cr);
    cairo_pattern_destroy(picture);
    return canvas.art("Mic" + std::to_string(frame));
}

// The slider's horizontal slot with end stops.
Art ambienceTrack()
{
    const int w = 180;
    const int h = 30;
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    roundedRect(cr, 4, 11, w - 8, 8, 3);
    cairo_pattern_t* slot = cairo_pattern_create_linear(0, 11, 0, 19);
    cairo_pattern_add_color_stop_rgb(slot, 0, 0.0, 0.0, 0.0);
    cairo_pattern_add_color_stop_rgb(slot, 1, 0.12, 0.12, 0.13);
    cairo_set_source(cr, slot);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(slot);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.3);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return canvas.art("AmbienceTrack");
}

// The slider's chrome cap, upright across the slot.
Art ambienceHandle()
{
    const int w = 14;
    const int h = 26;
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    roundedRect(cr, 1.5, 1.5, w - 1.5, h - 1.5, 3);
    cairo_fill(cr);
    roundedRect(cr, 0.5, 0.5, w - 2, h - 2, 3);
    cairo_pattern_t* cap = bodyShine(0.5, w - 1.5, {0.80, 0.80, 0.82});
    cairo_set_source(cr, cap);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(cap);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_rectangle(cr, 5.5, 3, 2, h - 7);
    cairo_fill(cr);
    return canvas.art("AmbienceHandle");
}

// The button that turns the cabinet round: a wide metal key reading "BACK".
Art backButton(const LegendFont& font, const std::string& name, int state)
{
    const int w = 80;
    const int h = 24;
    const bool pressed = state == 1;
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0.03, 0.03, 0.03);
    roundedRect(cr, 0, 0, w, h, 5);
    cairo_fill(cr);
    roundedRect(cr, 1.5, 1.5, w - 3, h - 3, 3.5);
    cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, 0, h);
    const double top = pressed ? 0.45 : state == 2 ? 0.90 : 0.82;
    const double bottom = pressed ? 0.60 : state == 2 ? 0.62 : 0.55;
    cairo_pattern_add_color_stop_rgb(face, 0, top, top, top * 1.02);
    cairo_pattern_add_color_stop_rgb(face, 1, bottom, bottom, bottom * 1.02);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    if (state == 2) {
        cairo_set_source_rgba(cr, 1.0, 0.72, 0.25, 0.9);
        cairo_set_line_width(cr, 1);
        roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 4.5);
        cairo_stroke(cr);
    }
    font.text(cr, "BACK", w / 2.0, 16 + (pressed ? 1 : 0), 10, 1, {0.10, 0.10, 0.11});
    return canvas.art(name);
}

struct BackSpec {
    const char* name;
    const char* model;  // on the maker's plate
    const char* rating; // beside the jacks
    Colour tolex;
    Colour plate;
    Colour ink;
    bool piping = false;
    bool wood = false; // a varnished board in place of the black one
};

// A metal plate with four screws.
void screwedPlate(cairo_t* cr, double x, double y, double w, double h, Colour c)
{
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    roundedRect(cr, x + 2, y + 3, w, h, 4);
    cairo_fill(cr);
    roundedRect(cr, x, y, w, h, 4);
    cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + w * 0.3, y + h);
    cairo_pattern_add_color_stop_rgb(p, 0, std::min(1.0, c.r * 1.15), std::min(1.0, c.g * 1.15),
                                     std::min(1.0, c.b * 1.15));
    cairo_pattern_add_color_stop_rgb(p, 1, c.r * 0.75, c.g * 0.75, c.b * 0.75);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    for (const double sx : {x + 8, x + w - 8})
        for (const double sy : {y + 8, y + h - 8}) {
            cairo_arc(cr, sx, sy, 3, 0, 2 * kPi);
            cairo_set_source_rgb(cr, 0.35, 0.35, 0.36);
            cairo_fill(cr);
            cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
            cairo_move_to(cr, sx - 2, sy);
            cairo_line_to(cr, sx + 2, sy);
            cairo_stroke(cr);
        }
}

// A jack socket: nut, sleeve and the dark hole.
void jack(cairo_t* cr, double cx, double cy)
{
    // A legend leaves its end as the current point; no line runs from it.
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, 12, 0, 2 * kPi);
    fillShine(cr, cx - 12, cx + 12, {0.70, 0.70, 0.72});
    cairo_arc(cr, cx, cy, 7.5, 0, 2 * kPi);
    fillShine(cr, cx - 7.5, cx + 7.5, {0.45, 0.45, 0.47});
    cairo_arc(cr, cx, cy, 4, 0, 2 * kPi);
    cairo_set_source_rgb(cr, 0.02, 0.02, 0.02);
    cairo_fill(cr);
}

// The cabinet seen from behind: its covering with handle and ports, the jack
// plate, and the plate of the high-level knob with its scale and legends.
Art backPanel(const LegendFont& font, const BackSpec& spec)
{
    Canvas canvas(kBackWidth, kBackHeight);
    cairo_t* cr = canvas.cr();
    Canvas cover(kBackWidth, kBackHeight);
    shadeRect(cover, 0, 0, kBackWidth, kBackHeight, [&](int x, int y) {
        const double pebble = 0.5 * noise(x / 2, y / 2, 79) + 0.5 * noise(x, y, 83) - 0.5;
        const double k = 1.0 + 0.35 * pebble;
        return opaquePixel(spec.tolex.r * k, spec.tolex.g * k, spec.tolex.b * k);
    });
    roundedRect(cr, 0, 0, kBackWidth, kBackHeight, 14);
    fillFromCanvas(cr, cover, 0, 0);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
    cairo_set_line_width(cr, 2);
    roundedRect(cr, 1, 1, kBackWidth - 2, kBackHeight - 2, 13);
    cairo_stroke(cr);
    // The recessed back board.
    roundedRect(cr, 16, 16, kBackWidth - 32, kBackHeight - 32, 6);
    if (spec.wood) {
        Canvas board(kBackWidth, kBackHeight);
        shadeRect(board, 0, 0, kBackWidth, kBackHeight, [](int x, int y) {
            const double grain = std::sin(y * 0.35 + 3 * std::sin(x * 0.013) + 2 * noise(0, y, 5));
            const double v = 0.30 + 0.05 * grain + 0.04 * (noise(x / 6, y, 11) - 0.5);
            return opaquePixel(v * 1.05, v * 0.68, v * 0.40);
        });
        fillFromCanvas(cr, board, 0, 0);
    } else {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
        cairo_fill(cr);
    }
    if (spec.piping) {
        cairo_set_source_rgba(cr, 0.92, 0.90, 0.84, 0.95);
        cairo_set_line_width(cr, 2.5);
        roundedRect(cr, 14, 14, kBackWidth - 28, kBackHeight - 28, 7);
        cairo_stroke(cr);
    }
    // The carrying handle's dish at the top.
    roundedRect(cr, 160, 24, 100, 22, 8);
    cairo_set_source_rgb(cr, 0.03, 0.03, 0.03);
    cairo_fill(cr);
    roundedRect(cr, 172, 30, 76, 9, 4);
    fillShine(cr, 172, 248, {0.16, 0.16, 0.17});
    // Two ports at the bottom.
    for (const double px : {70.0, 290.0}) {
        roundedRect(cr, px, 258, 60, 14, 7);
        cairo_set_source_rgb(cr, 0.01, 0.01, 0.01);
        cairo_fill(cr);
    }
    // The jack plate.
    screwedPlate(cr, 40, 64, 150, 170, spec.plate);
    font.text(cr, "INPUT", 80, 100, 8, 1, spec.ink);
    font.text(cr, "LINK", 150, 100, 8, 1, spec.ink);
    jack(cr, 80, 122);
    jack(cr, 150, 122);
    font.text(cr, spec.rating, 115, 172, 9, 1, spec.ink);
    font.text(cr, "PARALLEL", 115, 188, 7, 1, spec.ink);
    font.text(cr, spec.model, 115, 216, 11, 1, spec.ink);
    // The high-level plate: legend, scale and the words for its ends.
    screwedPlate(cr, 226, 52, 180, 190, spec.plate);
    font.text(cr, "HIGH FREQUENCY", kBackKnobX, 78, 9, 1, spec.ink);
    font.text(cr, "LEVEL", kBackKnobX, 90, 9, 1, spec.ink);
    knobScale(cr, font, kBackKnobX, kBackKnobY, kBackKnobRadius, spec.ink, true);
    // The text area under the knob: what the two ends of the scale do.
    displayWell(cr, kBackKnobX - 70, 204, 140, 26);
    font.text(cr, "TWEETER OFF", kBackKnobX - 64, 221, 7, 0, {1.0, 0.69, 0.25});
    font.text(cr, "FULL", kBackKnobX + 64, 221, 7, 2, {1.0, 0.69, 0.25});
    return canvas.art(spec.name);
}

} // namespace

std::vector<Art> drawCabinets(const std::string& labelFontFile)
{
    const LegendFont font(labelFontFile, 0.5);
    std::vector<Art> art;
    for (const CabSpec& spec : cabinets())
        art.push_back(cabinetFace(font, spec));
    for (int frame = 0; frame < 12; ++frame)
        art.push_back(micFrame(frame));
    art.push_back(ambienceTrack());
    art.push_back(ambienceHandle());
    const char* states[] = {"Released", "Pressed", "Highlight"};
    for (int state = 0; state < 3; ++state)
        art.push_back(backButton(font, std::string("CabBackButton") + states[state], state));
    const BackSpec backs[] = {
        {"CabBackStandard",
         "BORVAN",
         "8 OHMS  500 W",
         {0.09, 0.09, 0.09},
         {0.78, 0.78, 0.80},
         {0.08, 0.08, 0.09}},
        {"CabBackV9E",
         "Q-9R",
         "4 OHMS  300 W",
         {0.10, 0.10, 0.11},
         {0.42, 0.42, 0.44},
         {0.95, 0.93, 0.86},
         false,
         true},
        {"CabBackJMR410H",
         "JMR-410H",
         "8 OHMS  600 W",
         {0.08, 0.08, 0.08},
         {0.90, 0.76, 0.42},
         {0.08, 0.06, 0.04},
         true},
    };
    for (const BackSpec& spec : backs)
        art.push_back(backPanel(font, spec));
    return art;
}

} // namespace skin
