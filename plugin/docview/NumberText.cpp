#include "plugin/docview/NumberText.h"

#include <clocale>
#include <cstdio>
#include <locale.h>

namespace Zq::Application::DocView {

namespace {

locale_t classicLocale() noexcept
{
    static const locale_t classic = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return classic;
}

// Made while the module loads, so that no later caller (the audio thread
// least of all) is the one to create it.
[[maybe_unused]] const locale_t classicAtLoad = classicLocale();

} // namespace

char* formatFixed(char* out, std::size_t size, double value, int precision) noexcept
{
    if (!out || size == 0)
        return out;
    precision = precision < 0 ? 0 : precision > 9 ? 9 : precision;
    // snprintf reads the decimal point from the thread's locale; the classic
    // one is put in place for this one call only.
    const locale_t classic = classicLocale();
    const locale_t previous = classic ? ::uselocale(classic) : static_cast<locale_t>(nullptr);
    std::snprintf(out, size, "%.*f", precision, value);
    if (classic)
        ::uselocale(previous);
    else
        for (char* c = out; *c; ++c)
            if (*c == ',')
                *c = '.';
    return out;
}

} // namespace Zq::Application::DocView
