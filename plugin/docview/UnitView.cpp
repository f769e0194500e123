#include "plugin/docview/UnitView.h"

#include "plugin/docview/Adapter.h"

#include <algorithm>

namespace Zq::Application::DocView {

UnitView::~UnitView() = default;

void UnitView::addAdapter(std::unique_ptr<Adapter> adapter)
{
    if (adapter)
        adapters_.push_back(std::move(adapter));
}

void UnitView::removeAdapter(Adapter* adapter)
{
    if (!adapter)
        return;
    const auto held = std::find_if(adapters_.begin(), adapters_.end(),
                                   [adapter](const auto& a) { return a.get() == adapter; });
    if (held != adapters_.end())
        adapters_.erase(held);
    else
        delete adapter;
}

} // namespace Zq::Application::DocView
