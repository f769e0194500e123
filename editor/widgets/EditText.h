#pragma once

#include <boost/signals2/signal.hpp>

#include "editor/widgets/StaticText.h"

namespace Zq::Application::Widgets {

// A one-line text field: a static text that takes the keyboard focus on a
// click and edits its text at a caret. Return commits and Escape cancels,
// each through its own signal; the text stays as edited either way.
class EditText : public StaticText {
public:
    boost::signals2::signal<void(EditText*)> committed;
    boost::signals2::signal<void(EditText*)> cancelled;

    // As a static text; the caret starts at the end of the text.
    EditText(GUI::Widget* parent, const Rect& rect, const Graphics::Font* font,
             std::uint32_t colour, int alignment, int characterWidth, const std::string& text);

    // Both put the caret at the end of the new text.
    void setText(const std::string& text) override;
    void setText(int alignment, const std::string& text) override;
    // 0: no limit. A character is refused once the caret stands at the limit.
    void setMaxLength(unsigned count) { maximum_ = count; }
    // Empty: every character the window delivers.
    void setAllowedCharacters(const std::string& allowed) { allowed_ = allowed; }
    unsigned getCaret() const { return caret_; }

    void onPaint(GUI::Widget* widget, Graphics::Painter* painter, const Rect& dirty) override;
    virtual void onMouseDown(GUI::Widget* widget, const Point& point, int button, int modifiers);
    virtual void onMouseUp(GUI::Widget* widget, const Point& point, int button, int modifiers);
    virtual void onKey(GUI::Widget* widget, Graphics::KeyboardButtons key, char character,
                       int modifiers);
    virtual void onFocusLost(GUI::Widget* widget);

private:
    unsigned caret_ = 0;
    unsigned maximum_ = 0;
    std::string allowed_;
};

} // namespace Zq::Application::Widgets
