#include "hostfw/app/epiWindowManager.h"

#include "hostfw/app/epiApplication.h"
#include "hostfw/app/epiKeyboard.h"
#include "hostfw/app/epiMenu.h"
#include "hostfw/app/epiWindowApplication.h"
#include "hostfw/res/epiResources.h"

#include <algorithm>
#include <cstdio>

epiWindowManager::epiWindowManager() = default;

epiWindowManager::~epiWindowManager() = default;

epiApplication* epiWindowManager::application() const
{
    return dynamic_cast<epiApplication*>(getApplication());
}

double epiWindowManager::now() const
{
    epiApplication* app = application();
    return app ? app->getClockSeconds() : 0.0;
}

platform::EventPump& epiWindowManager::pump()
{
    epiApplication* app = application();
    if (app && app->getEventPump())
        return *app->getEventPump();
    if (!ownPump_)
        ownPump_ = std::make_unique<platform::HeadlessEventPump>();
    return *ownPump_;
}

bool epiWindowManager::init()
{
    const platform::ScreenSize screen = pump().screenSize();
    rect_.set(0, 0, screen.width, screen.height - 50);
    // The cursor resources of the original program do not exist here: every
    // slot stays empty and only the platform's arrow and wait cursors apply.
    cursors_.fill(nullptr);
    return epiUbo::init();
}

void epiWindowManager::exit()
{
    // Closing the windows must not count as the user closing the last one.
    const bool quitOnLast = quitOnLastWindow_;
    quitOnLastWindow_ = false;
    while (childCount() > 0) {
        epiUbo* window = childAt(childCount() - 1);
        window->exit();
        epiUbo::removeChild(window); // when its exit did not
    }
    quitOnLastWindow_ = quitOnLast;
    animated_.clear();
    tickRunning_ = false;
    epiUbo::exit();
}

void epiWindowManager::removeChild(epiUbo* child)
{
    const auto& windows = children();
    if (std::find(windows.begin(), windows.end(), child) == windows.end())
        return;
    epiUbo::removeChild(child);
    if (quitOnLastWindow_ && childCount() == 0)
        quit();
}

bool epiWindowManager::onCommand(epiFourCC code)
{
    epiUbo* foreground = getForegroundWindow();
    if (foreground && foreground->onCommand(code))
        return true;
    epiUbo* first = childAt(0);
    if (first && first != foreground && first->onCommand(code))
        return true;
    epiApplication* app = application();
    if (app && app->onCommand(code))
        return true;
    epiMenu* menu = app ? app->getMenu() : nullptr;
    return menu && menu->onCommand(code);
}

void epiWindowManager::runMessageLoop()
{
    beforeLoop();
    while (running_)
        runTurn();
    afterLoop();
}

void epiWindowManager::runTurn(bool accelerators)
{
    platform::EventPump& events = pump();
    platform::PumpEvent event;
    if (events.poll(event))
        dispatchEvent(event, accelerators);
    else
        events.wait(kIdleWaitSeconds);
    if (epiApplication* app = application())
        app->runTimedTasks();
    // By id: a hook may add or remove hooks while it runs.
    std::vector<int> ids;
    ids.reserve(turnHooks_.size());
    for (const TurnHook& hook : turnHooks_)
        ids.push_back(hook.id);
    for (int id : ids) {
        auto found = std::find_if(turnHooks_.begin(), turnHooks_.end(),
                                  [id](const TurnHook& hook) { return hook.id == id; });
        if (found == turnHooks_.end())
            continue;
        std::function<void()> hook = found->hook; // the hook may remove itself
        hook();
    }
}

void epiWindowManager::quit()
{
    pump().postQuit();
    running_ = false;
}

int epiWindowManager::addTurnHook(std::function<void()> hook)
{
    const int id = nextHookId_++;
    turnHooks_.push_back({id, std::move(hook)});
    return id;
}

void epiWindowManager::removeTurnHook(int id)
{
    turnHooks_.erase(std::remove_if(turnHooks_.begin(), turnHooks_.end(),
                                    [id](const TurnHook& hook) { return hook.id == id; }),
                     turnHooks_.end());
}

void epiWindowManager::dispatchEvent(const platform::PumpEvent& event, bool accelerators)
{
    using platform::PumpEventType;
    epiApplication* app = application();
    epiKeyboard* keys = app ? app->getKeyboard() : nullptr;
    switch (event.type) {
    case PumpEventType::Quit:
        // Only quit ends the loop.
        return;
    case PumpEventType::KeyPress:
    case PumpEventType::KeyRelease: {
        if (accelerators && event.type == PumpEventType::KeyPress) {
            epiMenu* menu = app ? app->getMenu() : nullptr;
            // The shortcut table is read again for every key: the menu may
            // have been rebuilt since the loop started.
            if (const int command =
                    menu ? menu->matchAccelerator(event.keysym, event.modifiers) : 0) {
                menu->onMenuCommand(command);
                return;
            }
        }
        epiUbo* target = findWindowByHandle(event.window);
        if (!target)
            target = getForegroundWindow();
        if (keys)
            keys->translateKey(event, target);
        return;
    }
    case PumpEventType::ButtonPress:
    case PumpEventType::ButtonRelease:
    case PumpEventType::Motion:
        if (keys)
            keys->setMouseState(event);
        pump().dispatch(event);
        return;
    case PumpEventType::Other:
        pump().dispatch(event);
        return;
    }
}

