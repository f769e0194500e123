#include "ViewFixtures.h"

#include "plugin/docview/AdapterMenu.h"
#include "plugin/docview/UnitView.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace Zq::Application::DocView;

class CountedAdapter : public Adapter {
public:
    explicit CountedAdapter(int& deleted) : Adapter(nullptr), deleted_(deleted) {}
    ~CountedAdapter() override { ++deleted_; }

private:
    int& deleted_;
};

TEST(UnitViewTest, removeAdapterDeletesWhatItIsGivenHeldOrNot)
{
    int deleted = 0;
    UnitView view;
    auto* held = new CountedAdapter(deleted);
    view.addAdapter(std::unique_ptr<Adapter>(held));
    view.addAdapter(std::make_unique<CountedAdapter>(deleted));
    view.removeAdapter(held);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(view.getAdapters().size(), 1u);
    view.removeAdapter(new CountedAdapter(deleted)); // never held
    EXPECT_EQ(deleted, 2);
    view.removeAdapter(nullptr);
    view.addAdapter(nullptr);
    EXPECT_EQ(view.getAdapters().size(), 1u);
}

class TestMenu : public SelectionMenu {
public:
    bool getItemValue(int index, float& value) const override
    {
        if (index < 0 || index >= static_cast<int>(values.size()))
            return false;
        value = values[static_cast<std::size_t>(index)];
        return true;
    }
    std::vector<float> values = {0.0f, 3.0f, 5.0f};
};

TEST(UnitViewTest, aMenuSelectionSetsTheItemsValueUnlessDisabled)
{
    Parameter parameter;
    parameter.setRange(RangeInt(0, 5));
    TestMenu menu;
    AdapterMenu adapter(&parameter, &menu);
    int changes = 0;
    parameter.changed.connect([&](Parameter*) { ++changes; });

    menu.selected(&menu, 2);
    EXPECT_EQ(parameter.getValue(), 5.0f);
    EXPECT_EQ(changes, 1);
    menu.selected(&menu, 7); // no such item
    adapter.setDisabled(true);
    menu.selected(&menu, 1);
    EXPECT_EQ(parameter.getValue(), 5.0f);
}

} // namespace
