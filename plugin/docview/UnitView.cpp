#include "plugin/docview/UnitView.h"

#include "plugin/docview/Adapter.h"

#include <algorithm>

namespace Zq::Application::DocView {

UnitView::~UnitView()
{
    for (Adapter* adapter : adapters_)
        delete adapter;
}

void UnitView::addAdapter(Adapter* adapter)
{
    if (adapter)
        adapters_.push_back(adapter);
}

void UnitView::removeAdapter(Adapter* adapter)
{
    if (!adapter)
        return;
    adapters_.erase(std::remove(adapters_.begin(), adapters_.end(), adapter), adapters_.end());
    delete adapter;
}

} // namespace Zq::Application::DocView
