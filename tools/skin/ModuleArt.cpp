#include "ModuleArt.h"

#include <cmath>
#include <string>
#include <utility>

#include <cairo.h>

#include "SkinCanvas.h"

namespace skin {

namespace {

// The module area between the bars.
constexpr int kFaceWidth = 851;
constexpr int kFaceHeight = 364;

// Ticks beside a fader track, +dB at the top.
void faderScale(cairo_t* cr, double x, double y, double length, Colour ink)
{
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, ink.r, ink.g, ink.b, 0.8);
    for (int i = 0; i <= 8; ++i) {
        const double ty = y + length * i / 8.0;
        const double w = i % 4 == 0 ? 6 : 3;
        cairo_move_to(cr, x, ty);
        cairo_line_to(cr, x + w, ty);
    }
    cairo_stroke(cr);
}

// Where the layouts put things, in module-area coordinates: the legends of a
// face are drawn around the controls at these places.
struct KnobAt {
    const char* legend;
    double x, y;      // top-left of the knob
    double size = 48; // small knobs go without numbers
};
struct SwitchAt {
    const char* legend;
    double x, y; // top-left of a 28 x 44 toggle
};
struct FaderAt {
    const char* legend;
    double x, y; // top-left of a 30 x 160 track
};

struct LampAt {
    const char* legend;
    double x, y; // top-left of a 14-pixel lamp
};

struct FaceSpec {
    const char* name;
    const char* title;
    Colour plate;
    Colour ink;
    std::vector<KnobAt> knobs;
    std::vector<SwitchAt> switches;
    std::vector<FaderAt> faders;
    const char* faderTitle = nullptr;
    std::vector<LampAt> lamps = {};
};

Art headFace(const LegendFont& font, const FaceSpec& spec)
{
    Canvas canvas(kFaceWidth, kFaceHeight);
    darkTolex(canvas, 0, 0, kFaceWidth, kFaceHeight);
    facePlate(canvas, 24, 30, kFaceWidth - 48, kFaceHeight - 60, spec.plate);
    cairo_t* cr = canvas.cr();
    font.text(cr, spec.title, 110, 76, 22, 1, spec.ink);
    for (const KnobAt& k : spec.knobs) {
        const double r = k.size / 2;
        knobScale(cr, font, k.x + r, k.y + r, r, spec.ink, k.size >= 48);
        font.text(cr, k.legend, k.x + r, k.y + k.size + (k.size >= 48 ? 32 : 18), 9, 1, spec.ink);
    }
    for (const SwitchAt& s : spec.switches)
        font.text(cr, s.legend, s.x + 14, s.y - 6, 8, 1, spec.ink);
    for (const FaderAt& f : spec.faders) {
        faderScale(cr, f.x + 31, f.y + 8, 144, spec.ink);
        font.text(cr, f.legend, f.x + 15, f.y - 6, 8, 1, spec.ink);
    }
    for (const LampAt& l : spec.lamps)
        font.text(cr, l.legend, l.x + 7, l.y - 4, 7, 1, spec.ink);
    if (spec.faderTitle && !spec.faders.empty()) {
        const FaderAt& first = spec.faders.front();
        const FaderAt& last = spec.faders.back();
        font.text(cr, spec.faderTitle, (first.x + last.x + 30) / 2, first.y + 182, 10, 1, spec.ink);
    }
    return canvas.art(spec.name);
}

FaceSpec gn500()
{
    FaceSpec spec{"AmpGN500Face", "GN-500", {1.0, 1.0, 1.02}, {0.08, 0.08, 0.09}, {}, {}, {}};
    spec.knobs = {{"GAIN", 60, 130},
                  {"BASS", 150, 130},
                  {"MID", 240, 130},
                  {"TREBLE", 330, 130},
                  {"MASTER", 420, 130}};
    // Lamps sit to the right of their switches.
    spec.switches = {{"BYPASS", 60, 256},
                     {"MUTE", 140, 256},
                     {"PAD", 220, 256},
                     {"LIMIT", 300, 256},
                     {"EQ", 380, 256}};
    const char* bands[] = {"40", "80", "150", "300", "600", "900", "2k", "5k", "9k"};
    for (int i = 0; i < 9; ++i)
        spec.faders.push_back({bands[i], 500.0 + 36 * i, 80});
    spec.faderTitle = "GRAPHIC EQ";
    spec.lamps = {{"PEAK", 122, 104}};
    return spec;
}

FaceSpec q9r()
{
    FaceSpec spec{"AmpQ9RFace", "Q-9R", {0.42, 0.42, 0.44}, {0.95, 0.93, 0.86}, {}, {}, {}};
    spec.knobs = {{"GAIN", 60, 130},       {"BASS", 150, 130},   {"MID", 240, 130},
                  {"FREQUENCY", 330, 130}, {"TREBLE", 420, 130}, {"MASTER", 510, 130}};
    spec.switches = {{"BYPASS", 60, 256},
                     {"MUTE", 140, 256},
                     {"ULTRA HI", 220, 256},
                     {"ULTRA LO", 300, 256},
                     {"50W / 100W", 380, 256}};
    return spec;
}

FaceSpec rkmClassic()
{
    FaceSpec spec{"AmpRKMClassicFace", "RKM-CL", {0.80, 0.86, 1.0}, {0.05, 0.07, 0.16}, {}, {}, {}};
    spec.knobs = {{"GAIN", 60, 130},       {"BASS", 150, 130},   {"MID", 240, 130},
                  {"FREQUENCY", 330, 130}, {"TREBLE", 420, 130}, {"MASTER", 510, 130}};
    spec.switches = {
        {"BYPASS", 60, 256}, {"MUTE", 140, 256}, {"ULTRA HI", 220, 256}, {"ULTRA LO", 300, 256}};
    spec.lamps = {{"MUTE", 640, 150}, {"BYPASS", 700, 150}};
    return spec;
}

FaceSpec rkm4pro()
{
    FaceSpec spec{
        "AmpRKM4PROFace", "RKM-4 PRO", {0.30, 0.30, 0.32}, {0.96, 0.96, 0.94}, {}, {}, {}};
    const char* knobs[] = {"GAIN", "COMP", "BASS", "MID", "FREQ", "TREBLE", "MASTER"};
    for (int i = 0; i < 7; ++i)
        spec.knobs.push_back({knobs[i], 50.0 + 58 * i, 110, 32});
    const char* switches[] = {"BYPASS", "MUTE", "-15dB", "HI", "LO", "LIMIT", "BRIGHT"};
    for (int i = 0; i < 7; ++i)
        spec.switches.push_back({switches[i], 50.0 + 56 * i, 276});
    const char* bands[] = {"33", "80", "150", "300", "600", "900", "2k", "5k", "8k", "LEVEL"};
    for (int i = 0; i < 10; ++i)
        spec.faders.push_back({bands[i], 466.0 + 36 * i, 80});
    spec.faderTitle = "EQUALIZER";
    spec.lamps = {{"PEAK", 60, 216}, {"LIMIT", 120, 216}, {"EQ", 180, 216}};
    return spec;
}

// The Q-9R's valves behind a window in the face: 32 frames glowing from
// cold to full as the master turns up.
Art valveStrip()
{
    const int w = 200;
    const int h = 80;
    const int frames = 32;
    Canvas canvas(w, h * frames);
    cairo_t* cr = canvas.cr();
    for (int f = 0; f < frames; ++f) {
        const double y0 = f * h;
        const double glow = double(f) / (frames - 1);
        cairo_set_source_rgb(cr, 0.03, 0.03, 0.03);
        cairo_rectangle(cr, 0, y0, w, h);
        cairo_fill(cr);
        for (int v = 0; v < 4; ++v) {
            const double cx = 25 + 50 * v;
            cairo_pattern_t* light = cairo_pattern_create_radial(cx, y0 + 52, 1, cx, y0 + 52, 22);
            cairo_pattern_add_color_stop_rgba(light, 0, 1.0, 0.55, 0.15, 0.15 + 0.85 * glow);
            cairo_pattern_add_color_stop_rgba(light, 1, 1.0, 0.3, 0.05, 0);
            cairo_set_source(cr, light);
            cairo_arc(cr, cx, y0 + 52, 22, 0, 2 * kPi);
            cairo_fill(cr);
            cairo_pattern_destroy(light);
            // The glass envelope.
            cairo_set_source_rgba(cr, 0.8, 0.85, 0.9, 0.35);
            cairo_set_line_width(cr, 1.5);
            cairo_move_to(cr, cx - 12, y0 + 74);
            cairo_line_to(cr, cx - 12, y0 + 18);
            cairo_arc(cr, cx, y0 + 18, 12, kPi, 0);
            cairo_line_to(cr, cx + 12, y0 + 74);
            cairo_stroke(cr);
        }
    }
    return canvas.art("ValveGlow", frames);
}

// The stomp board: six slots, each with its name window over the pedal bay.
Art stompBoard(const LegendFont& font)
{
    Canvas canvas(kFaceWidth, kFaceHeight);
    darkTolex(canvas, 0, 0, kFaceWidth, kFaceHeight);
    cairo_t* cr = canvas.cr();
    for (int n = 0; n < 6; ++n) {
        const double sx = 5 + 140 * n;
        cairo_set_source_rgb(cr, 0.02, 0.02, 0.02);
        cairo_rectangle(cr, sx + 4, 7, 132, 20);
        cairo_fill(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.15);
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, sx + 3.5, 6.5, 133, 21);
        cairo_stroke(cr);
        // The bay, a little darker than the board.
        cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
        cairo_rectangle(cr, sx + 2, 58, 136, 304);
        cairo_fill(cr);
        font.text(cr, std::to_string(n + 1), sx + 84, 46, 10, 1, {0.6, 0.6, 0.58});
    }
    return canvas.art("StompBoard");
}

