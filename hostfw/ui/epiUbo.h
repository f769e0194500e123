#pragma once

#include "hostfw/core/epiApplicationObject.h"

#include <cstdint>
#include <vector>

class epiUbo;
class epiWindowManager;
class epiKeyboard;
class epiMenu;
class epiResources;

// Key registrations of one owner: other objects register for a four-character
// key and the owner broadcasts keys to them. A freed entry (key 0) is reused
// before the list grows.
class epiKeyRegistrations {
public:
    struct Entry {
        epiFourCC key = 0;
        epiUbo* listener = nullptr;
        std::intptr_t value = 0;
    };

    // Same key and listener: the value is updated.
    void registerKey(epiFourCC key, epiUbo* listener, std::intptr_t value);
    // Frees every entry of the key (and of that listener, unless null).
    void unregisterKey(epiFourCC key, epiUbo* listener);
    // Each listener of the key is retained around its notification, so that
    // a listener dropping its last reference in the call stays alive until
    // the call returns. Entries added during the broadcast are reached too.
    void broadcast(epiFourCC key, epiUbo* owner, void* argument);

    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

// The user-interface object: one node of the tree of windows and widgets,
// holding its children in drawing order (later children on top). This is the
// part of the object the application framework relies on - the tree, command
// and key delivery, key registrations and the animation tick; geometry,
// drawing, pointer routing and layouts build on it.
class epiUbo : public epiApplicationObject {
public:
    epiUbo() = default;
    ~epiUbo() override;

    epiFourCC getKind() const override { return epiCode("ubob"); }
    // Removes the object's timed tasks and takes it out of its parent.
    void exit() override;

    // Tree.
    virtual bool canHaveChildren() const { return false; }
    virtual bool acceptsParentKind(epiFourCC) const { return true; }
    // Appends the child, attaches it to this object's application and runs
    // its init when it had no application before.
    virtual bool addChild(epiUbo* child);
    // Erases the child and renumbers the children after it.
    virtual void removeChild(epiUbo* child);
    virtual void setIndex(int index) { index_ = index; }
    int getIndex() const { return index_; }
    int childCount() const { return static_cast<int>(children_.size()); }
    epiUbo* childAt(int index) const;
    epiUbo* findChild(epiFourCC id) const;
    epiUbo* getParent() const { return parent_; }
    const std::vector<epiUbo*>& children() const { return children_; }
    epiFourCC getId() const { return id_; }
    void setId(epiFourCC id) { id_ = id; }

    // Routing: true when handled.
    virtual bool onCommand(epiFourCC) { return false; }
    virtual bool onKeyDown(int) { return false; }
    virtual bool onKeyRepeat(int) { return false; }
    virtual bool onKeyUp(int) { return false; }
    // A broadcast of a key this object registered for.
    virtual void onMessage(epiFourCC, epiUbo*, void*) {}
    // Called by the window manager's animation tick with the seconds since
    // this object's animation started and the number of ticks so far.
    virtual void animationTick(double, int) {}
    // The native window behind the object; null for objects without one.
    virtual void* nativeHandle() const { return nullptr; }

    // Key registrations with this object.
    void registerListener(epiFourCC key, epiUbo* listener, std::intptr_t value)
    {
        registrations_.registerKey(key, listener, value);
    }
    void unregisterListener(epiFourCC key, epiUbo* listener)
    {
        registrations_.unregisterKey(key, listener);
    }
    void broadcast(epiFourCC key, void* argument) { registrations_.broadcast(key, this, argument); }
    const epiKeyRegistrations& registrations() const { return registrations_; }

    // The application's services; null without an application. Resources
    // are asked of the parent first.
    epiWindowManager* windowManager() const;
    epiKeyboard* keyboard() const;
    epiMenu* menus() const;
    virtual epiResources* resources() const;

private:
    epiUbo* parent_ = nullptr;
    int index_ = 0;
    epiFourCC id_ = 0;
    std::vector<epiUbo*> children_;
    epiKeyRegistrations registrations_;
};
