#include "editor/widgets/EditText.h"

#include <boost/bind/bind.hpp>

#include "editor/graphics/Painter.h"

namespace Zq::Application::Widgets {

using namespace boost::placeholders;
using Graphics::KeyboardButtons;

EditText::EditText(GUI::Widget* parent, const Rect& rect, const Graphics::Font* font,
                   std::uint32_t colour, int alignment, int characterWidth, const std::string& text)
    : StaticText(parent, rect, font, colour, alignment, characterWidth, text),
      caret_(static_cast<unsigned>(text.size()))
{
    // The static text's constructor connected its paint handler, which is
    // virtual: this class's paint reaches the same connection.
    auto& events = callbacks();
    events.mouseDown.connect(boost::bind(&EditText::onMouseDown, this, _1, _2, _3, _4));
    events.mouseUp.connect(boost::bind(&EditText::onMouseUp, this, _1, _2, _3, _4));
    events.key.connect(boost::bind(&EditText::onKey, this, _1, _2, _3, _4));
    focusLost.connect(boost::bind(&EditText::onFocusLost, this, _1));
}

void EditText::setText(const std::string& text)
{
    StaticText::setText(text);
    caret_ = static_cast<unsigned>(getText().size());
}

void EditText::setText(int alignment, const std::string& text)
{
    StaticText::setText(alignment, text);
    caret_ = static_cast<unsigned>(getText().size());
}

void EditText::onMouseDown(GUI::Widget*, const Point&, int button, int)
{
    if (button == Graphics::LeftButton)
        captureMouse();
}

void EditText::onMouseUp(GUI::Widget*, const Point& point, int button, int)
{
    if (!hasCapture())
        return;
    const Point size = getSize();
    if (button == Graphics::LeftButton && point.x >= 0 && point.y >= 0 && point.x < size.x &&
        point.y < size.y) {
        caret_ = static_cast<unsigned>(getText().size());
        setFocus();
    }
    releaseMouse();
    invalidate();
}

void EditText::onKey(GUI::Widget*, KeyboardButtons key, char character, int)
{
    std::string text = getText();
    const unsigned length = static_cast<unsigned>(text.size());
    if (caret_ > length)
        caret_ = length;
    switch (key) {
    case KeyboardButtons::Character:
        if ((maximum_ != 0 && caret_ >= maximum_) ||
            (!allowed_.empty() && allowed_.find(character) == std::string::npos))
            return;
        text.insert(caret_, 1, character);
        StaticText::setText(text);
        ++caret_;
        break;
    case KeyboardButtons::Backspace:
        if (caret_ > 0) {
            --caret_;
            text.erase(caret_, 1);
            StaticText::setText(text);
        }
        break;
    case KeyboardButtons::Delete:
        if (caret_ < length) {
            text.erase(caret_, 1);
            StaticText::setText(text);
        }
        break;
    case KeyboardButtons::Left:
        if (caret_ > 0)
            --caret_;
        break;
    case KeyboardButtons::Right:
        if (caret_ < length)
            ++caret_;
        break;
    case KeyboardButtons::Home:
        caret_ = 0;
        break;
    case KeyboardButtons::End:
        caret_ = length;
        break;
    case KeyboardButtons::Return:
        releaseFocus();
        committed(this);
        break;
    case KeyboardButtons::Escape:
        // Cancelled while the field still has the focus: a listener that
        // applies the text when the focus goes (the tuner's reference does)
        // has restored it by then, so Escape never applies what was typed.
        cancelled(this);
        releaseFocus();
        break;
    default:
        break;
    }
    invalidate();
}

void EditText::onFocusLost(GUI::Widget*)
{
    invalidate();
}

void EditText::onPaint(GUI::Widget* widget, Graphics::Painter* painter, const Rect& dirty)
{
    StaticText::onPaint(widget, painter, dirty);
    const Graphics::Font* font = getFont();
    if (!font || !hasFocus())
        return;
    const std::string before = getText().substr(0, caret_); // substr stops at the end
    const int caretX = measure(before.c_str()).x;
    const Point size = getSize();
    painter->drawTextAligned(*font, getTextColor(), "_", {caretX, 0, size.x, size.y},
                             getAlignment(), 0);
}

} // namespace Zq::Application::Widgets
