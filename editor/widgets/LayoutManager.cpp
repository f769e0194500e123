#include "editor/widgets/LayoutManager.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <set>

#include <tinyxml.h>

#include "editor/graphics/Bitmap.h"
#include "editor/graphics/Font.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/DragIcon.h"
#include "editor/widgets/EditText.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/Menu.h"
#include "editor/widgets/MultiStateButton.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/RadioButton.h"
#include "editor/widgets/RadioGroup.h"
#include "editor/widgets/Slider.h"
#include "editor/widgets/StaticImage.h"
#include "editor/widgets/StaticText.h"
#include "editor/widgets/Window.h"
#include "plugin/docview/XmlNumber.h"

namespace Zq::Application::Widgets {

namespace layout {

int parseInteger(const char* text)
{
    if (!text)
        return 0;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    // Accumulated as a negative number, whose range holds INT_MIN.
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 - (*text - '0');
        if (value < -static_cast<long long>(INT_MAX) - 1)
            return negative ? INT_MIN : INT_MAX;
    }
    if (negative)
        return static_cast<int>(value);
    return value < -static_cast<long long>(INT_MAX) ? INT_MAX : static_cast<int>(-value);
}

float parseReal(const char* text)
{
    if (!text)
        return 0.0f;
    return DocView::parseNumber(text).value_or(0.0f);
}

} // namespace layout

namespace {

using Point = GUI::Widget::Point;
using Rect = GUI::Widget::Rect;

bool has(const TiXmlElement& element, const char* name)
{
    return element.Attribute(name) != nullptr;
}

int integer(const TiXmlElement& element, const char* name, int fallback = 0)
{
    const char* text = element.Attribute(name);
    return text ? layout::parseInteger(text) : fallback;
}

float real(const TiXmlElement& element, const char* name, float fallback)
{
    const char* text = element.Attribute(name);
    return text ? layout::parseReal(text) : fallback;
}

std::string text(const TiXmlElement& element, const char* name, const char* fallback = "")
{
    const char* value = element.Attribute(name);
    return value ? value : fallback;
}

// "ColorA" ... "ColorB", each kept to 8 bits, as ARGB.
std::uint32_t colour(const TiXmlElement& element, int alpha, int rgb)
{
    const auto channel = [&](const char* name, int fallback) {
        return static_cast<std::uint32_t>(integer(element, name, fallback)) & 0xFFu;
    };
    return channel("ColorA", alpha) << 24 | channel("ColorR", rgb) << 16 |
           channel("ColorG", rgb) << 8 | channel("ColorB", rgb);
}

Rect rectangle(const TiXmlElement& element)
{
    return {integer(element, "PositionX"), integer(element, "PositionY"), integer(element, "SizeW"),
            integer(element, "SizeH")};
}

Point position(const TiXmlElement& element)
{
    return {integer(element, "PositionX"), integer(element, "PositionY")};
}

Rect activeRect(const TiXmlElement& element)
{
    return {integer(element, "ActivePosX"), integer(element, "ActivePosY"),
            integer(element, "ActiveSizeW"), integer(element, "ActiveSizeH")};
}

// Names "<prefix>0", "<prefix>1", ... up to the first one absent.
std::vector<std::string> numbered(const TiXmlElement& element, const char* prefix)
{
    std::vector<std::string> values;
    for (int i = 0;; ++i) {
        const char* value = element.Attribute((prefix + std::to_string(i)).c_str());
        if (!value)
            return values;
        values.emplace_back(value);
    }
}

} // namespace

LayoutManager::LayoutManager(const TiXmlDocument& document, GUI::Widget* parent,
                             Res::ImageCache& images, Res::FontCache& fonts)
    : parent_(parent), imageCache_(images), fontCache_(fonts)
{
    const TiXmlElement* top = document.FirstChildElement();
    if (!top || !parent_ || std::string(top->Value()) != "Layout")
        return;
    for (const TiXmlElement* child = top->FirstChildElement(); child;
         child = child->NextSiblingElement())
        if (GUI::Widget* widget = build(*child, parent_))
            widgets_.push_back(widget);
}

LayoutManager::~LayoutManager()
{
    // Closing fires each widget's destroyed signal; the lists must hold still.
    watches_.clear();
    std::set<GUI::Widget*> closed;
    for (GUI::Widget* widget : widgets_)
        if (closed.insert(widget).second)
            widget->close();
    for (Menu* menu : menus_)
        if (closed.insert(menu).second)
            menu->close();
    groups_.clear();
    for (const Graphics::Bitmap* image : images_)
        imageCache_.release(image);
    for (const Graphics::Font* font : fonts_)
        fontCache_.release(font);
}

