#pragma once

#include <csignal>
#include <sys/resource.h>

namespace testsupport {

// Makes every file write of this process fail past `bytes` (EFBIG), as a full
// disk would, for as long as the object lives. Works for root too, whom a
// read-only folder does not stop. Writes of other threads fail meanwhile as
// well: use it only around the code under test.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

} // namespace testsupport
