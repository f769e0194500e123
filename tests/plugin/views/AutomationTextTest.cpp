#include "plugin/docview/AdapterAutomation.h"
#include "plugin/docview/AutomationList.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace {

using namespace Zq::Application::DocView;

struct TextCase {
    const char* name;
    std::function<AdapterAutomation*(AutomationList&)> make;
    float value;
    const char* text;
};

const char* const kAB[] = {"A", "B"};

AdapterAutomation* plain(AutomationList& list, int precision, const char* unit)
{
    return new AdapterAutomationParam(nullptr, "p", list.getCount(), &list, precision, unit);
}
AdapterAutomation* decibel(AutomationList& list, int precision)
{
    return new AdapterAutomationParamdB(nullptr, "d", list.getCount(), &list, precision);
}
AdapterAutomation* named(AutomationList& list)
{
    return new AdapterAutomationParamEnum(nullptr, "e", list.getCount(), &list, kAB, 2);
}

const TextCase kTexts[] = {
    {"42 with no decimals and a percent sign", [](AutomationList& l) { return plain(l, 0, "%"); },
     42.0f, "42 %"},
    {"0.5 with two decimals and no unit", [](AutomationList& l) { return plain(l, 2, ""); }, 0.5f,
     "0.50 "},
    {"an equaliser band in whole decibels", [](AutomationList& l) { return plain(l, 0, "dB"); },
     -12.0f, "-12 dB"},
    {"a plain NaN", [](AutomationList& l) { return plain(l, 1, "ms"); }, NAN, "N/A"},
    {"half the gain", [](AutomationList& l) { return decibel(l, 1); }, 0.5f, "-6.0 dB"},
    {"unity gain", [](AutomationList& l) { return decibel(l, 1); }, 1.0f, "0.0 dB"},
    {"no gain", [](AutomationList& l) { return decibel(l, 1); }, 0.0f, "-Inf"},
    {"a gain below 1e-10", [](AutomationList& l) { return decibel(l, 1); }, 1e-11f, "-Inf"},
    {"a decibel NaN", [](AutomationList& l) { return decibel(l, 1); }, NAN, "N/A"},
    {"a value past the names", [](AutomationList& l) { return named(l); }, 2.0f, "N/A"},
    {"a fraction truncated toward zero", [](AutomationList& l) { return named(l); }, 1.7f, "B"},
    {"an enumerated NaN", [](AutomationList& l) { return named(l); }, NAN, "N/A"},
    {"a negative enumerated value", [](AutomationList& l) { return named(l); }, -1.0f, "N/A"},
    {"a value beyond any integer", [](AutomationList& l) { return named(l); }, 1e30f, "N/A"},
};

void expectTexts()
{
    AutomationList list(nullptr);
    for (const TextCase& c : kTexts) {
        SCOPED_TRACE(c.name);
        AdapterAutomation* adapter = c.make(list);
        list.add(std::unique_ptr<AdapterAutomation>(adapter));
        platform::ScopedEnter guard(list.getLock());
        EXPECT_STREQ(adapter->valueToText(c.value), c.text);
    }
}

TEST(AutomationTextTest, hostDisplaysOfPlainDecibelAndEnumeratedValues)
{
    expectTexts();
}

TEST(AutomationTextTest, theDecimalPointStaysAPointUnderACommaLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    EXPECT_STREQ(probe, "0,5"); // the locale really is in force
    expectTexts();
    std::setlocale(LC_ALL, previous.c_str());
}

} // namespace
