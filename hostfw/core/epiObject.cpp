#include "hostfw/core/epiObject.h"

void epiObject::enableReferenceCount()
{
    if (refCount_ == kUncounted)
        refCount_ = 1;
}

std::int32_t epiObject::retain()
{
    if (refCount_ != kUncounted)
        ++refCount_;
    return refCount_;
}

std::int32_t epiObject::release()
{
    if (refCount_ == kUncounted)
        return refCount_;
    const std::int32_t before = refCount_--;
    if (before == 1) {
        destroySelf();
        return 0;
    }
    return before - 1;
}

void epiObject::destroySelf()
{
    delete this;
}

epiObject* epiObject::createObject(epiFourCC, epiFourCC, void*)
{
    return nullptr;
}
