#include "plugin/docview/XmlNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <locale.h>
#include <stdlib.h>

namespace Zq::Application::DocView {

std::string formatFixed(float v)
{
    // to_chars is locale-independent and, given a precision, prints exactly
    // what "%f" prints in the C locale. The widest double needs about 320
    // characters.
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(v),
                                      std::chars_format::fixed, 6);
    return std::string(text, result.ptr);
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
