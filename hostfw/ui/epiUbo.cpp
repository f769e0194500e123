#include "hostfw/ui/epiUbo.h"

#include "hostfw/app/epiApplication.h"

#include <algorithm>

void epiKeyRegistrations::registerKey(epiFourCC key, epiUbo* listener, std::intptr_t value)
{
    for (Entry& entry : entries_) {
        if (entry.key == key && entry.listener == listener) {
            entry.value = value;
            return;
        }
    }
    for (Entry& entry : entries_) {
        if (entry.key == 0) {
            entry = {key, listener, value};
            return;
        }
    }
    entries_.push_back({key, listener, value});
}

void epiKeyRegistrations::unregisterKey(epiFourCC key, epiUbo* listener)
{
    for (Entry& entry : entries_) {
        if (entry.key == key && (!listener || entry.listener == listener))
            entry = {};
    }
}

void epiKeyRegistrations::broadcast(epiFourCC key, epiUbo* owner, void* argument)
{
    if (key == 0)
        return;
    // By index: a listener may register others while it is notified.
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].key != key)
            continue;
        epiUbo* listener = entries_[i].listener;
        listener->retain();
        listener->onMessage(key, owner, argument);
        listener->release();
    }
}

epiUbo::~epiUbo()
{
    // A child deleted before its parent leaves no dangling entry behind.
    if (parent_)
        parent_->removeChild(this);
    for (epiUbo* child : children_) {
        if (child->parent_ == this)
            child->parent_ = nullptr;
    }
}

void epiUbo::exit()
{
    epiApplicationObject::exit();
    if (parent_)
        parent_->removeChild(this);
}

bool epiUbo::addChild(epiUbo* child)
{
    if (!canHaveChildren() || !child || !child->acceptsParentKind(getKind()))
        return false;
    if (std::find(children_.begin(), children_.end(), child) != children_.end())
        return false;
    const bool hadApplication = child->getApplication() != nullptr;
    children_.push_back(child);
    child->attach(getApplication());
    child->parent_ = this;
    child->setIndex(childCount() - 1);
    if (!hadApplication)
        child->init();
    return true;
}

void epiUbo::removeChild(epiUbo* child)
{
    auto found = std::find(children_.begin(), children_.end(), child);
    if (found == children_.end())
        return;
    const int from = static_cast<int>(found - children_.begin());
    children_.erase(found);
    for (int i = from; i < childCount(); ++i)
        children_[static_cast<std::size_t>(i)]->setIndex(i);
}

epiUbo* epiUbo::childAt(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    return children_[static_cast<std::size_t>(index)];
}

epiUbo* epiUbo::findChild(epiFourCC id) const
{
    for (epiUbo* child : children_) {
        if (child->getId() == id)
            return child;
    }
    return nullptr;
}

namespace {
epiApplication* applicationOf(const epiApplicationObject& object)
{
    return dynamic_cast<epiApplication*>(object.getApplication());
}
} // namespace

epiWindowManager* epiUbo::windowManager() const
{
    epiApplication* app = applicationOf(*this);
    return app ? app->getWindowManager() : nullptr;
}

epiKeyboard* epiUbo::keyboard() const
{
    epiApplication* app = applicationOf(*this);
    return app ? app->getKeyboard() : nullptr;
}

epiMenu* epiUbo::menus() const
{
    epiApplication* app = applicationOf(*this);
    return app ? app->getMenu() : nullptr;
}

epiResources* epiUbo::resources() const
{
    if (parent_)
        return parent_->resources();
    epiApplication* app = applicationOf(*this);
    return app ? app->getResources() : nullptr;
}
