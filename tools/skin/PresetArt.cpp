#include "PresetArt.h"

#include <cmath>
#include <stdexcept>

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "SkinCanvas.h"

namespace skin {

namespace {

void verticalGradient(cairo_t* cr, double height, double top, double bottom)
{
    cairo_pattern_t* pattern = cairo_pattern_create_linear(0, 0, 0, height);
    cairo_pattern_add_color_stop_rgb(pattern, 0, top, top, top * 1.02);
    cairo_pattern_add_color_stop_rgb(pattern, 1, bottom, bottom, bottom * 1.02);
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
}

// The label face: one FreeType face for the whole run, opened on first use.
class LabelFace {
public:
    explicit LabelFace(const std::string& file)
    {
        if (FT_Init_FreeType(&library_) != 0)
            throw std::runtime_error("FreeType does not start");
        if (FT_New_Face(library_, file.c_str(), 0, &face_) != 0)
            throw std::runtime_error("cannot open font " + file);
        cairoFace_ = cairo_ft_font_face_create_for_ft_face(face_, 0);
    }
    ~LabelFace()
    {
        cairo_font_face_destroy(cairoFace_);
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    LabelFace(const LabelFace&) = delete;
    LabelFace& operator=(const LabelFace&) = delete;

    void use(cairo_t* cr, double pixelSize) const
    {
        cairo_set_font_face(cr, cairoFace_);
        cairo_set_font_size(cr, pixelSize);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
        cairo_set_font_options(cr, options);
        cairo_font_options_destroy(options);
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    cairo_font_face_t* cairoFace_ = nullptr;
};

void centredText(cairo_t* cr, const LabelFace& face, const std::string& text, double size,
                 double cx, double cy)
{
    face.use(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_move_to(cr, std::round(cx - extents.x_advance / 2),
                  std::round(cy - extents.y_bearing - extents.height / 2));
    cairo_show_text(cr, text.c_str());
}

enum class State { Released, Pressed, Highlight };
constexpr std::pair<const char*, State> kStates[] = {
    {"Released", State::Released}, {"Pressed", State::Pressed}, {"Highlight", State::Highlight}};

// A brushed-metal key with its label engraved, the shape of the shared push
// buttons, stretched to the label.
Art labelledButton(const std::string& name, const std::string& label, int width, int height,
                   State state, const LabelFace& face)
{
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    const bool pressed = state == State::Pressed;
    cairo_set_source_rgb(cr, 0.03, 0.03, 0.03);
    roundedRect(cr, 0, 0, width, height, 5);
    cairo_fill(cr);
    roundedRect(cr, 1.5, 1.5, width - 3, height - 3, 3.5);
    const double lift = state == State::Highlight ? 0.07 : 0.0;
    if (pressed)
        verticalGradient(cr, height, 0.48, 0.62);
    else
        verticalGradient(cr, height, 0.84 + lift, 0.56 + lift);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, pressed ? 0.55 : 0.35);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, pressed ? 0.15 : 0.6);
    cairo_move_to(cr, 4, 2);
    cairo_line_to(cr, width - 4, 2);
    cairo_stroke(cr);
    if (state == State::Highlight) {
        cairo_set_source_rgba(cr, 1.0, 0.72, 0.25, 0.9);
        roundedRect(cr, 0.5, 0.5, width - 1, height - 1, 4.5);
        cairo_stroke(cr);
    }
    const double cy = height / 2.0 + (pressed ? 1 : 0);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.45);
    centredText(cr, face, label, 11, width / 2.0, cy + 1);
    cairo_set_source_rgb(cr, 0.10, 0.10, 0.11);
    centredText(cr, face, label, 11, width / 2.0, cy);
    return canvas.art(name);
}

// A dark glass window with a faint amber glow: the preset name display and
// the dialogs' text fields.
Art display(const std::string& name, int width, int height)
{
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0.02, 0.02, 0.02);
    roundedRect(cr, 0, 0, width, height, 4);
    cairo_fill(cr);
    roundedRect(cr, 1.5, 1.5, width - 3, height - 3, 3);
    cairo_pattern_t* glass = cairo_pattern_create_linear(0, 0, 0, height);
    cairo_pattern_add_color_stop_rgb(glass, 0, 0.13, 0.10, 0.06);
    cairo_pattern_add_color_stop_rgb(glass, 0.5, 0.07, 0.05, 0.03);
    cairo_pattern_add_color_stop_rgb(glass, 1, 0.10, 0.08, 0.05);
    cairo_set_source(cr, glass);
    cairo_pattern_destroy(glass);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.06);
    cairo_rectangle(cr, 3, 3, width - 6, height / 2.0 - 3);
    cairo_fill(cr);
    return canvas.art(name);
}

