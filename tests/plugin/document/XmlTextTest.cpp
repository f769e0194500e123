#include "plugin/document/XmlText.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

using Zq::BorvanRAZ::Document::elementNesting;

namespace {

// The depth of the tree the parser built, partial trees of failed parses
// included: it is the depth the parser's recursion reached.
int treeDepth(const TiXmlNode& node)
{
    int deepest = 0;
    for (const TiXmlNode* child = node.FirstChild(); child; child = child->NextSibling())
        deepest = std::max(deepest, treeDepth(*child) + (child->ToElement() ? 1 : 0));
    return deepest;
}

} // namespace

TEST(XmlNesting, CountsWhatTheParserNests)
{
    const struct {
        std::string text;
        int depth;
    } cases[] = {
        {R"(<?xml version="1.0" standalone='no'?><Preset><Amp Gain="1"><Model /></Amp></Preset>)",
         3},
        {"<a><!-- <b><c><d> --><![CDATA[<b><c>]]><b x='<c>' y=\"</b>\"/></a>", 2},
        {"<a><?xml version='<b><c>' ?><b></b></a>", 2},
        {"<a/>trailing text at the top <b><c><d>", 1},
        {"<a><b></b><b><c/></b></a>", 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(elementNesting(c.text, INT_MAX), c.depth) << c.text;

    EXPECT_FALSE(elementNesting("<a><b>", INT_MAX)) << "elements left open";
    EXPECT_FALSE(elementNesting("<a x=\"1>", INT_MAX)) << "an unterminated quote";
    EXPECT_EQ(elementNesting(std::string(5000, '<') + "a", INT_MAX).value_or(-1), 0)
        << "'<<' is skipped to its '>'";
    EXPECT_EQ(elementNesting("<a><a><a><a></a></a></a></a>", 2), 3)
        << "counting stops past the limit";
}

// The scan must never see less nesting than the parser builds, whatever the
// text: random soups of markup pieces, compared with the parser's own trees.
TEST(XmlNesting, NeverUnderestimatesTheParser)
{
    const std::vector<std::string> pieces = {
        "<a>",         "</a>",       "<b x='1'>", "</b>",
        "<c/>",        "<a",         ">",         "/>",
        "/",           "\"",         "'",         "=",
        " ",           "x",          "<!--",      "-->",
        "<![CDATA[",   "]]>",        "<?xml ",    "version=",
        "standalone=", "<!",         "<?",        "&#x41;",
        "&",           "</",         "\n",        "<_",
        "\xC3\xA9",    "<\xC3\xA9>", "y=\"",      "<?xml version='1.0'?>",
        "&#60;",       "\t",         "<a x=1>",   ":",
        "<-",
    };
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(1, 40);
    int agreed = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (int n = length(random); n > 0; --n)
            text += pieces[pick(random)];
        TiXmlDocument document;
        document.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
        const int parsed = treeDepth(document);
        const auto scanned = elementNesting(text, INT_MAX);
        if (!scanned)
            continue; // refused outright: safe whatever the parser would do
        ASSERT_GE(*scanned, parsed) << text;
        if (!document.Error() && *scanned == parsed)
            ++agreed;
    }
    EXPECT_GT(agreed, 1000) << "the soups must hold enough accepted text to mean something";
}

// Text with more elements than any preset holds is refused before the parser
// builds them: the limit itself passes, one more does not.
TEST(XmlElements, MoreThanTheLimitAreRefusedBeforeParsing)
{
    using Zq::BorvanRAZ::Document::kMaxElements;
    using Zq::BorvanRAZ::Document::parseText;
    auto flat = [](long elements) {
        std::string text = "<Preset>";
        for (long i = 1; i < elements; ++i)
            text += "<a/>";
        return text + "</Preset>";
    };
    TiXmlDocument atLimit;
    EXPECT_TRUE(parseText(atLimit, flat(kMaxElements)));
    TiXmlDocument overLimit;
    EXPECT_FALSE(parseText(overLimit, flat(kMaxElements + 1)));
    EXPECT_EQ(overLimit.RootElement(), nullptr) << "nothing was parsed";
    EXPECT_FALSE(elementNesting("<a/><b/><c/>", INT_MAX, 2));
    EXPECT_EQ(elementNesting("<a/><b/><c/>", INT_MAX, 3), 1);
}
