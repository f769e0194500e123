#include "hostfw/core/epiFile.h"

#include "hostfw/core/epiPath.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::atomic<std::int64_t> writeBudget{-1};

// How many of count bytes the test seam lets through.
std::size_t allowedBytes(std::size_t count)
{
    std::int64_t budget = writeBudget.load();
    while (budget >= 0) {
        const auto allowed =
            static_cast<std::int64_t>(count) < budget ? static_cast<std::int64_t>(count) : budget;
        if (writeBudget.compare_exchange_weak(budget, budget - allowed))
            return static_cast<std::size_t>(allowed);
    }
    return count;
}
} // namespace

void epiSetWriteBudgetForTesting(std::int64_t bytes)
{
    writeBudget.store(bytes < 0 ? -1 : bytes);
}

bool epiWriteAll(int fd, const void* bytes, std::size_t count)
{
    const auto* p = static_cast<const unsigned char*>(bytes);
    const std::size_t allowed = allowedBytes(count);
    std::size_t done = 0;
    while (done < allowed) {
        const ssize_t n = ::write(fd, p + done, allowed - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    if (allowed < count)
        errno = ENOSPC;
    return allowed == count;
}

bool epiSaveAtomically(const std::string& nativePath, const void* bytes, std::size_t size)
{
    if (nativePath.empty() || (!bytes && size > 0))
        return false;
    // A unique name beside the target, so the rename stays within one file
    // system and is atomic.
    static std::atomic<unsigned> counter{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = nativePath + ".tmp-" + std::to_string(::getpid()) + "-" +
                    std::to_string(counter.fetch_add(1));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    struct stat old;
    if (::stat(nativePath.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    bool ok = epiWriteAll(fd, bytes, size) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temporary.c_str(), nativePath.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

epiFile::~epiFile()
{
    close();
}

bool epiFile::open(const epiPath& path, int mode, int, int)
{
    if (isOpen() || path.isEmpty())
        return false;
    const std::string native = path.toNative();
    int flags = O_CLOEXEC;
    if (mode & kWrite) {
        if (mode & kDeleteFirst)
            ::unlink(native.c_str());
        flags |= O_RDWR;
        if (!(mode & kMustExist))
            flags |= O_CREAT;
    } else {
        flags |= O_RDONLY;
    }
    fd_ = ::open(native.c_str(), flags, 0666);
    if (fd_ < 0)
        return false;
    struct stat info;
    if (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    written_ = false;
    return true;
}

bool epiFile::close()
{
    if (!isOpen())
        return false;
    // Cutting at the position only after a write: a handle that only read
    // must not shorten the file.
    if (written_) {
        const off_t position = ::lseek(fd_, 0, SEEK_CUR);
        if (position >= 0 && ::ftruncate(fd_, position) != 0) {
            // The data stays; the file keeps its old tail.
        }
    }
    ::close(fd_);
    fd_ = -1;
    written_ = false;
    return true;
}

bool epiFile::read(void* buffer, std::size_t count, std::size_t* countOut)
{
    if (countOut)
        *countOut = 0;
    if (!isOpen())
        return false;
    if (count == 0)
        return true;
    auto* p = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd_, p + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    if (countOut) {
        *countOut = done;
        return done > 0;
    }
    return done == count;
}

bool epiFile::write(const void* buffer, std::size_t count, std::size_t* countOut)
{
    if (countOut)
        *countOut = 0;
    if (!isOpen())
        return false;
    if (count == 0)
        return true;
    const off_t before = ::lseek(fd_, 0, SEEK_CUR);
    const bool all = epiWriteAll(fd_, buffer, count);
    written_ = true;
    const off_t after = ::lseek(fd_, 0, SEEK_CUR);
    const std::size_t done = (before >= 0 && after >= before) ? std::size_t(after - before) : 0;
    if (countOut) {
        *countOut = done;
        return done > 0;
    }
    return all;
}

bool epiFile::seek(std::int64_t distance, int origin)
{
    if (!isOpen())
        return false;
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    return ::lseek(fd_, static_cast<off_t>(distance), whence) >= 0;
}

std::int64_t epiFile::tell() const
{
    if (!isOpen())
        return 0;
    const off_t position = ::lseek(fd_, 0, SEEK_CUR);
    return position < 0 ? 0 : position;
}

std::int64_t epiFile::getSize() const
{
    struct stat info;
    if (!isOpen() || ::fstat(fd_, &info) != 0)
        return 0;
    return info.st_size;
}
