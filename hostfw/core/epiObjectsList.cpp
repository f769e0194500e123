#include "hostfw/core/epiObjectsList.h"

#include <vector>

void epiObjectsList::clear()
{
    std::list<epiObject*> doomed;
    doomed.swap(elements_);
    for (epiObject* object : doomed)
        delete object;
}

void epiTextsList::appendInteger(long value)
{
    auto* text = new epiText;
    text->assignLong(value);
    appendObject(text);
}

void epiTextsList::assignFrom(const epiTextsList& other)
{
    if (&other == this)
        return;
    clear();
    for (const epiObject* object : other.elements())
        append(*static_cast<const epiText*>(object));
}

int epiTextsList::indexOf(const epiText& text) const
{
    int index = 0;
    for (const epiObject* object : elements()) {
        if (static_cast<const epiText*>(object)->equalsIgnoreCase(&text))
            return index;
        ++index;
    }
    return -1;
}

const epiText* epiTextsList::at(std::size_t index) const
{
    for (const epiObject* object : elements())
        if (index-- == 0)
            return static_cast<const epiText*>(object);
    return nullptr;
}
