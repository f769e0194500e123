#pragma once

// A JACK server with the dummy driver (48 kHz, period 128 unless asked
// otherwise, two capture and two playback ports), started on first use and
// stopped when the test program ends, so that CI needs no sound card. Its
// client time-out is raised from half a second to five, so that a client
// slowed by a sanitizer or a busy machine is not thrown out.

#include <jack/jack.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace test {

class JackServer {
public:
    // period: the frames of one cycle.
    explicit JackServer(std::string name, int period = 128) : name_(std::move(name))
    {
        if (!installed())
            return;
        std::string n = name_;
        const std::string frames = std::to_string(period);
        // The client time-out is raised from half a second to five, so that a
        // client slowed by a sanitizer or a busy machine is not thrown out.
        const char* argv[] = {"jackd", "-n", n.c_str(), "-r", "-t",           "5000", "-d",
                              "dummy", "-r", "48000",   "-p", frames.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // The dummy driver reports each late cycle; keep the test output clean.
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid_, "jackd", &actions, nullptr, const_cast<char**>(argv), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        if (pid_ <= 0)
            return;
        // The server accepts clients a moment after it starts.
        for (int attempt = 0; attempt < 400 && !ready_; ++attempt) {
            if (jack_client_t* c = openClient("probe")) {
                jack_client_close(c);
                ready_ = true;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(25));
            }
        }
    }
    ~JackServer() { kill(); }
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    static bool installed()
    {
        const char* path = std::getenv("PATH");
        std::string dirs = path ? path : "/usr/bin:/bin";
        std::size_t start = 0;
        while (start <= dirs.size()) {
            const std::size_t end = dirs.find(':', start);
            const std::string dir =
                dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (access((dir + "/jackd").c_str(), X_OK) == 0)
                return true;
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
        return false;
    }

    // The shared server of this test program.
    static JackServer& shared()
    {
        static JackServer server("rigtest" + std::to_string(getpid()));
        return server;
    }

    bool ready() const { return ready_; }
    const std::string& name() const { return name_; }

    // Makes this server the one MPAudioAsio and the MIDI back end use.
    void select() const { setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1); }

    // Retries as the back end does: a connection right after another
    // client of the process closed is now and then refused for a moment.
    jack_client_t* openClient(const char* clientName) const
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            jack_status_t status{};
            if (jack_client_t* c = jack_client_open(
                    clientName, static_cast<jack_options_t>(JackNoStartServer | JackServerName),
                    &status, name_.c_str()))
                return c;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return nullptr;
    }

    void kill()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
    }

private:
    std::string name_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

} // namespace test

// Skips the test when the server cannot run here; otherwise selects it.
#define REQUIRE_JACK_SERVER(server)                                                                \
    do {                                                                                           \
        if (!test::JackServer::installed())                                                        \
            GTEST_SKIP() << "jackd (Debian package jackd2) is not installed: JACK tests skipped";  \
        ASSERT_TRUE((server).ready()) << "the dummy JACK server did not start";                    \
        (server).select();                                                                         \
    } while (0)
