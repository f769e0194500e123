// Push buttons, check boxes, radio buttons and groups, multi-state buttons:
// the signals in the order they fire, and the image each state shows.
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/MultiStateButton.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/RadioButton.h"
#include "editor/widgets/RadioGroup.h"
#include "tests/editor/widgets/WidgetFixture.h"

using namespace test::widgets;

namespace {

constexpr std::uint32_t kReleased = 0x101010, kPressed = 0x202080, kLit = 0x30C030;
constexpr std::uint32_t kStateColours[] = {0xA00000, 0x00A000, 0x0000A0};

} // namespace

class ButtonsTest : public WidgetFixture {
protected:
    // Writes a button's signals into the log as "name:signal".
    void record(Widgets::AbstractButton* b, const std::string& name)
    {
        b->pressed.connect(
            [this, name](Widgets::AbstractButton*) { log.push_back(name + ":pressed"); });
        b->released.connect(
            [this, name](Widgets::AbstractButton*) { log.push_back(name + ":released"); });
        b->clicked.connect([this, name](Widgets::AbstractButton*, const Point& p) {
            log.push_back(name + ":clicked " + std::to_string(p.x) + "," + std::to_string(p.y));
        });
        if (auto* box = dynamic_cast<Widgets::CheckBox*>(b))
            box->toggled.connect([this, name](Widgets::CheckBox*, bool on) {
                log.push_back(name + ":toggled " + (on ? "1" : "0"));
            });
        if (auto* multi = dynamic_cast<Widgets::MultiStateButton*>(b))
            multi->stateChanged.connect([this, name](Widgets::MultiStateButton*, int state) {
                log.push_back(name + ":state " + std::to_string(state));
            });
    }
    std::string press(int x, int y, int button = 1)
    {
        native->mouseDown(x, y, button, button);
        window->pump();
        return take();
    }
    std::string release(int x, int y, int button = 1)
    {
        native->mouseUp(x, y, button, 0);
        window->pump();
        return take();
    }
    std::string move(int x, int y)
    {
        native->mouseMove(x, y, 1);
        window->pump();
        return take();
    }

    std::unique_ptr<Graphics::Bitmap> releasedImage = solid(10, 10, kReleased);
    std::unique_ptr<Graphics::Bitmap> pressedImage = solid(10, 10, kPressed);
    std::unique_ptr<Graphics::Bitmap> litImage = solid(10, 10, kLit);
    std::unique_ptr<Graphics::Bitmap> stateImages[3] = {solid(10, 10, kStateColours[0]),
                                                        solid(10, 10, kStateColours[1]),
                                                        solid(10, 10, kStateColours[2])};
};

TEST_F(ButtonsTest, APressDraggedOutAndReleasedOutsideIsNoClick)
{
    auto* push = new Widgets::PushButton(root.get(), Point{10, 10}, releasedImage.get(),
                                         pressedImage.get(), nullptr);
    auto* box = new Widgets::CheckBox(root.get(), Point{40, 10}, releasedImage.get(),
                                      litImage.get(), pressedImage.get(), pressedImage.get());
    record(push, "push");
    record(box, "box");
    open();
    repaintAll();

    EXPECT_EQ(press(12, 12, Graphics::RightButton), "");
    EXPECT_EQ(release(12, 12, Graphics::RightButton), "");
    EXPECT_FALSE(push->hasCapture());

    EXPECT_EQ(move(12, 12), ""); // the pointer comes onto the button first
    EXPECT_EQ(press(12, 12), "push:pressed");
    EXPECT_EQ(pixel(12, 12), kPressed);
    EXPECT_EQ(move(30, 30), "push:released");
    EXPECT_EQ(pixel(12, 12), kReleased);
    EXPECT_EQ(move(13, 13), "push:pressed"); // back in: pressed again
    EXPECT_EQ(pixel(12, 12), kPressed);
    EXPECT_EQ(move(30, 30), "push:released");
    EXPECT_EQ(release(30, 30), "");
    EXPECT_FALSE(push->hasCapture());

    // A completed click, with the point relative to the button.
    EXPECT_EQ(press(12, 12), "push:pressed");
    EXPECT_EQ(release(13, 14), "push:released|push:clicked 3,4");

    // A check box keeps its state on a release outside.
    EXPECT_EQ(move(42, 12), "");
    EXPECT_EQ(press(42, 12), "box:pressed");
    EXPECT_EQ(move(60, 12), "box:released");
    EXPECT_EQ(release(60, 12), "");
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(press(42, 12), "box:pressed");
    EXPECT_EQ(release(42, 12), "box:released|box:clicked 2,2|box:toggled 1");
    EXPECT_EQ(pixel(42, 12), kLit);
    box->setChecked(true);
    EXPECT_EQ(take(), "");
}

TEST_F(ButtonsTest, OnlyAPushButtonWithAHighlightImageLightsUnderThePointer)
{
    auto* lit = new Widgets::PushButton(root.get(), Point{10, 10}, releasedImage.get(),
                                        pressedImage.get(), litImage.get());
    auto* plain = new Widgets::PushButton(root.get(), Point{40, 10}, releasedImage.get(),
                                          pressedImage.get(), nullptr);
    open();
    native->mouseMove(12, 12, 0);
    window->pump();
    repaintAll();
    EXPECT_TRUE(lit->isHighlighted());
    EXPECT_EQ(pixel(12, 12), kLit);
    native->mouseMove(42, 12, 0);
    window->pump();
    repaintAll();
    EXPECT_FALSE(lit->isHighlighted());
    EXPECT_EQ(pixel(12, 12), kReleased);
    EXPECT_FALSE(plain->isHighlighted());
    EXPECT_EQ(pixel(42, 12), kReleased);
}

