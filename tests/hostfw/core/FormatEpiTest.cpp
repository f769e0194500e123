#include "hostfw/core/epiPath.h"
#include "hostfw/core/epiText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FormatEpi, ConversionsAsATable)
{
    const epiText named("named");
    struct Case {
        std::string got;
        const char* expected;
    };
    auto f = [](const char* format, const auto&... args) {
        epiText text;
        text.formatEpi(format, args...);
        return text.str();
    };
    const Case cases[] = {
        {f("%d|%d|%d", 0, 42, -42), "0|42|-42"},
        {f("%o", 8), "10"},
        {f("%x %X", 0xBEEF, 0xBEEF), "beef BEEF"},
        {f("%p", reinterpret_cast<const void*>(0xAB)), "000000AB"},
        {f("%c%c", 'o', 'k'), "ok"},
        {f("[%6s][%-6s][%2s]", "ab", "ab", "abcd"), "[    ab][ab    ][abcd]"},
        {f("[%5t][%-7t]", &named, &named), "[named][named  ]"},
        {f("%k", epiCode("GrUi")), "GrUi"},
        {f("%k", 0x61620064u), "ab_d"},
        {f("%I", 0xC0A80001u), "192.168.0.1"},
        {f("%f", 5), "5epitext_float_unsupported"},
        {f("%05d|%5d|%-5d|", -42, 42, 42), "-0042|   42|42   |"},
        {f("%03x", 5), "005"},
        {f("%*d", 4, 7), "   7"},
        {f("%ld%%", 50), "50%"},
        {f("%u %q", 7u, 9), "7 9"},
        {f("%d %s", 1), "1 "}, // a missing argument prints as nothing, safely
        {f("%s", 12), ""},     // a number given for a string
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected);
}

TEST(FormatEpi, LongArgumentsFormatInFull)
{
    const std::string long5000(5000, 'x');
    epiText text;
    text.formatEpi("<%s>", long5000.c_str());
    EXPECT_EQ(text.getLength(), 5002u);
    text.appendFormatEpi("%t", &text);
    EXPECT_EQ(text.getLength(), 10004u);

    epiText standard;
    standard.format("%s/%d", long5000.c_str(), 7);
    EXPECT_EQ(standard.getLength(), 5002u);
    standard.appendFormattedText("[%s]", &standard);
    EXPECT_EQ(standard.getLength(), 2 * 5002u + 2);

    epiText xml;
    xml.appendXmlElement("name", epiText(long5000), true);
    EXPECT_EQ(xml.str(), "<name>" + long5000 + "</name>\r\n");

    // A 5000-character path converts whole.
    const std::string longPath = "/" + std::string(4995, 'p') + "/f.x";
    EXPECT_EQ(epiPath(longPath).toNative(), longPath);
}

} // namespace
