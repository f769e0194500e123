#include "plugin/docview/UnitDoc.h"
#include "plugin/docview/XmlNumber.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

using namespace Zq::Application::DocView;

namespace {

const char* const kModes[] = {"Low", "Mid", "High"};

// A unit with one parameter of each kind, one that is not saved and one
// sub-unit.
struct Amp : UnitDoc {
    Parameter level, mode, meter;
    Parameter bass;
    UnitDoc model;

    Amp()
    {
        addParameter("Level", level, 2.0f, RangeFloat(-10.0f, 10.0f), true);
        addParameter("Mode", mode, 0, 3, kModes, true);
        addParameter("Meter", meter, 0.0f, RangeFloat(0.0f, 1.0f), false);
        model.addParameter("Bass", bass, 5.0f, RangeFloat(0.0f, 10.0f), true);
        addSubUnit("Model", &model);
    }
};

std::string attributes(const TiXmlElement& element)
{
    std::string text;
    for (const TiXmlAttribute* a = element.FirstAttribute(); a; a = a->Next())
        text += std::string(a->Name()) + "=" + a->Value() + " ";
    return text;
}

// The root of the text, parsed into a fresh document.
const TiXmlElement& parsed(TiXmlDocument& document, const std::string& text)
{
    document.Parse(text.c_str());
    EXPECT_FALSE(document.Error()) << text;
    return *document.RootElement();
}

// Runs the rest of a test under a comma-decimal locale, as hosts often set.
class CommaLocale {
public:
    CommaLocale() { available_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr; }
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
    bool available() const { return available_; }

private:
    bool available_;
};

} // namespace

TEST(UnitDocRegistration, SetsUpTheParameterAndFiresForEveryView)
{
    UnitDoc unit;
    Parameter gain, zero, choice;
    int gainCalls = 0, zeroCalls = 0;
    gain.changed.connect([&](Parameter*) { ++gainCalls; });
    zero.changed.connect([&](Parameter*) { ++zeroCalls; });

    unit.addParameter("Gain", gain, 0.25f, RangeFloat(0.0f, 2.0f),
                      ConverterPowNorm(2.0f, 0.0f, 1.0f), true);
    unit.addParameter("Zero", zero, 0.0f, RangeFloat(-1.0f, 1.0f), true);
    unit.addParameter("Choice", choice, 2, 5, kModes, true);

    EXPECT_EQ(gainCalls, 2) << "the change to the default, then the initial notification";
    EXPECT_EQ(zeroCalls, 1) << "the default equals the value: only the initial notification";
    EXPECT_EQ(gain.getValue(), 0.25f);
    EXPECT_EQ(gain.getDefault(), 0.25f);
    EXPECT_FLOAT_EQ(gain.getNormalized(), 0.5f) << "the given converter";
    zero.setValue(0.5f, false);
    EXPECT_FLOAT_EQ(zero.getNormalized(), 0.75f) << "linear over the range";
    EXPECT_EQ(choice.getRange().getMax(), 4.0f);
    EXPECT_FLOAT_EQ(choice.getNormalized(), 0.5f);
    choice.setValue(2.6f, false);
    EXPECT_EQ(choice.getValue(), 2.0f);
}

TEST(UnitDocWriting, AttributesInByteOrderNumbersAsFixedSixDecimals)
{
    UnitDoc unit;
    Parameter b, a, upper;
    unit.addParameter("b", b, 0.1f, RangeFloat(-1e6f, 1e6f), true);
    unit.addParameter("a", a, -12.0f, RangeFloat(-1e6f, 1e6f), true);
    unit.addParameter("C", upper, 20000.0f, RangeFloat(-1e6f, 1e6f), true);
    TiXmlElement element("Unit");
    unit.save(element);
    EXPECT_EQ(attributes(element), "C=20000.000000 a=-12.000000 b=0.100000 ");

    // Saving again replaces the values in place.
    b.setValue(1e-7f, false);
    unit.save(element);
    EXPECT_EQ(attributes(element), "C=20000.000000 a=-12.000000 b=0.0000001 ");
}

// The six-decimal text wherever it reads back exactly (everything the old
// form wrote, byte for byte); otherwise the shortest fixed-point text that
// does, never with an exponent.
TEST(UnitDocWriting, NumbersReadBackExactly)
{
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {0.0f, "0.000000"},
        {-0.0f, "-0.000000"},
        {0.25f, "0.250000"},
        {1.0f / 3.0f, "0.33333334"},
        {-112.85f, "-112.849998"},
        {1e-7f, "0.0000001"},
        {16777216.0f, "16777216.000000"},
        {-0.0012345678f, "-0.0012345678"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatFixed(c.value), c.text) << c.value;
        EXPECT_EQ(parseNumber(c.text), c.value) << c.text;
    }
    // Every float of a wide sweep, the smallest ones included.
    std::uint32_t bits = 1;
    for (int i = 0; i < 50000; ++i, bits = bits * 1664525u + 1013904223u) {
        float v;
        std::uint32_t finite = bits & 0x7F7FFFFFu; // exponent below all ones
        std::memcpy(&v, &finite, sizeof v);
        const std::string text = formatFixed(v);
        ASSERT_EQ(parseNumber(text.c_str()), v) << text;
        ASSERT_EQ(text.find_first_of("eE"), std::string::npos) << text;
    }
}