TEST_F(ButtonsTest, ARadioGroupKeepsOneButtonCheckedInTheOrderOfTheClick)
{
    Widgets::RadioGroup group;
    auto* a =
        new Widgets::RadioButton(root.get(), Point{10, 10}, releasedImage.get(), litImage.get(),
                                 pressedImage.get(), pressedImage.get(), &group, 0);
    auto* b =
        new Widgets::RadioButton(root.get(), Point{30, 10}, releasedImage.get(), litImage.get(),
                                 pressedImage.get(), pressedImage.get(), &group, 1);
    record(a, "A");
    record(b, "B");
    group.selectionChanged.connect([this](Widgets::RadioGroup*, Widgets::RadioButton* r) {
        log.push_back("group:selection " + std::to_string(r->getIndex()));
    });
    open();

    EXPECT_EQ(press(12, 12), "A:pressed");
    EXPECT_EQ(release(12, 12), "A:released|A:clicked 2,2|group:selection 0|A:toggled 1");
    EXPECT_EQ(group.getCurrent(), a);

    // The group switches A off inside B's toggled(true), before the
    // listeners connected after it hear B.
    EXPECT_EQ(press(32, 12), "B:pressed");
    EXPECT_EQ(release(32, 12),
              "B:released|B:clicked 2,2|A:toggled 0|group:selection 1|B:toggled 1");
    EXPECT_EQ(group.getCurrent(), b);
    repaintAll();
    EXPECT_EQ(pixel(12, 12), kReleased);
    EXPECT_EQ(pixel(32, 12), kLit);

    // A click on the current one: only its pressed.
    EXPECT_EQ(press(32, 12), "B:pressed");
    EXPECT_EQ(release(32, 12), "");
    EXPECT_TRUE(b->isChecked());

    // Switched off from outside: no current button, no selection.
    b->setChecked(false);
    EXPECT_EQ(take(), "B:toggled 0");
    EXPECT_EQ(group.getCurrent(), nullptr);
    a->setChecked(true);
    EXPECT_EQ(take(), "group:selection 0|A:toggled 1");
}

TEST_F(ButtonsTest, GroupsAndButtonsMayDieInEitherOrder)
{
    const auto make = [&](Widgets::RadioGroup* group, unsigned index) {
        return new Widgets::RadioButton(root.get(), Point{10 + 20 * static_cast<int>(index), 10},
                                        releasedImage.get(), litImage.get(), pressedImage.get(),
                                        pressedImage.get(), group, index);
    };
    {
        auto group = std::make_unique<Widgets::RadioGroup>();
        auto* a = make(group.get(), 0);
        auto* b = make(group.get(), 1);
        a->setChecked(true);
        group.reset();
        EXPECT_EQ(a->getGroup(), nullptr);
        b->setChecked(true); // no group to reach
        EXPECT_TRUE(a->isChecked());
        delete a;
        delete b;
    }
    {
        auto group = std::make_unique<Widgets::RadioGroup>();
        auto* a = make(group.get(), 0);
        auto* b = make(group.get(), 1);
        b->setChecked(true);
        delete b;
        EXPECT_EQ(group->getCurrent(), nullptr);
        a->setChecked(true);
        EXPECT_EQ(group->getCurrent(), a);
        delete a;
        EXPECT_EQ(group->getCurrent(), nullptr);
    }
}

TEST_F(ButtonsTest, AMultiStateButtonPreviewsTheNextStateWhilePressed)
{
    auto* multi = new Widgets::MultiStateButton(
        root.get(), Point{10, 10},
        {stateImages[0].get(), stateImages[1].get(), stateImages[2].get()});
    auto* empty = new Widgets::MultiStateButton(root.get(), Rect{40, 10, 10, 10}, {});
    record(multi, "m");
    record(empty, "e");
    open();

    multi->setState(2);
    multi->setState(2);
    multi->setState(3);
    multi->setState(-1);
    EXPECT_EQ(take(), "m:state 2");
    EXPECT_EQ(press(12, 12), "m:pressed");
    EXPECT_EQ(pixel(12, 12), kStateColours[0]);
    EXPECT_EQ(release(12, 12), "m:released|m:clicked 2,2|m:state 0");
    EXPECT_EQ(multi->getState(), 0);
    EXPECT_EQ(pixel(12, 12), kStateColours[0]);
    EXPECT_EQ(press(12, 12), "m:pressed");
    EXPECT_EQ(pixel(12, 12), kStateColours[1]);

    // Without images: state 0 for good, nothing drawn.
    release(0, 0);
    empty->setState(0);
    empty->setState(1);
    EXPECT_EQ(press(42, 12), "e:pressed");
    EXPECT_EQ(release(42, 12), "e:released|e:clicked 2,2");
    EXPECT_EQ(empty->getState(), 0);
    repaintAll();
    EXPECT_EQ(pixel(42, 12), kBackground);
}
