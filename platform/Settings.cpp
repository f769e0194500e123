#include "platform/Settings.h"

#include "platform/AtomicFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr const char* kMaker = "Zq Sonware";
constexpr const char* kStringTag = "string\n";
constexpr const char* kNumberTag = "number\n";
// Values are small; anything bigger than this is not one of ours.
constexpr std::size_t kMaxFileBytes = 4096;

std::filesystem::path valuePath(const std::string& productKey, const std::string& valueName)
{
    return settingsRoot() / kMaker / escapeName(productKey) / escapeName(valueName);
}

void setProblem(std::string* problem, std::string text)
{
    if (problem)
        *problem = std::move(text);
}

// The whole file, or nothing when it is missing, unreadable or too big. A FIFO
// or a device must not hang the reader: the file is opened without blocking
// and read only when it is a regular one.
bool readFile(const std::filesystem::path& path, std::string& content, std::string* problem)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            setProblem(problem, std::strerror(errno));
        return false;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        setProblem(problem,
                   S_ISDIR(status.st_mode) ? "a folder, not a file" : "not a regular file");
        ::close(fd);
        return false;
    }
    if (static_cast<std::uintmax_t>(status.st_size) > kMaxFileBytes) {
        setProblem(problem, "too big");
        ::close(fd);
        return false;
    }
    std::string text;
    char chunk[1024];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            setProblem(problem, std::strerror(errno));
            ok = false;
            break;
        }
        if (n == 0)
            break;
        text.append(chunk, static_cast<std::size_t>(n));
        if (text.size() > kMaxFileBytes) {
            setProblem(problem, "too big");
            ok = false;
            break;
        }
    }
    ::close(fd);
    if (ok)
        content = std::move(text);
    return ok;
}

void reportWriteFailure(const std::filesystem::path& path, const std::string& problem)
{
    std::fprintf(stderr, "settings: cannot write %s (%s)\n", path.c_str(), problem.c_str());
}

// Temporary files: "~" (always escaped in names, so never a value's name),
// the escaped value name, "~", the writer's process id, "-", a number.
std::string temporaryPrefix(const std::string& valueName)
{
    return "~" + escapeName(valueName) + "~";
}

// A writer killed between its write and its rename leaves its temporary file
// behind: those of this value whose process is gone are removed. Files of a
// running process may be a write in progress and stay.
void removeStaleTemporaries(const std::filesystem::path& folder, const std::string& valueName)
{
    const std::string prefix = temporaryPrefix(valueName);
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error)
        return;
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        long pid = 0;
        const char* first = name.data() + prefix.size();
        const auto [end, parsed] = std::from_chars(first, name.data() + name.size(), pid);
        if (parsed != std::errc() || end == first || *end != '-' || pid <= 0)
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            ::unlink(entry.path().c_str());
    }
}

// Replaces the value file by a complete new one (see writeFileAtomically).
void writeValue(const std::string& productKey, const std::string& valueName,
                const std::string& content)
{
    const std::filesystem::path path = valuePath(productKey, valueName);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        reportWriteFailure(path, "folder: " + error.message());
        return;
    }
    removeStaleTemporaries(path.parent_path(), valueName);
    std::string problem;
    if (!writeFileAtomically(path, content, temporaryPrefix(valueName), &problem))
        reportWriteFailure(path, problem);
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::filesystem::path settingsRoot()
{
    if (std::string root = environment("ZQ_SETTINGS_ROOT"); !root.empty())
        return root;
    if (std::string config = environment("XDG_CONFIG_HOME"); !config.empty())
        return config;
    return std::filesystem::path(environment("HOME")) / ".config";
}

std::string escapeName(const std::string& name)
{
    if (name.empty())
        return "%";
    if (name == ".")
        return "%2E";
    if (name == "..")
        return "%2E%2E";
    static const char* hex = "0123456789ABCDEF";
    std::string escaped;
    for (const unsigned char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == ' ' || c == '.' || c == '-' || c == '_';
        if (plain) {
            escaped += static_cast<char>(c);
        } else {
            escaped += '%';
            escaped += hex[c >> 4];
            escaped += hex[c & 15];
        }
    }
    return escaped;
}

bool readRegistryString(const std::string& productKey, const std::string& valueName,
                        std::string& out, std::string* problem)
{
    setProblem(problem, {});
    std::string content;
    if (!readFile(valuePath(productKey, valueName), content, problem))
        return false;
    const std::size_t tag = std::strlen(kStringTag);
    if (content.compare(0, tag, kStringTag) != 0)
        return false;
    std::string text = content.substr(tag);
    if (text.size() > kMaxStringBytes)
        return false; // never returned in part
    out = text.substr(0, text.find('\0'));
    return true;
}

bool readRegistryNumber(const std::string& productKey, const std::string& valueName,
                        std::int32_t& out, std::string* problem)
{
    setProblem(problem, {});
    std::string content;
    if (!readFile(valuePath(productKey, valueName), content, problem))
        return false;
    const std::size_t tag = std::strlen(kNumberTag);
    if (content.compare(0, tag, kNumberTag) != 0)
        return false;
    std::int32_t value = 0;
    const char* first = content.data() + tag;
    const char* last = content.data() + content.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last)
        return false;
    out = value;
    return true;
}

void writeRegistryString(const std::string& productKey, const std::string& valueName,
                         const std::string& text)
{
    writeValue(productKey, valueName, kStringTag + text);
}

void writeRegistryNumber(const std::string& productKey, const std::string& valueName,
                         std::int32_t value)
{
    writeValue(productKey, valueName, kNumberTag + std::to_string(value));
}

} // namespace platform
