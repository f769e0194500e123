#include "editor/resources/Shell.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/MessageBox.h"

extern char** environ;

namespace Zq::Application::Utils {

namespace {

// The first executable xdg-open along the PATH. Empty elements are skipped:
// the current folder is no place to look for a desktop command.
std::string findOnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    if (!path)
        return {};
    const std::string list = path;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start) {
            const std::string candidate = list.substr(start, end - start) + "/" + program;
            if (::access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        start = end + 1;
    }
    return {};
}

// Each started child is waited for on a thread of its own, so the caller
// returns at once and no zombie stays behind. The threads are joined when the
// module's statics go, before its code is unloaded.
class Reapers {
public:
    ~Reapers()
    {
        std::lock_guard lock(mutex_);
        for (std::thread& thread : threads_)
            thread.join();
    }
    void reap(pid_t child)
    {
        std::lock_guard lock(mutex_);
        threads_.emplace_back([child] {
            int status = 0;
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        });
    }

private:
    std::mutex mutex_;
    std::vector<std::thread> threads_;
};

Reapers& reapers()
{
    static Reapers instance;
    return instance;
}

void notInstalled()
{
    platform::showMessageBox("Can't open the folder: xdg-open is not installed", "BorvanQom", 0);
}

} // namespace

void openFolderInShell(const std::string& path)
{
    if (path.empty())
        return;
    const std::string program = findOnPath("xdg-open");
    if (program.empty()) {
        notInstalled();
        return;
    }
    std::string name = "xdg-open";
    std::string argument = path;
    char* arguments[] = {name.data(), argument.data(), nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environ) != 0) {
        notInstalled();
        return;
    }
    reapers().reap(child);
}

} // namespace Zq::Application::Utils
