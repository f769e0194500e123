#include "hostfw/core/epiText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(Text, FourCharacterCodesMapBigEndian)
{
    EXPECT_EQ(epiCode("GrUi"), 0x47725569u);
    epiText text;
    text.assignFourCC(epiCode("GrUi"));
    EXPECT_EQ(text.str(), "GrUi");

    struct Case {
        const char* text;
        epiFourCC code;
    } cases[] = {
        {"ab", 0x61620000u},
        {"", 0u},
        {"GrUiXY", 0x47725569u},
    };
    for (const Case& c : cases)
        EXPECT_EQ(epiText(c.text).toFourCC(), c.code) << c.text;
}

TEST(Text, CountsLinesAndFields)
{
    struct Case {
        const char* text;
        std::size_t lines;
    } lines[] = {{"", 0}, {"a", 1}, {"a\n", 1}, {"x\r\ny", 2}, {"a\r\n", 1}, {"a\r\rb", 3}};
    for (const Case& c : lines)
        EXPECT_EQ(epiText(c.text).countLines(), c.lines) << '"' << c.text << '"';

    struct FieldCase {
        const char* text;
        std::size_t fields;
    } fields[] = {{"", 0}, {"a", 1}, {"a,,b", 3}, {",", 2}};
    for (const FieldCase& c : fields)
        EXPECT_EQ(epiText(c.text).countFields(','), c.fields) << '"' << c.text << '"';
}

TEST(Text, TakesLinesAndFieldsWithRunsOfSeparatorsAndSkipsPastTheEnd)
{
    const epiText text("one\r\ntwo\nthree\rfour");
    struct LineCase {
        std::size_t skip, count;
        const char* expected;
    } lines[] = {
        {0, 1, "one"},  {1, 2, "two\nthree"}, // the breaks between taken lines stay
        {3, 5, "four"}, {0, 0, ""},
        {4, 1, ""},     {9, 1, ""}, // the text ends during the skip
    };
    epiText out("stale");
    for (const LineCase& c : lines) {
        text.getLinesInto(c.skip, c.count, out);
        EXPECT_EQ(out.str(), c.expected) << c.skip << "," << c.count;
    }
    epiText line;
    EXPECT_EQ(text.getLine(line, 2).str(), "three");

    const epiText csv("a,,b,c");
    struct FieldCase {
        std::size_t skip, count;
        const char* expected;
    } fields[] = {
        {0, 1, "a"},   {1, 1, ""},     // adjacent separators delimit an empty field
        {2, 1, "b"},   {0, 2, "a,,b"}, // a row of separators inside the run counts as one
        {2, 5, "b,c"}, {4, 1, ""},     // skipping past the end
        {0, 0, ""},
    };
    for (const FieldCase& c : fields) {
        csv.getFieldsInto(c.skip, c.count, ',', out);
        EXPECT_EQ(out.str(), c.expected) << c.skip << "," << c.count;
    }
    EXPECT_EQ(csv.getLastField(out, ',').str(), "c");
}

TEST(Text, FindsItselfInACommaSeparatedListIgnoringCase)
{
    int index = -1;
    EXPECT_TRUE(epiText("Wave").isOneOf("mp3,wave,aif", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(epiText("ogg").isOneOf("mp3,wave,aif", index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(epiText("").isOneOf("", index));
}

TEST(Text, PrintsNumbersCutAsTheOperationsSay)
{
    epiText text;
    text.assignShort(70000);
    EXPECT_EQ(text.str(), "4464");
    text.assignLong(-70000);
    EXPECT_EQ(text.str(), "-70000");
    text.appendShort(-1);
    EXPECT_EQ(text.str(), "-70000-1");
    text.clear();
    text.appendFormattedIfSet("[%d]", 0);
    text.appendFormattedIfSet("[%d]", 7);
    EXPECT_EQ(text.str(), "[7]");
}

TEST(Text, CopyToBoundsItsCopyAndTerminates)
{
    const std::string long300(300, 'q');
    char buffer[400];
    std::memset(buffer, 'x', sizeof buffer);
    epiText(long300.c_str()).copyTo(buffer, 0);
    EXPECT_EQ(std::strlen(buffer), 256u);
    EXPECT_EQ(buffer[257], 'x');

    char small[4];
    epiText("abcdef").copyTo(small, 3);
    EXPECT_STREQ(small, "abc");
}

TEST(Text, EditsAndComparisons)
{
    epiText text("a-b-c");
    text.removeChar('-');
    EXPECT_EQ(text.str(), "abc");
    text.insertChar(1, '+');
    EXPECT_EQ(text.str(), "a+bc");
    text.keepChars(epiText("abc"));
    EXPECT_EQ(text.str(), "abc");
    epiText part;
    EXPECT_EQ(text.mid(part, 1, 10).str(), "bc");
    EXPECT_EQ(text.mid(part, 3, 1).str(), "");
    EXPECT_EQ(text.right(part, 2).str(), "bc");
    EXPECT_TRUE(text.equalsIgnoreCase("ABC"));
    EXPECT_FALSE(text.equalsIgnoreCase("ABCD"));
    EXPECT_TRUE(text.contains("bc"));
    EXPECT_FALSE(epiText().contains(""));
    EXPECT_TRUE(text.startsWith("ab"));
    EXPECT_FALSE(text.startsWith("abcd"));

    const std::uint8_t bytes[] = {0x0F, 0xA0};
    text.assignHex(bytes, 2);
    EXPECT_EQ(text.str(), "0FA0");

    std::uint8_t rgb[3];
    epiText("255,32,16").getRgb(rgb);
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 32);
    EXPECT_EQ(rgb[2], 16);

    epiText field;
    const epiText command("host \"my file.wav\" -x");
    EXPECT_EQ(command.getQuotedField(field, 1, ' ', '"').str(), "my file.wav");
    EXPECT_EQ(command.getQuotedField(field, 2, ' ', '"').str(), "-x");
    EXPECT_EQ(command.getQuotedField(field, 3, ' ', '"').str(), "");
}

TEST(Text, ConvertsToAndFromUtf16)
{
    const epiText text("G\xC3\xA9nial \xF0\x9D\x84\x9E"); // e acute and a G clef
    char16_t wide[16];
    EXPECT_EQ(text.toWide(wide, 16), 9);
    EXPECT_EQ(wide[1], u'\u00E9');
    EXPECT_EQ(wide[7], 0xD834);
    EXPECT_EQ(wide[9], 0);
    epiText back;
    EXPECT_TRUE(back.assignWide(wide));
    EXPECT_EQ(back.str(), text.str());
    // A small buffer is cut and terminated; invalid UTF-8 gives nothing.
    EXPECT_EQ(text.toWide(wide, 3), 2);
    EXPECT_EQ(wide[2], 0);
    EXPECT_EQ(epiText("\xC3").toWide(wide, 16), -1);
    EXPECT_EQ(wide[0], 0);
}

} // namespace
