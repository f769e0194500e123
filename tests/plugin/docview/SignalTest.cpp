// The change signal's properties that the document and its views rely on.
#include "plugin/docview/Parameter.h"
#include "tests/support/MallocDeletes.h"

#include <boost/bind/bind.hpp>
#include <boost/signals2/trackable.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

using namespace Zq::Application::DocView;

namespace {

// Counts this thread's allocations while armed.
thread_local bool countAllocations = false;
std::atomic<int> allocations{0};

void* allocate(std::size_t size)
{
    if (countAllocations)
        ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
}

namespace {

struct Calls {
    std::vector<int> order;
    auto slot(int id)
    {
        return [this, id](Parameter*) { order.push_back(id); };
    }
};

// A view that is disconnected by its death, as adapters are.
struct TrackedView : boost::signals2::trackable {
    explicit TrackedView(int& calls) : calls(calls) {}
    void update(Parameter*) { ++calls; }
    int& calls;
};

// A view that holds its connection instead.
struct ScopedView {
    ScopedView(Parameter& p, int& calls)
        : connection(p.changed.connect([&calls](Parameter*) { ++calls; }))
    {
    }
    boost::signals2::scoped_connection connection;
};

} // namespace

TEST(ChangeSignal, CallsSlotsInConnectionOrder)
{
    Parameter p;
    Calls calls;
    for (int id : {1, 2, 3, 4})
        p.changed.connect(calls.slot(id));
    p.notifyChanged();
    EXPECT_EQ(calls.order, (std::vector<int>{1, 2, 3, 4}));
}

TEST(ChangeSignal, ASlotMayDisconnectItselfAndTheNextWhileFiring)
{
    Parameter p;
    Calls calls;
    boost::signals2::connection self, next;
    self = p.changed.connect([&](Parameter*) {
        calls.order.push_back(1);
        self.disconnect();
        next.disconnect();
    });
    next = p.changed.connect(calls.slot(2));
    p.changed.connect(calls.slot(3));

    p.notifyChanged();
    EXPECT_EQ(calls.order, (std::vector<int>{1, 3}));
    p.notifyChanged();
    EXPECT_EQ(calls.order, (std::vector<int>{1, 3, 3}));
}

TEST(ChangeSignal, ASlotConnectedWhileFiringIsCalledFromTheNextChangeOn)
{
    Parameter p;
    Calls calls;
    bool connected = false;
    p.changed.connect([&](Parameter* changed) {
        calls.order.push_back(1);
        if (!connected) {
            connected = true;
            changed->changed.connect(calls.slot(2));
        }
    });
    p.notifyChanged();
    EXPECT_EQ(calls.order, (std::vector<int>{1}));
    p.notifyChanged();
    EXPECT_EQ(calls.order, (std::vector<int>{1, 1, 2}));
}

TEST(ChangeSignal, ADestroyedViewIsNeverCalled)
{
    Parameter p;
    int trackedCalls = 0, scopedCalls = 0;
    auto tracked = std::make_unique<TrackedView>(trackedCalls);
    auto scoped = std::make_unique<ScopedView>(p, scopedCalls);
    p.changed.connect(boost::bind(&TrackedView::update, tracked.get(), boost::placeholders::_1));

    p.notifyChanged();
    EXPECT_EQ(trackedCalls, 1);
    EXPECT_EQ(scopedCalls, 1);

    tracked.reset();
    scoped.reset();
    p.notifyChanged();
    EXPECT_EQ(trackedCalls, 1);
    EXPECT_EQ(scopedCalls, 1);
    EXPECT_EQ(p.changed.num_slots(), 0u);
}

TEST(ChangeSignal, AConnectionMayBeReleasedAfterItsSignalDied)
{
    int calls = 0;
    auto view = std::make_unique<ScopedView>(*std::make_unique<Parameter>(), calls);
    EXPECT_FALSE(view->connection.connected());
    view.reset();

    boost::signals2::connection plain;
    {
        Parameter p;
        plain = p.changed.connect([](Parameter*) {});
    }
    plain.disconnect();
    EXPECT_FALSE(plain.connected());
}

TEST(ChangeSignal, FiringAllocatesNothing)
{
    Parameter p;
    p.setRange(RangeFloat(0.0f, 10.0f));
    int calls = 0;
    TrackedView tracked(calls);
    p.changed.connect([&calls](Parameter*) { ++calls; });
    p.changed.connect(boost::bind(&TrackedView::update, &tracked, boost::placeholders::_1));
    ScopedView scoped(p, calls);

    allocations = 0;
    countAllocations = true;
    p.setValue(1.0f, true);
    p.setValue(2.0f, true);
    p.notifyChanged();
    countAllocations = false;

    EXPECT_EQ(calls, 9);
    EXPECT_EQ(allocations.load(), 0);
}