// A legend of its own, not tied to a control: baseline at y, align as the
// legend font takes it.
struct TextAt {
    const char* legend;
    double x, y;
    int align;
};

struct PedalSpec {
    const char* name;
    const char* title;
    Colour colour;
    std::vector<KnobAt> knobs; // in slot coordinates
    std::vector<LampAt> lamps = {};
    std::vector<TextAt> texts = {};
};

// A painted metal box with its legends and a screw at each corner.
Art pedalFace(const LegendFont& font, const PedalSpec& spec)
{
    const int w = 130;
    const int h = 296;
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    cairo_pattern_t* paint = cairo_pattern_create_linear(0, 0, w, h);
    cairo_pattern_add_color_stop_rgb(paint, 0, spec.colour.r * 1.1, spec.colour.g * 1.1,
                                     spec.colour.b * 1.1);
    cairo_pattern_add_color_stop_rgb(paint, 1, spec.colour.r * 0.7, spec.colour.g * 0.7,
                                     spec.colour.b * 0.7);
    cairo_new_sub_path(cr);
    const double r = 8;
    cairo_arc(cr, w - r, r, r, -kPi / 2, 0);
    cairo_arc(cr, w - r, h - r, r, 0, kPi / 2);
    cairo_arc(cr, r, h - r, r, kPi / 2, kPi);
    cairo_arc(cr, r, r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
    cairo_set_source(cr, paint);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(paint);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    for (double sx : {9.0, w - 9.0})
        for (double sy : {9.0, h - 9.0}) {
            cairo_set_source_rgb(cr, 0.7, 0.7, 0.72);
            cairo_arc(cr, sx, sy, 3.5, 0, 2 * kPi);
            cairo_fill(cr);
        }
    const Colour ink{0.97, 0.97, 0.95};
    // Knobs and lamps are placed in slot coordinates; the face starts at x 5.
    for (const KnobAt& k : spec.knobs) {
        const double kr = k.size / 2;
        font.text(cr, k.legend, k.x - 5 + kr, k.y - 8, 8, 1, ink);
    }
    for (const LampAt& l : spec.lamps)
        font.text(cr, l.legend, l.x - 5 + 7, l.y - 4, 7, 1, ink);
    for (const TextAt& t : spec.texts)
        font.text(cr, t.legend, t.x - 5, t.y, 8, t.align, ink);
    font.text(cr, spec.title, w / 2.0, 284, 12, 1, ink);
    return canvas.art(spec.name);
}

std::vector<PedalSpec> pedals()
{
    // Legends above each control; lamps, switches and rockers as placed.
    auto small = [](const char* legend, double x, double y) { return KnobAt{legend, x, y, 32}; };
    return {
        {"StompOverdriveFace",
         "DLK-OD",
         {0.85, 0.62, 0.10},
         {{"TEXTURE", 14, 50}, {"BALANCE", 78, 50}}},
        {"StompOctaverFace",
         "DLK-OCT",
         {0.20, 0.45, 0.75},
         {{"OCTAVE", 14, 50}, {"DIRECT", 78, 50}}},
        {"StompRI1Face",
         "CHORUS",
         {0.35, 0.65, 0.70},
         {small("LEVEL", 20, 30),
          small("CHORUS", 88, 30),
          small("DEPTH", 20, 88),
          small("RATE", 88, 88),
          {"", 12, 140, 40},
          {"CHORUS / VIBRATO", 52, 140, 40},
          {"", 92, 140, 40}}},
        {"StompMemoryManFace",
         "DELAY",
         {0.55, 0.55, 0.58},
         {small("DELAY", 20, 30),
          small("FEEDBACK", 88, 30),
          small("BLEND", 20, 88),
          small("CH/VIB", 88, 88),
          {"", 12, 140, 40},
          {"CHORUS / VIBRATO", 52, 140, 40},
          {"", 92, 140, 40},
          {"SYNC", 92, 176, 40}}},
        {"StompWahFace",
         "BASS WAH",
         {0.15, 0.15, 0.16},
         {},
         {{"OFF", 24, 134}, {"ON", 63, 134}, {"AUTO", 102, 134}},
         // Beside the switch: above it the lamps' words leave no room.
         {{"MODE", 45, 167, 2}}},
        {"StompDynaCompFace",
         "COMP",
         {0.75, 0.12, 0.12},
         {{"OUTPUT", 14, 50}, {"SENSITIVITY", 78, 50}}},
        {"StompEnvelopeFilterFace",
         "ENVELOPE",
         {0.45, 0.22, 0.60},
         {small("FREQ", 20, 30),
          small("RESO", 88, 30),
          small("DEPTH", 54, 88),
          {"POLES", 8, 128, 40},
          {"BAND", 92, 128, 40}},
         {{"HP", 40, 160}, {"BP", 63, 160}, {"LP", 86, 160}}},
        {"StompVolumeFace",
         "VOLUME",
         {0.20, 0.50, 0.25},
         {small("MIN", 20, 130), {"MODE", 80, 132, 40}}},
    };
}

// A small labelled push switch: the state's word lit on a dark cap.
Art labelSwitch(const LegendFont& font, const std::string& name, const char* word, bool lit)
{
    const int w = 40;
    const int h = 18;
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.09);
    cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    font.text(cr, word, w / 2.0, 13, 9, 1,
              lit ? Colour{1.0, 0.69, 0.25} : Colour{0.75, 0.75, 0.72});
    return canvas.art(name);
}

