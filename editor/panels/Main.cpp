#include "editor/panels/Main.h"

#include <chrono>
#include <stdexcept>

#include "editor/graphics/Window.h"
#include "editor/panels/AmpModule.h"
#include "editor/panels/CabModule.h"
#include "editor/panels/LowerPanel.h"
#include "editor/panels/StompModule.h"
#include "editor/panels/TunerModule.h"
#include "editor/panels/UpperPanel.h"
#include "editor/widgets/Root.h"
#include "editor/widgets/StaticText.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

namespace {

double steadySeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// A panel whose layout lacks a widget leaves its place empty; the editor goes
// on without it.
template <class Build> auto tryBuild(Build&& build) -> decltype(build())
{
    try {
        return build();
    } catch (const std::runtime_error&) {
        return nullptr;
    }
}

} // namespace

Main::Main(Application::Res::PlugInResourceProvider& provider, Document::Rig& document,
           Services services, PresetServices presets)
    : lock_(document.getLock()), provider_(provider), document_(document),
      services_(std::move(services)), root_(std::make_unique<Application::Widgets::Root>(
                                          Application::GUI::Widget::Point{kWidth, kHeight})),
      presetContext_{provider,
                     document,
                     root_.get(),
                     std::move(presets.presetPath),
                     presets.productKey.empty() ? "BorvanQom" : presets.productKey,
                     {}}
{
    // The automation worker fires the parameters the panels bind while they
    // are bound: the panels appear, and later go, under the document lock.
    platform::ScopedEnter guard(*lock_);
    if (!services_.clock)
        services_.clock = steadySeconds;
    if (services_.buildDate.empty())
        services_.buildDate = __DATE__;

    // Binders of value texts write somewhere even without a lower panel.
    fallbackText_ = new Application::Widgets::StaticText(root_.get(), {0, 0, 0, 0}, nullptr,
                                                         0xFF000000u, 0, 0, "");
    fallbackText_->hide();

    Application::GUI::WidgetManager* manager = root_->getManager();
    connections_.emplace_back(manager->eventBegun.connect([this] { ++eventDepth_; }));
    connections_.emplace_back(manager->eventEnded.connect([this] {
        // Nested events end inside an outer one, whose handlers may still run.
        if (--eventDepth_ == 0)
            deletePending();
    }));
    connections_.emplace_back(manager->timerTick.connect([this] { onTimer(); }));

    upper_ = tryBuild([this] { return std::make_unique<UpperPanel>(*this, root_.get()); });
    lower_ = tryBuild([this] { return std::make_unique<LowerPanel>(*this, root_.get()); });

    showModule(AmpId);

    connections_.emplace_back(
        document_.getAmpModule().ampModel.changed.connect([this](auto*) { onAmpModelChanged(); }));
    connections_.emplace_back(document_.getCabModule().cabinetModel.changed.connect(
        [this](auto*) { onCabinetModelChanged(); }));
    connections_.emplace_back(document_.beforeLoad.connect([this] {
        previous_ = current_;
        showModule(NoModule);
    }));
    connections_.emplace_back(document_.afterLoad.connect([this] { showModule(previous_); }));
}

Main::~Main()
{
    platform::ScopedEnter guard(*lock_);
    connections_.clear();
    if (window_)
        destroyWindow();
    deletePending();
    upper_.reset();
    lower_.reset();
    module_.reset();
    root_->getManager()->runPendingDeletions();
    root_.reset();
}

void Main::setPosition(std::int32_t x, std::int32_t y)
{
    x_ = x;
    y_ = y;
}

bool Main::setHostMouseEvents(bool hostDelivers)
{
    ownMouse_ = !hostDelivers;
    return ownMouse_;
}

bool Main::setHostKeyEvents(bool hostDelivers)
{
    ownKeys_ = !hostDelivers;
    return ownKeys_;
}

void Main::open(void* parent)
{
    if (window_)
        close();
    // The automation worker invalidates through the manager's window pointer
    // under the document lock: the window appears and goes under it too.
    platform::ScopedEnter guard(*lock_);
    window_ = std::make_unique<Application::Graphics::Window>(
        root_->getManager(), parent, Application::Graphics::BasicRect<int>{x_, y_, kWidth, kHeight},
        ownMouse_, ownKeys_, lock_);
    windowGone_ = false;
    messageBox_.emplace();
    // Only marked here: the window is in the middle of its own pump.
    window_->closed.connect([this](Application::Graphics::Window*) { windowGone_ = true; });
}

void Main::close()
{
    if (window_)
        destroyWindow();
}

