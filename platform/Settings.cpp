#include "platform/Settings.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
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

// The whole file, or nothing when it is missing, unreadable or too big.
bool readFile(const std::filesystem::path& path, std::string& content)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string text;
    char chunk[1024];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        text.append(chunk, static_cast<std::size_t>(n));
        if (text.size() > kMaxFileBytes) {
            ok = false;
            break;
        }
    }
    ::close(fd);
    if (ok)
        content = std::move(text);
    return ok;
}

bool writeAll(int fd, const std::string& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void reportWriteFailure(const std::filesystem::path& path, const char* what)
{
    std::fprintf(stderr, "settings: cannot write %s (%s: %s)\n", path.c_str(), what,
                 std::strerror(errno));
}

// Replaces the value file by a complete new one: written to a temporary file
// in the same folder, flushed, then renamed over the old file.
void writeValue(const std::string& productKey, const std::string& valueName,
                const std::string& content)
{
    const std::filesystem::path path = valuePath(productKey, valueName);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        errno = error.value();
        reportWriteFailure(path, "folder");
        return;
    }
    // '~' is always escaped in names, so a temporary file never takes a value's name.
    static std::atomic<unsigned> counter{0};
    std::ostringstream name;
    name << "~tmp-" << ::getpid() << '-' << std::hash<std::thread::id>{}(std::this_thread::get_id())
         << '-' << counter++;
    const std::filesystem::path temporary = path.parent_path() / name.str();

    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        reportWriteFailure(path, "create");
        return;
    }
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        reportWriteFailure(path, written ? "rename" : "write");
        ::unlink(temporary.c_str());
    }
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
                        std::string& out)
{
    std::string content;
    if (!readFile(valuePath(productKey, valueName), content))
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
                        std::int32_t& out)
{
    std::string content;
    if (!readFile(valuePath(productKey, valueName), content))
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