RadioGroup* LayoutManager::getGroup(const std::string& name)
{
    const auto entry = groups_.find(name);
    return entry == groups_.end() ? nullptr : entry->second.get();
}

GUI::Widget* LayoutManager::build(const TiXmlElement& element, GUI::Widget* parent)
{
    GUI::Widget* widget = create(element, element.Value(), parent);
    if (!widget)
        return nullptr;
    watches_.emplace_back(widget->destroyed.connect([this](GUI::Widget* gone) { forget(gone); }));
    applyCommon(element, widget);
    for (const TiXmlElement* child = element.FirstChildElement(); child;
         child = child->NextSiblingElement())
        build(*child, widget);
    return widget;
}

GUI::Widget* LayoutManager::create(const TiXmlElement& e, const std::string& type,
                                   GUI::Widget* parent)
{
    const bool placed = has(e, "PositionX");
    const bool sized = has(e, "SizeW");
    if (type == "StaticImage") {
        const Graphics::Bitmap* picture = image(e, "Image");
        StaticImage* widget = nullptr;
        if (placed && sized)
            widget = new StaticImage(parent, rectangle(e), picture);
        else if (placed)
            widget = new StaticImage(parent, position(e), picture);
        else
            widget = new StaticImage(parent, picture);
        widget->setColor(colour(e, 255, 255));
        return widget;
    }
    if (type == "Group")
        return new GUI::Widget(parent, rectangle(e));
    if (type == "StaticText" || type == "EditText") {
        const Graphics::Font* face = font(e, "Font");
        const std::uint32_t argb = colour(e, 255, 0);
        const int alignment = integer(e, "Alignment");
        const int characterWidth = integer(e, "CharWidth");
        // Without "Text" the widget starts empty.
        const std::string content = text(e, "Text");
        StaticText* widget =
            type == "EditText"
                ? new EditText(parent, rectangle(e), face, argb, alignment, characterWidth, content)
                : new StaticText(parent, rectangle(e), face, argb, alignment, characterWidth,
                                 content);
        widget->setDotOffset(integer(e, "DotOffset"));
        return widget;
    }
    if (type == "PushButton") {
        if (!placed)
            return nullptr;
        const auto* released = image(e, "Released");
        const auto* pressed = image(e, "Pressed");
        const auto* highlight = image(e, "Highlight");
        if (sized)
            return new PushButton(parent, rectangle(e), released, pressed, highlight);
        return new PushButton(parent, position(e), released, pressed, highlight);
    }
    if (type == "CheckBox" || type == "RadioButton") {
        // The group exists once named, even for a button that is not built.
        RadioGroup* radioGroup =
            type == "RadioButton" ? group(text(e, "Group", "Default")) : nullptr;
        if (!placed)
            return nullptr;
        const auto* unchecked = image(e, "Unchecked");
        const auto* checked = image(e, "Checked");
        const auto* uncheckedPressed = image(e, "UncheckedPressed");
        const auto* checkedPressed = image(e, "CheckedPressed");
        if (type == "CheckBox") {
            if (sized)
                return new CheckBox(parent, rectangle(e), unchecked, checked, uncheckedPressed,
                                    checkedPressed);
            return new CheckBox(parent, position(e), unchecked, checked, uncheckedPressed,
                                checkedPressed);
        }
        const auto index = static_cast<unsigned>(integer(e, "Index"));
        if (sized)
            return new RadioButton(parent, rectangle(e), unchecked, checked, uncheckedPressed,
                                   checkedPressed, radioGroup, index);
        return new RadioButton(parent, position(e), unchecked, checked, uncheckedPressed,
                               checkedPressed, radioGroup, index);
    }
    if (type == "Knob") {
        if (!placed)
            return nullptr;
        const Graphics::Bitmap* strip = image(e, "Strip");
        const int frames = integer(e, "Frames");
        const int mouseRange = integer(e, "MouseRange", frames);
        std::vector<int> list;
        for (const std::string& frame : numbered(e, "Frame"))
            list.push_back(layout::parseInteger(frame.c_str()));
        Knob* widget = nullptr;
        if (!list.empty())
            widget = sized ? new Knob(parent, rectangle(e), strip, frames, list, mouseRange)
                           : new Knob(parent, position(e), strip, frames, list, mouseRange);
        else {
            const float minimum = real(e, "MinValue", 0.0f);
            const float maximum = real(e, "MaxValue", 1.0f);
            widget =
                sized ? new Knob(parent, rectangle(e), strip, frames, minimum, maximum, mouseRange)
                      : new Knob(parent, position(e), strip, frames, minimum, maximum, mouseRange);
        }
        widget->setColor(colour(e, 255, 255));
        return widget;
    }
    if (type == "Slider") {
        if (!placed)
            return nullptr;
        const auto* back = image(e, "Back");
        const auto* handle = image(e, "Handle");
        const float minimum = real(e, "MinValue", 0.0f);
        const float maximum = real(e, "MaxValue", 1.0f);
        const bool vertical = integer(e, "Vertical", 0) != 0;
        const bool smooth = integer(e, "Smooth", 1) != 0;
        if (sized)
            return new Slider(parent, rectangle(e), back, handle, minimum, maximum, vertical,
                              smooth);
        return new Slider(parent, position(e), back, handle, minimum, maximum, vertical, smooth);
    }
    if (type == "MultiStateButton") {
        if (!placed)
            return nullptr;
        std::vector<const Graphics::Bitmap*> images;
        for (const std::string& name : numbered(e, "Image")) {
            images.push_back(image(name));
        }
        if (sized)
            return new MultiStateButton(parent, rectangle(e), images);
        return new MultiStateButton(parent, position(e), images);
    }
    if (type == "Menu") {
        GUI::Widget* root = parent->getRoot();
        const Point at = parent->absolutePosition();
        const Point offset = position(e);
        auto* menu =
            new Menu(root, {at.x + offset.x, at.y + offset.y}, font(e, "Font"), colour(e, 255, 0));
        menus_.push_back(menu);
        return menu;
    }
    if (type == "DragIcon") {
        auto* widget = new DragIcon(parent, position(e), image(e, "Image"));
        if (sized)
            widget->setSize({integer(e, "SizeW"), integer(e, "SizeH")});
        if (has(e, "ActivePosX"))
            widget->setDragArea(activeRect(e));
        widget->setColor(colour(e, 255, 255));
        return widget;
    }
    if (type == "Window") {
        auto* widget = new Window(parent, position(e), {integer(e, "SizeW"), integer(e, "SizeH")});
        if (has(e, "ActivePosX"))
            widget->setDragArea(activeRect(e));
        return widget;
    }
    return nullptr;
}

