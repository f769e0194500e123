#pragma once

#include <boost/signals2/trackable.hpp>

#include <vector>

namespace Zq::Application::DocView {

class Adapter;

// A view of one unit of the document: the adapters that bind its parameters
// to the view's elements. The view owns its adapters and deletes them with
// itself.
class UnitView : public boost::signals2::trackable {
public:
    UnitView() = default;
    UnitView(const UnitView&) = delete;
    UnitView& operator=(const UnitView&) = delete;
    virtual ~UnitView();

    // The view owns the adapter from here on; null is ignored.
    void addAdapter(Adapter* adapter);
    // Removes every occurrence of the adapter and deletes it, also when the
    // list did not hold it: callers hand over only adapters that nobody else
    // owns. Null is ignored.
    void removeAdapter(Adapter* adapter);

    const std::vector<Adapter*>& getAdapters() const noexcept { return adapters_; }

private:
    std::vector<Adapter*> adapters_;
};

} // namespace Zq::Application::DocView
