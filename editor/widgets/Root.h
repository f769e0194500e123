#pragma once

#include <memory>

#include "editor/widgets/Widget.h"
#include "editor/widgets/WidgetManager.h"

namespace Zq::Application::Widgets {

namespace detail {
// Holds the manager in a base that is built before the widget and destroyed
// after it, so that the manager hears the whole tree go.
struct ManagerHolder {
    std::unique_ptr<GUI::WidgetManager> ownedManager = std::make_unique<GUI::WidgetManager>();
};
} // namespace detail

// The top of an editor's widget tree, at (0, 0), and owner of its manager.
class Root : private detail::ManagerHolder, public GUI::Widget {
public:
    explicit Root(const Point& size);
    ~Root() override;
};

} // namespace Zq::Application::Widgets