void Main::destroyWindow()
{
    platform::ScopedEnter guard(*lock_);
    deletePending();
    messageBox_.reset();
    window_.reset();
    windowGone_ = false;
}

void Main::idle()
{
    if (!window_)
        return;
    if (windowGone_) {
        destroyWindow();
        return;
    }
    window_->pump();
}

void Main::invalidate(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    if (window_)
        window_->invalidate({x, y, width, height});
}

template <class Call> void Main::hostEvent(Call&& call)
{
    if (ownMouse_)
        return;
    platform::ScopedEnter guard(*lock_);
    Application::GUI::WidgetManager* manager = root_->getManager();
    manager->beginEvent();
    call(*manager);
    manager->endEvent();
}

void Main::onMouseDown(std::int32_t x, std::int32_t y, std::int32_t button, std::int32_t modifiers)
{
    hostEvent([&](auto& manager) { manager.mouseDown({x, y}, button, modifiers); });
}

void Main::onMouseUp(std::int32_t x, std::int32_t y, std::int32_t button, std::int32_t modifiers)
{
    hostEvent([&](auto& manager) { manager.mouseUp({x, y}, button, modifiers); });
}

void Main::onMouseMove(std::int32_t x, std::int32_t y, std::int32_t modifiers)
{
    hostEvent([&](auto& manager) { manager.mouseMove({x, y}, modifiers); });
}

bool Main::onKey(std::int32_t key, std::int32_t character, std::int32_t modifiers)
{
    if (ownKeys_)
        return false;
    platform::ScopedEnter guard(*lock_);
    Application::GUI::WidgetManager* manager = root_->getManager();
    if (!manager->getFocus())
        return false;
    manager->beginEvent();
    manager->key(static_cast<Application::Graphics::KeyboardButtons>(key),
                 static_cast<char>(character), modifiers);
    manager->endEvent();
    return true;
}

std::unique_ptr<Panel> Main::buildModule(int moduleId)
{
    switch (moduleId) {
    case TunerId:
        return tryBuild([this]() -> std::unique_ptr<Panel> {
            return std::make_unique<TunerModule>(*this, root_.get());
        });
    case StompId:
        return tryBuild([this]() -> std::unique_ptr<Panel> {
            return std::make_unique<StompModule>(*this, root_.get());
        });
    case AmpId:
        return tryBuild([this]() -> std::unique_ptr<Panel> {
            return std::make_unique<AmpModule>(*this, root_.get());
        });
    case CabId:
        return tryBuild([this]() -> std::unique_ptr<Panel> {
            return std::make_unique<CabModule>(*this, root_.get());
        });
    default:
        return nullptr;
    }
}

void Main::showModule(int moduleId)
{
    // Binds and unbinds adapters: under the lock, wherever the request comes from.
    platform::ScopedEnter guard(*lock_);
    if (moduleId == current_)
        return;
    if (module_)
        deleteLater(std::move(module_));
    current_ = moduleId;
    module_ = buildModule(moduleId);
    moduleChanged(current_);
}

void Main::onAmpModelChanged()
{
    if (current_ != AmpId)
        return;
    if (module_)
        deleteLater(std::move(module_));
    module_ = buildModule(AmpId);
}

void Main::onCabinetModelChanged()
{
    if (current_ != CabId)
        return;
    std::unique_ptr<Panel> next = buildModule(CabId);
    std::unique_ptr<Panel> old = std::move(module_);
    module_ = std::move(next);
    if (old)
        deleteLater(std::move(old));
    // The new panel's handler was connected during this very change and does
    // not hear it; the cabinet's tweeter rule must still follow it.
    if (auto* cab = dynamic_cast<CabModule*>(module_.get()))
        cab->applyHighLevelRule();
}

Application::Widgets::StaticText* Main::getSelectedValueText() const
{
    return lower_ ? lower_->getSelectedValueText() : fallbackText_;
}

void Main::deleteLater(std::unique_ptr<Panel> panel)
{
    if (!panel)
        return;
    panel->makeInert();
    if (eventDepth_ > 0) {
        pending_.push_back(std::move(panel));
        return;
    }
    panel.reset();
    root_->getManager()->runPendingDeletions();
}

void Main::deletePending()
{
    // Deleting a panel may queue others; they go in the next pass.
    while (!pending_.empty()) {
        std::vector<std::unique_ptr<Panel>> batch;
        batch.swap(pending_);
        batch.clear();
    }
}

double Main::now() const
{
    return services_.clock();
}

void Main::onTimer()
{
    if (lower_)
        lower_->update();
    if (module_)
        module_->update();
}

} // namespace Zq::BorvanRAZ::GUI
