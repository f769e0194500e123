// zq-settings: reads and writes values of the settings store from a shell,
// through the store's own reader and writer, so that scripts (the installer
// first) never write the store's files themselves.
//
//   zq-settings set KEY NAME TEXT          a string value
//   zq-settings set-number KEY NAME NUMBER a number value
//   zq-settings get KEY NAME               prints the value, string or number
//   zq-settings where                      prints the folder that holds the keys
//
// The store lives under $ZQ_SETTINGS_ROOT (else $XDG_CONFIG_HOME, else
// ~/.config), "Zq Sonware/KEY/NAME". Exit status 0 on success, 1 when a value
// cannot be written or read, 2 on a usage error.

#include "platform/Settings.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

int usage()
{
    std::fputs("usage: zq-settings set KEY NAME TEXT\n"
               "       zq-settings set-number KEY NAME NUMBER\n"
               "       zq-settings get KEY NAME\n"
               "       zq-settings where\n",
               stderr);
    return 2;
}

// The writer keeps the old value and reports on standard error when it cannot
// write; reading the value back tells the caller whether it stands.
int setString(const std::string& key, const std::string& name, const std::string& text)
{
    if (text.size() > platform::kMaxStringBytes) {
        std::fprintf(stderr, "zq-settings: a text of more than %zu bytes cannot be read back\n",
                     platform::kMaxStringBytes);
        return 1;
    }
    platform::writeRegistryString(key, name, text);
    std::string stored;
    return platform::readRegistryString(key, name, stored) && stored == text ? 0 : 1;
}

int setNumber(const std::string& key, const std::string& name, std::string_view text)
{
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        std::fprintf(stderr, "zq-settings: not a 32-bit whole number: %.*s\n",
                     static_cast<int>(text.size()), text.data());
        return 2;
    }
    platform::writeRegistryNumber(key, name, value);
    std::int32_t stored = 0;
    return platform::readRegistryNumber(key, name, stored) && stored == value ? 0 : 1;
}

int get(const std::string& key, const std::string& name)
{
    std::string text;
    if (platform::readRegistryString(key, name, text)) {
        std::printf("%s\n", text.c_str());
        return 0;
    }
    std::int32_t number = 0;
    if (platform::readRegistryNumber(key, name, number)) {
        std::printf("%d\n", static_cast<int>(number));
        return 0;
    }
    std::fprintf(stderr, "zq-settings: no value \"%s\" under \"%s\"\n", name.c_str(), key.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const std::string_view command = argv[1];
    if (command == "set" && argc == 5)
        return setString(argv[2], argv[3], argv[4]);
    if (command == "set-number" && argc == 5)
        return setNumber(argv[2], argv[3], argv[4]);
    if (command == "get" && argc == 4)
        return get(argv[2], argv[3]);
    if (command == "where" && argc == 2) {
        std::printf("%s\n", (platform::settingsRoot() / "Zq Sonware").c_str());
        return 0;
    }
    return usage();
}
