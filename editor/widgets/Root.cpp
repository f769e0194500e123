#include "editor/widgets/Root.h"

namespace Zq::Application::Widgets {

Root::Root(const Point& size) : Widget(nullptr, {0, 0, size.x, size.y}, ownedManager.get())
{
    ownedManager->setRoot(this);
}

Root::~Root() = default;

} // namespace Zq::Application::Widgets
