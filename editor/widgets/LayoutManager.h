#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/signals2/connection.hpp>

#include "editor/resources/PlugInResourceProvider.h"
#include "editor/widgets/Widget.h"

class TiXmlDocument;
class TiXmlElement;

namespace Zq::Application::Widgets {

class Menu;
class RadioGroup;

// Builds the widget tree one layout document describes below a parent widget,
// finds its widgets by name, and holds every image and font the tree draws
// with until it goes.
//
// Nothing in a document raises an error while it is built: unknown elements
// are skipped with their subtree, absent or unreadable numbers take their
// defaults, and images or fonts that cannot be had are null. A document whose
// first element is not `Layout` builds nothing. Only the lookups throw.
//
// Widgets may die before the layout (their parent closed first, or a panel
// closing one of them); the layout forgets each one as it goes, so neither a
// lookup nor the destructor reaches a dead widget.
class LayoutManager {
public:
    // Builds the whole tree at once. The document is only read.
    LayoutManager(const TiXmlDocument& document, GUI::Widget* parent, Res::ImageCache& images,
                  Res::FontCache& fonts);
    LayoutManager(const LayoutManager&) = delete;
    LayoutManager& operator=(const LayoutManager&) = delete;
    // Closes every top-level widget and menu, deletes the radio groups and
    // gives back every image and font, once for each lookup that found it.
    ~LayoutManager();

    // The widget entered under the name, as a T. Throws std::runtime_error
    // "Widget not found" (with `out` null) or "Wrong widget class".
    template <class T> void find(const std::string& name, T*& out)
    {
        const auto entry = names_.find(name);
        if (entry == names_.end()) {
            out = nullptr;
            throw std::runtime_error("Widget not found");
        }
        out = dynamic_cast<T*>(entry->second);
        if (!out)
            throw std::runtime_error("Wrong widget class");
    }

    // The layout's radio group of that name, or null.
    RadioGroup* getGroup(const std::string& name);

    const std::vector<GUI::Widget*>& getWidgets() const noexcept { return widgets_; }
    const std::vector<Menu*>& getMenus() const noexcept { return menus_; }

private:
    GUI::Widget* build(const TiXmlElement& element, GUI::Widget* parent);
    GUI::Widget* create(const TiXmlElement& element, const std::string& type, GUI::Widget* parent);
    void applyCommon(const TiXmlElement& element, GUI::Widget* widget);
    const Graphics::Bitmap* image(const TiXmlElement& element, const char* attribute);
    const Graphics::Bitmap* image(const std::string& name);
    const Graphics::Font* font(const TiXmlElement& element, const char* attribute);
    RadioGroup* group(const std::string& name);
    void forget(GUI::Widget* widget);

    GUI::Widget* parent_;
    std::vector<GUI::Widget*> widgets_;
    std::vector<Menu*> menus_;
    Res::ImageCache& imageCache_;
    Res::FontCache& fontCache_;
    std::map<std::string, GUI::Widget*> names_;
    std::map<std::string, std::unique_ptr<RadioGroup>> groups_;
    std::vector<const Graphics::Bitmap*> images_;
    std::vector<const Graphics::Font*> fonts_;
    std::vector<boost::signals2::scoped_connection> watches_;
};

namespace layout {

// The value forms of layout attributes, shared with their tests. An integer
// reads as the C atoi rule does (leading blanks, an optional sign, leading
// digits; anything else 0), except that a number beyond int's range clamps to
// it. A real reads as atof does in the C locale, whatever locale the host
// process set; a NaN reads 0.
int parseInteger(const char* text);
float parseReal(const char* text);

} // namespace layout

} // namespace Zq::Application::Widgets