void LayoutManager::applyCommon(const TiXmlElement& e, GUI::Widget* widget)
{
    if (has(e, "Visible") && integer(e, "Visible") == 0)
        widget->hide();
    if (has(e, "Enabled") && integer(e, "Enabled") == 0)
        widget->disable();
    if (has(e, "TopMost") && integer(e, "TopMost") == 1)
        widget->setTopMost(true);
    if (!text(e, "ActiveAreaImage").empty())
        widget->setActiveAreaImage(image(e, "ActiveAreaImage"));
    widget->setActiveThreshold(
        static_cast<std::uint8_t>(std::clamp(integer(e, "ActiveThreshold", 255), 0, 255)));
    const std::string name = text(e, "Name");
    if (!name.empty())
        names_[name] = widget;
}

const Graphics::Bitmap* LayoutManager::image(const TiXmlElement& element, const char* attribute)
{
    return image(text(element, attribute));
}

const Graphics::Bitmap* LayoutManager::image(const std::string& name)
{
    if (name.empty())
        return nullptr;
    const Graphics::Bitmap* picture = imageCache_.get(name);
    if (picture)
        images_.push_back(picture);
    return picture;
}

const Graphics::Font* LayoutManager::font(const TiXmlElement& element, const char* attribute)
{
    const std::string name = text(element, attribute);
    if (name.empty())
        return nullptr;
    const Graphics::Font* face = fontCache_.get(name);
    if (face)
        fonts_.push_back(face);
    return face;
}

RadioGroup* LayoutManager::group(const std::string& name)
{
    auto& slot = groups_[name];
    if (!slot)
        slot = std::make_unique<RadioGroup>();
    return slot.get();
}

void LayoutManager::forget(GUI::Widget* widget)
{
    widgets_.erase(std::remove(widgets_.begin(), widgets_.end(), widget), widgets_.end());
    menus_.erase(std::remove(menus_.begin(), menus_.end(), widget), menus_.end());
    for (auto entry = names_.begin(); entry != names_.end();)
        entry = entry->second == widget ? names_.erase(entry) : std::next(entry);
}

} // namespace Zq::Application::Widgets