// A rocker seen from above, tilting from heel to toe over 32 frames.
Art rockerStrip(const std::string& name, Colour tint)
{
    const int w = 100;
    const int h = 90;
    const int frames = 32;
    Canvas canvas(w, h * frames);
    cairo_t* cr = canvas.cr();
    for (int f = 0; f < frames; ++f) {
        const double y0 = f * h;
        const double t = double(f) / (frames - 1);
        const double inset = 6 + 10 * (1 - t);
        cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
        cairo_rectangle(cr, 0, y0, w, h);
        cairo_fill(cr);
        cairo_pattern_t* tread = cairo_pattern_create_linear(0, y0, 0, y0 + h);
        cairo_pattern_add_color_stop_rgb(tread, 0, tint.r * (0.5 + 0.5 * t),
                                         tint.g * (0.5 + 0.5 * t), tint.b * (0.5 + 0.5 * t));
        cairo_pattern_add_color_stop_rgb(tread, 1, tint.r * (1 - 0.5 * t), tint.g * (1 - 0.5 * t),
                                         tint.b * (1 - 0.5 * t));
        cairo_move_to(cr, inset, y0 + 4);
        cairo_line_to(cr, w - inset, y0 + 4);
        cairo_line_to(cr, w - 6, y0 + h - 4);
        cairo_line_to(cr, 6, y0 + h - 4);
        cairo_close_path(cr);
        cairo_set_source(cr, tread);
        cairo_fill(cr);
        cairo_pattern_destroy(tread);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
        cairo_set_line_width(cr, 1.5);
        for (int g = 1; g < 8; ++g) {
            const double gy = y0 + 4 + g * (h - 8) / 8.0;
            cairo_move_to(cr, 14, gy);
            cairo_line_to(cr, w - 14, gy);
        }
        cairo_stroke(cr);
    }
    return canvas.art(name, frames);
}

} // namespace

