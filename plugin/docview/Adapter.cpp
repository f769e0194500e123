#include "plugin/docview/Adapter.h"

namespace Zq::Application::DocView {

Adapter::~Adapter() = default;

void Adapter::update()
{
}

} // namespace Zq::Application::DocView