void epiWindowManager::nextWindowRect(epiRect& rect)
{
    rect.clear();
    rect.moveTo(cascade_.x, cascade_.y);
    cascade_.offset(32, 16);
    if (cascade_.x > 640)
        cascade_.set(64, 64);
}

std::string epiWindowManager::nextWindowClassName()
{
    char name[32];
    std::snprintf(name, sizeof name, "epiWndClass_%04d", windowClassCounter_++);
    return name;
}

epiUbo* epiWindowManager::getForegroundWindow() const
{
    epiApplication* app = application();
    platform::EventPump* events = app ? app->getEventPump() : ownPump_.get();
    if (events) {
        if (epiUbo* window = findWindowByHandle(events->foregroundWindow()))
            return window;
    }
    return childAt(0);
}

epiUbo* epiWindowManager::findWindowByHandle(void* handle) const
{
    if (!handle)
        return nullptr;
    for (epiUbo* window : children()) {
        if (window->nativeHandle() == handle)
            return window;
    }
    return nullptr;
}

epiUbo* epiWindowManager::openWindowFromLayoutResource(epiFourCC kind)
{
    auto* app = dynamic_cast<epiWindowApplication*>(getApplication());
    epiResources* source = app ? app->getResources() : nullptr;
    epiText name;
    if (!source || !source->findLayoutByCode(epiCode("laya"), kind, name))
        return nullptr;
    return app->openWindowFromLayout(name.getCStr());
}

epiUbo* epiWindowManager::openOrActivate(epiFourCC kind, const char* layoutName)
{
    if (epiUbo* open = findWindowByKind(kind)) {
        bringToFront(open);
        return open;
    }
    if (!layoutName)
        return openWindowFromLayoutResource(kind);
    auto* app = dynamic_cast<epiWindowApplication*>(getApplication());
    return app ? app->openWindowFromLayout(layoutName) : nullptr;
}

void epiWindowManager::closeWindowOfKind(epiFourCC kind)
{
    if (epiUbo* window = findWindowByKind(kind))
        window->close();
}

void epiWindowManager::bringToFront(epiUbo* window)
{
    const auto& windows = children();
    if (window && window->nativeHandle() &&
        std::find(windows.begin(), windows.end(), window) != windows.end())
        pump().setForegroundWindow(window->nativeHandle());
}

void epiWindowManager::enableOtherWindows(epiUbo* window, bool enable)
{
    for (epiUbo* other : children()) {
        if (other != window && other->nativeHandle())
            other->setWindowEnabled(enable);
    }
}

void epiWindowManager::setCursor(int index)
{
    if (index >= 0 && index < kCursorSlots) {
        if (!cursors_[static_cast<std::size_t>(index)])
            return;
        // A loaded cursor would be selected here; none is loaded.
        cursor_ = index;
    } else if (index == kArrowCursor) {
        pump().setCursor(platform::PumpCursor::Arrow);
        cursor_ = index;
    } else if (index == kWaitCursor) {
        pump().setCursor(platform::PumpCursor::Wait);
        cursor_ = index;
    }
}

void epiWindowManager::showCursor(int index)
{
    pump().showCursor(true);
    if (index != -1)
        setCursor(index);
}

void epiWindowManager::hideCursor()
{
    pump().showCursor(false);
}

bool epiWindowManager::addAnimated(epiUiTimered* object, bool restart)
{
    for (Animated& entry : animated_) {
        if (entry.object == object) {
            if (restart) {
                entry.start = now();
                entry.frames = 0;
            }
            return true;
        }
    }
    animated_.push_back({object, now(), 0});
    if (!tickRunning_) {
        tickRunning_ = true;
        addTimedTask(kAnimationPeriod, false, true);
    }
    return true;
}

void epiWindowManager::restartAnimated(epiUiTimered* object)
{
    for (Animated& entry : animated_) {
        if (entry.object == object) {
            entry.start = now();
            entry.frames = 0;
        }
    }
}

void epiWindowManager::removeAnimated(epiUiTimered* object)
{
    animated_.remove_if([object](const Animated& entry) { return entry.object == object; });
    if (animated_.empty() && tickRunning_) {
        tickRunning_ = false;
        removeTimedTask();
    }
}

bool epiWindowManager::isAnimated(const epiUiTimered* object) const
{
    return std::any_of(animated_.begin(), animated_.end(),
                       [object](const Animated& entry) { return entry.object == object; });
}

void epiWindowManager::onTimedTask()
{
    if (!tickRunning_)
        return;
    const double time = now();
    // Over a copy of the list, each object looked up again before its tick:
    // a tick may remove itself or any other animated object.
    std::vector<epiUiTimered*> objects;
    for (const Animated& entry : animated_)
        objects.push_back(entry.object);
    for (epiUiTimered* object : objects) {
        auto found =
            std::find_if(animated_.begin(), animated_.end(),
                         [object](const Animated& entry) { return entry.object == object; });
        if (found == animated_.end())
            continue;
        found->frames += 1;
        object->animationTick(time - found->start, found->frames);
    }
}
