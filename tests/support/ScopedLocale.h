#pragma once

// Puts a locale in force for the C library and as the global C++ locale for
// the length of a scope, as a host process may, and restores both after.

#include <clocale>
#include <locale>
#include <string>

namespace testsupport {

class ScopedLocale {
public:
    explicit ScopedLocale(const char* name)
    {
        const char* previous = std::setlocale(LC_ALL, nullptr);
        saved_ = previous ? previous : "C";
        active_ = std::setlocale(LC_ALL, name) != nullptr;
        if (active_)
            std::locale::global(std::locale(name));
    }
    ~ScopedLocale()
    {
        std::locale::global(global_);
        std::setlocale(LC_ALL, saved_.c_str());
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    // False when the locale is not installed (nothing changed then).
    bool active() const { return active_; }

private:
    std::string saved_;
    std::locale global_;
    bool active_ = false;
};

} // namespace testsupport
