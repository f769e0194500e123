#include "platform/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

bool writeAll(int fd, std::string_view data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool fail(std::string* problem, const char* step)
{
    if (problem)
        *problem = std::string(step) + ": " + std::strerror(errno);
    return false;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& target, std::string_view content,
                         const std::string& temporaryPrefix, std::string* problem)
{
    static std::atomic<unsigned> counter{0};
    std::ostringstream name;
    name << temporaryPrefix << ::getpid() << '-'
         << std::hash<std::thread::id>{}(std::this_thread::get_id()) << '-' << counter++;
    const std::filesystem::path folder = target.parent_path();
    const std::filesystem::path temporary = folder / name.str();

    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(problem, "create");
    if (!writeAll(fd, content) || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        errno = error;
        return fail(problem, "write");
    }
    // A full disk may show only when the file is closed.
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        return fail(problem, "write");
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        return fail(problem, "rename");
    }
    return true;
}

} // namespace platform
