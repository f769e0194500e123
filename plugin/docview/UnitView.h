#pragma once

#include <boost/signals2/trackable.hpp>

#include <memory>
#include <vector>

namespace Zq::Application::DocView {

class Adapter;

// A view of one unit of the document: the adapters that bind its parameters
// to the view's elements. The view owns its adapters.
class UnitView : public boost::signals2::trackable {
public:
    UnitView() = default;
    UnitView(const UnitView&) = delete;
    UnitView& operator=(const UnitView&) = delete;
    virtual ~UnitView();

    // The view owns the adapter from here on; null is ignored.
    void addAdapter(std::unique_ptr<Adapter> adapter);
    // Removes the adapter and deletes it, also when the list did not hold it:
    // callers hand over only adapters that nobody else owns. Null is ignored.
    void removeAdapter(Adapter* adapter);
    // Deletes every adapter: the view binds nothing any more.
    void clearAdapters() noexcept { adapters_.clear(); }

    const std::vector<std::unique_ptr<Adapter>>& getAdapters() const noexcept { return adapters_; }

private:
    std::vector<std::unique_ptr<Adapter>> adapters_;
};

} // namespace Zq::Application::DocView
