#include "editor/widgets/StaticText.h"

#include <boost/bind/bind.hpp>

#include "editor/graphics/Painter.h"

namespace Zq::Application::Widgets {

using namespace boost::placeholders;

StaticText::StaticText(GUI::Widget* parent, const Rect& rect, const Graphics::Font* font,
                       std::uint32_t colour, int alignment, int characterWidth,
                       const std::string& text)
    : Widget(parent, rect), font_(font), textColour_(colour), alignment_(alignment),
      characterWidth_(characterWidth), text_(text)
{
    callbacks().paint.connect(boost::bind(&StaticText::onPaint, this, _1, _2, _3));
}

void StaticText::setText(const std::string& text)
{
    if (text == text_)
        return;
    text_ = text;
    invalidate();
}

void StaticText::setText(int alignment, const std::string& text)
{
    if (alignment == alignment_ && text == text_)
        return;
    alignment_ = alignment;
    text_ = text;
    invalidate();
}

const std::string& StaticText::getText()
{
    return text_;
}

StaticText::Point StaticText::measure(const char* text) const
{
    return font_ ? font_->measure(text, characterWidth_) : Point{0, 0};
}

void StaticText::onPaint(GUI::Widget*, Graphics::Painter* painter, const Rect&)
{
    if (!font_)
        return;
    const Point size = getSize();
    const Rect box{0, 0, size.x, size.y};
    if (dotOffset_ == 0) {
        painter->drawTextAligned(*font_, textColour_, text_.c_str(), box, alignment_,
                                 characterWidth_);
        return;
    }
    // Two strings of one cell layout: the digits, and the points each in the
    // cell of the character after it, drawn a little to the left.
    std::string digits;
    std::string points;
    bool afterPoint = false;
    for (const char c : text_) {
        if (c == '.') {
            points += '.';
            afterPoint = true;
            continue;
        }
        digits += c;
        if (!afterPoint)
            points += ' ';
        afterPoint = false;
    }
    painter->drawTextAligned(*font_, textColour_, digits.c_str(), box, alignment_, characterWidth_);
    painter->drawTextAligned(*font_, textColour_, points.c_str(), {-dotOffset_, 0, size.x, size.y},
                             alignment_, characterWidth_);
}

} // namespace Zq::Application::Widgets