// A dialog's plate: dark brushed panel, bevelled edge, a title strip.
Art plate(const std::string& name, const std::string& title, int width, int height,
          const LabelFace& face)
{
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0.02, 0.02, 0.02);
    roundedRect(cr, 0, 0, width, height, 7);
    cairo_fill(cr);
    roundedRect(cr, 2, 2, width - 4, height - 4, 5);
    verticalGradient(cr, height, 0.26, 0.14);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
    cairo_move_to(cr, 7, 2.5);
    cairo_line_to(cr, width - 7, 2.5);
    cairo_stroke(cr);
    // Title strip with a thin amber rule below it.
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_rectangle(cr, 4, 4, width - 8, 22);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 1.0, 0.66, 0.08, 0.8);
    cairo_rectangle(cr, 4, 26, width - 8, 1);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.92, 0.88, 0.80);
    centredText(cr, face, title, 12, width / 2.0, 15);
    return canvas.art(name);
}

// A small square box, its tick amber when checked.
Art checkBox(const std::string& name, bool checked, bool pressed)
{
    const int size = 16;
    Canvas canvas(size, size);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0.03, 0.03, 0.03);
    roundedRect(cr, 0, 0, size, size, 3);
    cairo_fill(cr);
    roundedRect(cr, 1.5, 1.5, size - 3, size - 3, 2);
    if (pressed)
        verticalGradient(cr, size, 0.40, 0.52);
    else
        verticalGradient(cr, size, 0.78, 0.52);
    cairo_fill(cr);
    if (checked) {
        cairo_set_line_width(cr, 2.4);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_move_to(cr, 4, 8.5);
        cairo_line_to(cr, 7, 11.5);
        cairo_line_to(cr, 12.5, 4.5);
        cairo_set_source_rgb(cr, 0.75, 0.40, 0.02);
        cairo_stroke(cr);
    }
    return canvas.art(name);
}

} // namespace

std::vector<Art> drawPresetArt(const std::string& labelFontFile)
{
    const LabelFace face(labelFontFile);
    std::vector<Art> art;
    art.push_back(display("PresetDisplay", 216, 22));
    art.push_back(display("PresetField", 190, 20));
    art.push_back(display("ChooserField", 272, 20));
    art.push_back(plate("PresetSaveBox", "Save preset", 300, 160, face));
    art.push_back(plate("FolderChooserBox", "Choose a folder", 300, 130, face));
    struct Labelled {
        const char* name;
        const char* label;
        int width;
        int height;
    };
    // The bar's keys are a little lower than the arrows, to fit under the name.
    const Labelled buttons[] = {{"PresetSave", "Save", 40, 20},
                                {"PresetSaveAs", "Save as", 56, 20},
                                {"PresetDelete", "Delete", 50, 20},
                                {"PresetFolder", "Folder", 50, 20},
                                {"DialogSave", "Save", 64, 22},
                                {"DialogCancel", "Cancel", 64, 22},
                                {"DialogOK", "OK", 64, 22},
                                {"DialogUp", "Up", 40, 22},
                                {"DialogFolder", "Folder...", 64, 22},
                                {"DialogFolders", "Open...", 64, 22},
                                {"DialogClose", "x", 22, 22}};
    for (const Labelled& button : buttons)
        for (const auto& [stateName, state] : kStates)
            art.push_back(labelledButton(std::string(button.name) + stateName, button.label,
                                         button.width, button.height, state, face));
    for (bool checked : {false, true})
        for (bool pressed : {false, true})
            art.push_back(checkBox(std::string("Check") + (checked ? "On" : "Off") +
                                       (pressed ? "Pressed" : ""),
                                   checked, pressed));
    return art;
}

} // namespace skin
