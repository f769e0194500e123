#pragma once

#include "hostfw/core/epiObject.h"
#include "hostfw/core/epiText.h"

#include <list>

// An owning list of objects in insertion order: clearing or destroying the
// list deletes its elements.
class epiObjectsList : public epiObject {
public:
    epiObjectsList() = default;
    epiObjectsList(const epiObjectsList&) = delete;
    epiObjectsList& operator=(const epiObjectsList&) = delete;
    ~epiObjectsList() override { clear(); }

    void clear();
    // Takes ownership of the object.
    void appendObject(epiObject* object) { elements_.push_back(object); }
    std::size_t getCount() const { return elements_.size(); }
    const std::list<epiObject*>& elements() const { return elements_; }

private:
    std::list<epiObject*> elements_;
};

// The same list holding texts only.
class epiTextsList : public epiObjectsList {
public:
    void append(const epiText& text) { appendObject(new epiText(text)); }
    void appendCString(const char* text) { appendObject(new epiText(text)); }
    void appendInteger(long value);
    // A copy of every text of the other list, in order; copying a list onto
    // itself keeps it as it is.
    void assignFrom(const epiTextsList& other);
    // The position of the first text equal ignoring ASCII case, or -1.
    int indexOf(const epiText& text) const;
    // The text at a position, or null.
    const epiText* at(std::size_t index) const;

private:
    // Only texts go in: the list reads every element as one.
    using epiObjectsList::appendObject;
};
