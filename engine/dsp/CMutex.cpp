#include "engine/dsp/CMutex.h"

namespace utils {

void CMutex::lock()
{
    section_.lock();
    ++depth_;
}

void CMutex::unlock()
{
    --depth_;
    section_.unlock();
}

bool CMutex::tryLock()
{
    if (!section_.tryLock())
        return false;
    ++depth_;
    return true;
}

std::int32_t CMutex::releaseAll()
{
    const std::int32_t depth = depth_;
    if (depth < 1)
        return depth;
    // The count goes to 0 while the section is still held, so no other thread
    // ever sees it half way.
    depth_ = 0;
    for (std::int32_t i = 0; i < depth; ++i)
        section_.unlock();
    return depth;
}

void CMutex::reacquire(std::int32_t depth)
{
    for (std::int32_t i = 0; i < depth; ++i)
        section_.lock();
    if (depth > 0)
        depth_ += depth;
}

} // namespace utils
