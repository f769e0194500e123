#pragma once

// Starts a private Xvfb for one test and points DISPLAY at it; stops it at
// the end. Xvfb picks a free display number itself (-displayfd), so tests
// running side by side never share a server. The screen is 1024 x 768 unless
// a test asks for another ("1280x1024x24").

#include <csignal>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test::x11 {

class XvfbServer {
public:
    explicit XvfbServer(const char* screen = "1024x768x24")
    {
        const std::string program = find();
        if (program.empty())
            return;
        int fds[2];
        if (pipe(fds) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            // The server ends with the test even when the test crashes, and
            // keeps none of its output streams open.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            const int null = open("/dev/null", O_RDWR);
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execl(program.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen,
                  "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // Xvfb writes its display number once it accepts connections.
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty()) {
            stop();
            return;
        }
        display_ = ":" + number;
        setenv("DISPLAY", display_.c_str(), 1);
    }
    ~XvfbServer() { stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool running() const { return !display_.empty(); }

private:
    static std::string find()
    {
        const char* path = std::getenv("PATH");
        std::string dirs = path ? path : "/usr/bin:/bin";
        std::size_t start = 0;
        while (start <= dirs.size()) {
            const std::size_t end = dirs.find(':', start);
            const std::string candidate =
                dirs.substr(start, end == std::string::npos ? std::string::npos : end - start) +
                "/Xvfb";
            if (access(candidate.c_str(), X_OK) == 0)
                return candidate;
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
        return {};
    }
    void stop()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

    pid_t pid_ = -1;
    std::string display_;
};

} // namespace test::x11
