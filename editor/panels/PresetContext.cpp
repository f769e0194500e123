#include "editor/panels/PresetContext.h"

#include <utility>

#include "editor/graphics/Painter.h"
#include "editor/widgets/Widget.h"

namespace Zq::BorvanRAZ::GUI {

namespace {

using Application::GUI::Widget;

// Runs its task when it is deleted.
class TaskCarrier : public Widget {
public:
    TaskCarrier(Widget* parent, std::function<void()> task)
        : Widget(parent, {0, 0, 0, 0}), task_(std::move(task))
    {
        hide();
    }
    ~TaskCarrier() override
    {
        if (task_)
            task_();
    }

private:
    std::function<void()> task_;
};

constexpr std::uint32_t kBackdrop = 0xA0000000u;

} // namespace

void PresetContext::later(std::function<void()> task) const
{
    if (deleteLater) {
        deleteLater(std::move(task));
        return;
    }
    if (!rootWidget) {
        task();
        return;
    }
    (new TaskCarrier(rootWidget, std::move(task)))->close();
}

void coverWithBackdrop(Widget* panelRoot, Widget* box)
{
    Widget* parent = panelRoot->getParent();
    if (!parent)
        return;
    const Widget::Point size = parent->getSize();
    panelRoot->setRect({0, 0, size.x, size.y});
    panelRoot->setTopMost(true);
    panelRoot->bringToFront();
    panelRoot->callbacks().paint.connect(
        [](Widget*, Application::Graphics::Painter* painter, const Widget::Rect& dirty) {
            painter->fillRect(kBackdrop, dirty);
        });
    if (box) {
        const Widget::Point boxSize = box->getSize();
        box->setPosition({(size.x - boxSize.x) / 2, (size.y - boxSize.y) / 2});
    }
}

} // namespace Zq::BorvanRAZ::GUI
