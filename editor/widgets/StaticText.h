#pragma once

#include <cstdint>
#include <string>

#include "editor/graphics/Font.h"
#include "editor/widgets/Widget.h"

namespace Zq::Application::Widgets {

// One line of text in a bitmap font, optionally with a seven-segment style
// decimal point that takes no cell of its own. Without a font it draws
// nothing.
class StaticText : public GUI::Widget {
public:
    // The font is not owned (a cache's). Alignment 0 left, 1 centre, 2 right;
    // a character width of 0 or less spaces the glyphs by their own widths.
    StaticText(GUI::Widget* parent, const Rect& rect, const Graphics::Font* font,
               std::uint32_t colour, int alignment, int characterWidth, const std::string& text);

    virtual void setText(const std::string& text);
    virtual void setText(int alignment, const std::string& text);
    virtual const std::string& getText();
    virtual void onPaint(GUI::Widget* widget, Graphics::Painter* painter, const Rect& dirty);

    // Pixels the decimal point is drawn left of its cell; 0 draws the text as
    // it stands. No repaint.
    void setDotOffset(int pixels) { dotOffset_ = pixels; }
    int getDotOffset() const { return dotOffset_; }
    const Graphics::Font* getFont() const { return font_; }
    std::uint32_t getTextColor() const { return textColour_; }
    int getAlignment() const { return alignment_; }
    int getCharacterWidth() const { return characterWidth_; }

protected:
    // The text's width and height in the font; 0 x 0 without a font.
    Point measure(const char* text) const;

private:
    const Graphics::Font* font_;
    std::uint32_t textColour_;
    int alignment_;
    int characterWidth_;
    std::string text_;
    int dotOffset_ = 0;
};

} // namespace Zq::Application::Widgets