TEST(UnitDocWriting, NumbersIgnoreTheProcessLocale)
{
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {0.1f, "0.100000"},         {1e-7f, "0.0000001"}, {-12.0f, "-12.000000"},
        {20000.0f, "20000.000000"}, {0.5f, "0.500000"},
    };
    const auto check = [&](const char* where) {
        for (const auto& c : cases)
            EXPECT_EQ(formatFixed(c.value), c.text) << where;
        EXPECT_EQ(parseNumber("0.100000"), 0.1f) << where << ": reads back as written";
        EXPECT_EQ(parseNumber("0.5"), 0.5f) << where;
        EXPECT_EQ(parseNumber("0,5"), 0.0f)
            << where << ": a decimal comma is no part of the number";
    };
    check("C locale");

    CommaLocale locale;
    if (!locale.available())
        GTEST_SKIP()
            << "de_DE.UTF-8 is not installed (scripts/test.sh generates it with localedef)";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%f", 0.5);
    ASSERT_STREQ(probe, "0,500000") << "the locale really uses a decimal comma";
    check("de_DE.UTF-8");

    Amp amp;
    amp.level.setValue(-7.5f, false);
    TiXmlElement element("Amp");
    amp.save(element);
    amp.level.setValue(0.0f, false);
    amp.load(element);
    EXPECT_EQ(amp.level.getValue(), -7.5f);
}

TEST(UnitDocReading, EachAttributeAsItsKindSays)
{
    const float kDefault = 2.0f, kBefore = 5.0f;
    const struct {
        std::string name;
        std::string element;
        float level;
        float mode;
    } cases[] = {
        {"values as written", R"(<Amp Level="-3.250000" Mode="High" />)", -3.25f, 2.0f},
        {"an enum name with other letter case keeps the value", R"(<Amp Level="1" Mode="high" />)",
         1.0f, 1.0f},
        {"an unknown enum name keeps the value", R"(<Amp Level="1" Mode="Max" />)", 1.0f, 1.0f},
        {"a missing enum keeps the value", R"(<Amp Level="1" />)", 1.0f, 1.0f},
        {"a missing number resets to the default", R"(<Amp Mode="Low" />)", kDefault, 0.0f},
        {"no number reads as 0", R"(<Amp Level="abc" />)", 0.0f, 1.0f},
        {"the leading number counts", R"(<Amp Level=" 7.5dB" />)", 7.5f, 1.0f},
        {"nan counts as missing", R"(<Amp Level="nan" />)", kDefault, 1.0f},
        {"-nan counts as missing", R"(<Amp Level="-nan" />)", kDefault, 1.0f},
        {"too large clamps to the maximum", R"(<Amp Level="1e999" />)", 10.0f, 1.0f},
        {"minus infinity clamps to the minimum", R"(<Amp Level="-inf" />)", -10.0f, 1.0f},
        {"out of range clamps", R"(<Amp Level="11" />)", 10.0f, 1.0f},
        {"unknown attributes are ignored", R"(<Amp Other="3" Level="4" Mode="Low" Meter="1" />)",
         4.0f, 0.0f},
    };
    for (const auto& c : cases) {
        Amp amp;
        amp.level.setValue(kBefore, false);
        amp.mode.setValue(1.0f, false);
        amp.meter.setValue(0.5f, false);
        TiXmlDocument document;
        amp.load(parsed(document, c.element));
        EXPECT_EQ(amp.level.getValue(), c.level) << c.name;
        EXPECT_EQ(amp.mode.getValue(), c.mode) << c.name;
        EXPECT_EQ(amp.meter.getValue(), 0.5f)
            << c.name << ": a parameter that is not saved is not loaded";
    }
}

TEST(UnitDocReading, LoadsChangesWithNotificationAndOnlyTheFirstChildOfAName)
{
    Amp amp;
    std::vector<std::string> changes;
    amp.level.changed.connect([&](Parameter*) { changes.push_back("Level"); });
    amp.bass.changed.connect([&](Parameter*) { changes.push_back("Bass"); });
    TiXmlDocument withChildren, withoutChildren;
    amp.load(
        parsed(withChildren,
               R"(<Amp Level="3"><Other Bass="1" /><Model Bass="7" /><Model Bass="9" /></Amp>)"));
    EXPECT_EQ(amp.bass.getValue(), 7.0f);
    EXPECT_EQ(changes, (std::vector<std::string>{"Level", "Bass"}))
        << "parameters before sub-units";

    // A missing child leaves the sub-unit alone, even its missing numbers.
    amp.load(parsed(withoutChildren, R"(<Amp Level="3" />)"));
    EXPECT_EQ(amp.bass.getValue(), 7.0f);
}

TEST(UnitDocWriting, SubUnitsBecomeChildElementsAndAnEnumItsName)
{
    Amp amp;
    amp.mode.setValue(2.0f, false);
    UnitDoc extra;
    amp.addSubUnit("Extra", &extra);
    amp.addSubUnit("Gone", &extra);
    amp.removeSubUnit("Gone");
    amp.addSubUnit("Model", &amp.model); // replaces itself
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlElement("Amp"));
    amp.save(*document.RootElement());
    std::ostringstream out;
    out << document;
    EXPECT_EQ(out.str(),
              R"(<Amp Level="2.000000" Mode="High"><Extra /><Model Bass="5.000000" /></Amp>)");
}

TEST(UnitDocReading, AnEnumWithAReplacedRangeNeverReadsPastItsNames)
{
    Amp amp;
    TiXmlDocument high;
    const TiXmlElement& element = parsed(high, R"(<Amp Mode="High" />)");

    amp.mode.setRange(RangeInt(0, 1));
    amp.load(element);
    EXPECT_EQ(amp.mode.getValue(), 0.0f) << "names above the range's maximum are not offered";

    amp.mode.setRange(RangeInt(0, 10));
    amp.load(element);
    EXPECT_EQ(amp.mode.getValue(), 2.0f);
    amp.mode.setValue(7.0f, false);
    TiXmlElement saved("Amp");
    amp.save(saved);
    EXPECT_EQ(saved.Attribute("Mode"), nullptr)
        << "a value without a name is left out, not read past the list";
}
