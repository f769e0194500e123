// A seeded random run of creations, moves, closes, deletions, captures and
// focus changes, inside and outside events: under AddressSanitizer no step
// may touch a freed widget, and the manager never points at a dead one.
#include <random>
#include <set>

#include "tests/editor/widgets/WidgetFixture.h"

using namespace test::widgets;

namespace {

// A probe that keeps the set of living widgets up to date and, during an
// event, does what the run tells it to.
class Living : public Probe {
public:
    Living(GUI::Widget* parent, const Rect& rect, std::set<GUI::Widget*>& alive,
           std::vector<std::string>& log)
        : Probe(parent, rect, "w", log, 0x404040), alive(alive)
    {
        alive.insert(this);
    }
    ~Living() override { alive.erase(this); }
    std::set<GUI::Widget*>& alive;
};

} // namespace

using WidgetLifetime = WidgetFixture;

TEST_F(WidgetLifetime, ARandomRunNeverTouchesAFreedWidget)
{
    std::mt19937 random(20261211);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::set<GUI::Widget*> alive;
    const auto any = [&]() -> GUI::Widget* {
        if (alive.empty())
            return root.get();
        auto it = alive.begin();
        std::advance(it, below(static_cast<int>(alive.size())));
        return *it;
    };
    // What a widget does inside an event: close itself or another, make a
    // child, take the focus or the capture, or nothing.
    std::function<void(GUI::Widget*)> act;
    const auto arm = [&](Living* w) {
        w->onUpDo = [&act, w] { act(w); };
        w->onMoveDo = [&act, w] { act(w); };
    };
    act = [&](GUI::Widget* self) {
        switch (below(6)) {
        case 0:
            self->close();
            break;
        case 1:
            any()->close();
            break;
        case 2:
            arm(new Living(self, {below(10), below(10), 1 + below(20), 1 + below(20)}, alive, log));
            break;
        case 3:
            self->setFocus();
            break;
        case 4:
            self->captureMouse();
            break;
        default:
            break;
        }
    };
    open();

    for (int step = 0; step < 3000; ++step) {
        GUI::Widget* target = any();
        switch (below(12)) {
        case 0:
        case 1:
            arm(new Living(target, {below(60), below(50), 1 + below(40), 1 + below(30)}, alive,
                           log));
            break;
        case 2:
            if (target != root.get())
                delete target;
            break;
        case 3:
            if (target != root.get())
                target->close(); // outside an event: deleted after the next one
            break;
        case 4:
            target->setPosition({below(80), below(60)});
            break;
        case 5:
            target->setFocus();
            break;
        case 6:
            target->captureMouse();
            break;
        case 7:
            if (below(2))
                target->hide();
            else
                target->show();
            break;
        case 8:
            native->mouseDown(below(kWidth), below(kHeight), 1, 0);
            native->mouseUp(below(kWidth), below(kHeight), 1, 1);
            break;
        case 9:
            native->mouseMove(below(kWidth), below(kHeight), 0);
            break;
        case 10:
            if (below(8) == 0) {
                close(); // the editor closes and opens again
                open();
            }
            break;
        default:
            target->bringToFront();
            break;
        }
        if (below(4) == 0)
            window->pump();
        log.clear();
        for (GUI::Widget* held : {manager->getFocus(), manager->getCapture(), manager->getHover()})
            ASSERT_TRUE(!held || held == root.get() || alive.count(held)) << "step " << step;
    }
    window->pump();
    // The whole tree goes with the root, and closed widgets with its manager.
    close();
    root.reset();
    EXPECT_TRUE(alive.empty());
}
