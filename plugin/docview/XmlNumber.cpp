#include "plugin/docview/XmlNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <locale.h>
#include <stdlib.h>

namespace Zq::Application::DocView {

namespace {

// The fixed-point text of v with the given digits after the point; to_chars
// is locale-independent and prints exactly what "%.*f" prints in the C
// locale. The widest double needs about 320 characters, the smallest float
// 150 digits after the point.
std::string fixedText(float v, int precision)
{
    char text[500];
    const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(v),
                                      std::chars_format::fixed, precision);
    return std::string(text, result.ptr);
}

bool readsBackAs(const std::string& text, float v)
{
    const std::optional<float> parsed = parseNumber(text.c_str());
    return parsed && *parsed == v;
}

} // namespace

std::string formatFixed(float v)
{
    std::string six = fixedText(v, 6);
    if (!std::isfinite(v) || readsBackAs(six, v))
        return six;
    // The shortest fixed-point text that reads back as v as a float; read
    // through a double, a tie can round the other way, so the check stays.
    char text[500];
    const auto shortest = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed);
    if (shortest.ec == std::errc()) {
        std::string candidate(text, shortest.ptr);
        if (readsBackAs(candidate, v))
            return candidate;
    }
    for (int precision = 7; precision <= 160; ++precision) {
        std::string candidate = fixedText(v, precision);
        if (readsBackAs(candidate, v))
            return candidate;
    }
    return six;
}

std::optional<float> parseNumber(const char* text)
{
    // strtod_l with a C locale of our own: the process locale may be changed by
    // any thread of the host at any time, so setlocale is no option.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const double d = strtod_l(text, nullptr, cLocale);
    if (std::isnan(d))
        return std::nullopt;
    if (d > std::numeric_limits<float>::max())
        return std::numeric_limits<float>::infinity();
    if (d < -std::numeric_limits<float>::max())
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(d);
}

} // namespace Zq::Application::DocView
