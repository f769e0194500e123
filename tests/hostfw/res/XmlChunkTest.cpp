#include "hostfw/res/epiXmlChunk.h"

#include <gtest/gtest.h>

namespace {

epiXmlChunk chunkOf(const epiText& text)
{
    epiXmlChunk chunk;
    chunk.setText(text);
    return chunk;
}

TEST(XmlChunk, ReadsTheMarkerDocumentOverIndentedCrLfLines)
{
    const epiText document("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                           "<!-- the marker -->\r\n"
                           "<epi>\r\n"
                           "\t<version>\r\n"
                           "\t\t4\r\n"
                           "\t</version>\r\n"
                           "\t<signature>epiResourceFile</signature>\r\n"
                           "</epi>\r\n");
    const epiXmlChunk epi = chunkOf(document).getChild("epi");
    EXPECT_EQ(epi.getChild("version").getText().toLong(), 4);
    EXPECT_EQ(epi.getChild("signature").getText().str(), "epiResourceFile");
    EXPECT_EQ(epi.getChild("version").getRawText().str(), "\r\n\t\t4\r\n\t");
}

TEST(XmlChunk, NormalisesWhitespace)
{
    struct Case {
        const char* content;
        const char* text;
    } cases[] = {
        {"<t>  \t\r\n  two\r\n    words  </t>", "two words"},
        {"<t>a\r\n\r\n\tb</t>", "a b"},
        {"<t>a\nb</t>", "a\nb"}, // only CR starts a joined line
        {"<t>  </t>", ""},
        {"<t>&amp;</t>", "&amp;"}, // no entities are decoded
    };
    for (const Case& c : cases) {
        const epiText text(c.content);
        EXPECT_EQ(chunkOf(text).getChild("t").getText().str(), c.text) << c.content;
    }
}

TEST(XmlChunk, FindsChildrenByNameAndPosition)
{
    const epiText document("<epi version=\"1.0\">"
                           "<item>one</item>"
                           "<other><name>inner</name></other>"
                           "<visi/>"
                           "<item a=\"1\">two</item>"
                           "<empty attr=\"x\" />"
                           "</epi>");
    const epiXmlChunk epi = chunkOf(document).getChild("epi");
    EXPECT_FALSE(epi.isEmpty()); // found despite its attribute

    epiXmlChunkEnumerator items(epi);
    items.setName("item");
    epiXmlChunk content, tag;
    ASSERT_TRUE(items.next(content, tag));
    EXPECT_EQ(content.getText().str(), "one");
    ASSERT_TRUE(items.next(content, tag));
    EXPECT_EQ(content.getText().str(), "two");
    EXPECT_EQ(tag.getRawText().str(), "item a=\"1\"");
    EXPECT_FALSE(items.next(content, tag));

    // Empty tags, with and without attributes, have empty content.
    EXPECT_TRUE(epi.findChild("visi", content, tag));
    EXPECT_TRUE(content.isEmpty());
    EXPECT_TRUE(epi.findChild("empty", content, tag));
    EXPECT_TRUE(content.isEmpty());
    EXPECT_EQ(tag.getRawText().str(), "empty attr=\"x\" /");

    // A grandchild is not a child.
    EXPECT_FALSE(epi.findChild("name", content, tag));
    EXPECT_EQ(epi.getChild("other").getChild("name").getText().str(), "inner");

    // A counter skips children of any name, then takes the next of the name.
    EXPECT_TRUE(epi.findChildAt("item", 1, content, tag));
    EXPECT_EQ(content.getText().str(), "two");
    EXPECT_TRUE(epi.findChildAt(nullptr, 2, content, tag));
    EXPECT_EQ(tag.getRawText().str(), "visi/");
    EXPECT_FALSE(epi.findChildAt("item", 4, content, tag));
}

TEST(XmlChunk, MalformedTextReadsAsNotFound)
{
    struct Case {
        const char* document;
        const char* name;
    } cases[] = {
        {"<epi><a>1</a", "a"},    // "<" without ">"
        {"<epi><a>1</a>", "epi"}, // no closing tag
        {"<a>1", "a"},
        {"<", "a"},
        {"", "a"},
        {"<epi><a></b></epi>", "a"},
    };
    for (const Case& c : cases) {
        const epiText text(c.document);
        epiXmlChunk content, tag;
        EXPECT_FALSE(chunkOf(text).findChild(c.name, content, tag)) << c.document;
    }
    const epiText nested("<a><a>in</a></a>");
    EXPECT_EQ(chunkOf(nested).getChild("a").getChild("a").getText().str(), "in");
    EXPECT_TRUE(epiXmlChunk().getChild("x").isEmpty());
}

} // namespace
