#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace platform {

// Per-product settings, kept as one small typed file per value under
//   <root>/Zq Sonware/<product key>/<value name>
// where root is $ZQ_SETTINGS_ROOT, else $XDG_CONFIG_HOME, else ~/.config.
// Key and value names are escaped into file names, so no name can reach
// outside its key's folder. A value holds one type: a number read as a string,
// or a string read as a number, fails.
//
// Reads never create anything, never wait (a value is opened without
// blocking and read only when it is a regular file) and leave their output
// untouched on any failure. A value file that exists but cannot be read (not
// a regular file, no permission, too big) fails with the reason in problem; a
// missing value, or one of the other type, fails with problem empty.
// Writes create the folders and replace a value atomically (a temporary file
// renamed over the old one): readers in any process see the old or the new
// value, never a torn one. A write that cannot be done keeps the old value and
// says so in one line on standard error. Temporary files carry the value's
// name and the writing process's id; a write removes the ones of its value
// that a process no longer running left behind.

// Texts longer than this many bytes (the terminator of the original 512-byte
// buffer aside) are not read.
inline constexpr std::size_t kMaxStringBytes = 511;

bool readRegistryString(const std::string& productKey, const std::string& valueName,
                        std::string& out, std::string* problem = nullptr);
bool readRegistryNumber(const std::string& productKey, const std::string& valueName,
                        std::int32_t& out, std::string* problem = nullptr);
void writeRegistryString(const std::string& productKey, const std::string& valueName,
                         const std::string& text);
void writeRegistryNumber(const std::string& productKey, const std::string& valueName,
                         std::int32_t value);

// The folder that stands for HKEY_LOCAL_MACHINE\SOFTWARE.
std::filesystem::path settingsRoot();
// A name as it is stored on disk: letters, digits, blank, '.', '-' and '_'
// stay; every other byte becomes %XX; "", "." and ".." are encoded whole.
std::string escapeName(const std::string& name);

// The same store through a key object, for callers that keep one key.
class RegistrySettings {
public:
    explicit RegistrySettings(std::string productKey) : key_(std::move(productKey)) {}

    bool readString(const std::string& valueName, std::string& out,
                    std::string* problem = nullptr) const
    {
        return readRegistryString(key_, valueName, out, problem);
    }
    bool readNumber(const std::string& valueName, std::int32_t& out,
                    std::string* problem = nullptr) const
    {
        return readRegistryNumber(key_, valueName, out, problem);
    }
    void writeString(const std::string& valueName, const std::string& text) const
    {
        writeRegistryString(key_, valueName, text);
    }
    void writeNumber(const std::string& valueName, std::int32_t value) const
    {
        writeRegistryNumber(key_, valueName, value);
    }
    const std::string& getKey() const noexcept { return key_; }

private:
    std::string key_;
};

} // namespace platform
