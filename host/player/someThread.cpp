#include "host/player/someThread.h"

#include <system_error>

namespace player {

someThread::~someThread()
{
    join();
}

bool someThread::start()
{
    if (thread_.joinable())
        return false;
    // The flag is raised here, before the thread exists, not by the new
    // thread: a stop or join requested right after start would otherwise be
    // overwritten by the thread's own late set, and run() would never end.
    keepRunning_.store(true, std::memory_order_release);
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        keepRunning_.store(false, std::memory_order_release);
        return false;
    }
    return true;
}

void someThread::runHere()
{
    keepRunning_.store(true, std::memory_order_release);
    run();
}

void someThread::join()
{
    requestStop();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

} // namespace player