std::vector<Art> drawModules(const std::string& labelFontFile)
{
    // The faces' legends cast a lighter drop shadow than the bars' legends.
    const LegendFont font(labelFontFile, 0.5);
    std::vector<Art> art;
    art.push_back(headFace(font, gn500()));
    art.push_back(headFace(font, q9r()));
    art.push_back(headFace(font, rkmClassic()));
    art.push_back(headFace(font, rkm4pro()));
    art.push_back(valveStrip());
    art.push_back(stompBoard(font));
    for (const PedalSpec& spec : pedals())
        art.push_back(pedalFace(font, spec));
    // Multi-state switches as one image per state; the chorus/vibrato
    // switches show their one mode's word, so all three read alike.
    const std::pair<const char*, std::vector<const char*>> words[] = {
        {"SwitchMode", {"CHO", "VIB"}},       {"SwitchBpm", {"MS", "BPM"}},
        {"SwitchWah", {"OFF", "ON", "AUTO"}}, {"SwitchPole", {"12dB", "24dB"}},
        {"SwitchBand", {"HP", "BP", "LP"}},   {"SwitchVolume", {"ON", "OFF"}}};
    for (const auto& [prefix, list] : words)
        for (std::size_t i = 0; i < list.size(); ++i)
            art.push_back(labelSwitch(font, prefix + std::to_string(i), list[i], i > 0));
    art.push_back(rockerStrip("WahRocker", {0.35, 0.35, 0.37}));
    art.push_back(rockerStrip("VolumeRocker", {0.30, 0.55, 0.32}));
    art.push_back(roundLamp("AmpLedOff", {1.0, 0.66, 0.08}, false, 14));
    art.push_back(roundLamp("AmpLedOn", {1.0, 0.66, 0.08}, true, 14));
    return art;
}

} // namespace skin
