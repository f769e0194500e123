#include "PackFiles.h"
#include "tests/editor/graphics/TgaFiles.h"
#include "tests/support/LargestAllocation.h"
#include "tests/support/TempFolder.h"

#include "editor/graphics/Bitmap.h"
#include "editor/graphics/Font.h"
#include "editor/resources/PlugInResourceProvider.h"
#include "editor/resources/XmlLoaders.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <sstream>

namespace {

using Zq::Application::Res::PlugInResourceProvider;
using Zq::Application::Res::ResourcePack;

std::string rootName(const TiXmlDocument* document)
{
    const TiXmlElement* root = document ? document->RootElement() : nullptr;
    return root ? root->ValueStr() : "";
}

class ProviderTest : public ::testing::Test {
protected:
    // Where `name` resolves: "pack <location>", "file <path>" or "none".
    std::string find(const std::string& name)
    {
        std::string path = "unchanged";
        ResourcePack* pack = nullptr;
        if (!provider.find(name, path, pack))
            return "none";
        if (pack)
            return "pack " + path;
        return "file " + path;
    }

    testsupport::TempFolder temp;
    PlugInResourceProvider provider;
};

TEST_F(ProviderTest, onlyALowerCasePakExtensionMakesAPack)
{
    temp.write("skin.pak", test::pack::file({{"a.xml", "<a/>"}}));
    temp.write("skin.PAK/a.xml", "<a/>");
    temp.write("pak/a.xml", "<a/>");
    for (const char* location : {"skin.pak", "skin.PAK", "pak"})
        provider.addLocation(temp.path(location));
    EXPECT_EQ(find("a.xml"), "pack unchanged");

    PlugInResourceProvider folders;
    folders.addLocation(temp.path("skin.PAK"));
    folders.addLocation(temp.path("pak"));
    std::string path;
    ResourcePack* pack = reinterpret_cast<ResourcePack*>(1);
    ASSERT_TRUE(folders.find("a.xml", path, pack));
    EXPECT_EQ(pack, nullptr);
    EXPECT_EQ(path, temp.path("skin.PAK") + "/a.xml");
}

TEST_F(ProviderTest, locationsAreTriedInOrderAndAPackAnswersForEveryName)
{
    temp.write("A/onlyA.xml", "<a/>");
    temp.write("B.pak", test::pack::file({{"onlyB.xml", "<b/>"}}));
    provider.addLocation(temp.path("A"));
    provider.addLocation(temp.path("B.pak"));
    provider.addLocation(temp.path("A"));
    EXPECT_EQ(provider.getLocations().size(), 2u);
    EXPECT_EQ(rootName(provider.getXmlCache().get("onlyB.xml")), "b");
    EXPECT_EQ(rootName(provider.getXmlCache().get("onlyA.xml")), "a");

    PlugInResourceProvider packFirst;
    packFirst.addLocation(temp.path("B.pak"));
    packFirst.addLocation(temp.path("A"));
    EXPECT_EQ(packFirst.getXmlCache().get("onlyA.xml"), nullptr);
    EXPECT_EQ(packFirst.getXmlCache().size(), 0u);
    EXPECT_EQ(rootName(packFirst.getXmlCache().get("onlyB.xml")), "b");
}

TEST_F(ProviderTest, theEmptyLocationIsIgnored)
{
    // What an unreadable "ResPath" leaves: it must not turn names into paths
    // at the root of the file system.
    provider.addLocation("");
    EXPECT_TRUE(provider.getLocations().empty());
    EXPECT_EQ(find("etc/hostname"), "none");
    EXPECT_EQ(provider.getXmlCache().get("etc/passwd"), nullptr);
}

TEST_F(ProviderTest, aCachedObjectIsReadOnceAndDeletedWithItsLastRelease)
{
    temp.write("res/Amp.xml", "<Amp/>");
    provider.addLocation(temp.path("res"));
    auto& cache = provider.getXmlCache();

    TiXmlDocument* first = cache.get("Amp.xml");
    temp.write("res/Amp.xml", "<Cab/>");
    TiXmlDocument* second = cache.get("Amp.xml");
    EXPECT_EQ(first, second);
    EXPECT_EQ(rootName(second), "Amp") << "read once";
    EXPECT_EQ(cache.references("Amp.xml"), 2u);

    TiXmlDocument stranger;
    cache.release(&stranger);
    cache.release(nullptr);
    EXPECT_EQ(cache.references("Amp.xml"), 2u);

    cache.release(first);
    EXPECT_EQ(cache.references("Amp.xml"), 1u);
    cache.release(first);
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_EQ(rootName(cache.get("Amp.xml")), "Cab") << "read again";

    EXPECT_EQ(cache.get("Missing.xml"), nullptr);
    EXPECT_EQ(cache.size(), 1u) << "a missing name caches nothing";
}

TEST_F(ProviderTest, unreadableContentIsCachedLikeAnyOther)
{
    temp.write("res/broken.xml", "<a><b></a>");
    temp.write("res/broken.tga", "not an image");
    provider.addLocation(temp.path("res"));
    const TiXmlDocument* document = provider.getXmlCache().get("broken.xml");
    ASSERT_NE(document, nullptr);
    EXPECT_TRUE(document->Error());
    const auto* image = provider.getImageCache().get("broken.tga");
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->empty());
    EXPECT_EQ(provider.getImageCache().size(), 1u);
}

TEST_F(ProviderTest, imagesAndFontsComeAlikeFromAFolderAndFromAPack)
{
    using test::tga::Header;
    // A font of three codes: runs of 1, 2 and 1 pixels on the marker row.
    const std::uint32_t black = 0xFF000000u;
    const std::uint32_t white = 0xFFFFFFFFu;
    std::vector<std::uint32_t> font(8 * 7, black);
    for (int x : {0, 2, 3, 5})
        font[5 * 8 + x] = white;
    const std::string fontFile = test::tga::file(Header{.width = 8, .height = 7, .bits = 24}, font);
    const std::string image = test::tga::file(Header{.width = 3, .height = 2},
                                              std::vector<std::uint32_t>(6, 0x7F0000FFu));

    temp.write("res/Label.tga", fontFile);
    temp.write("res/Knob.tgz", test::tga::gzip(image, "Knob.tga"));
    temp.write("res.pak", test::pack::file({{"Label.tga", fontFile},
                                            {"Knob.tgz", test::tga::gzip(image, "Knob.tga")}}));
    for (const char* location : {"res", "res.pak"}) {
        SCOPED_TRACE(location);
        PlugInResourceProvider p;
        p.addLocation(temp.path(location));
        const auto* knob = p.getImageCache().get("Knob.tgz");
        ASSERT_NE(knob, nullptr);
        EXPECT_EQ(knob->width, 3);
        EXPECT_TRUE(knob->hasAlpha);
        EXPECT_EQ(knob->pixels[5], 0x7F0000FFu);
        const auto* label = p.getFontCache().get("Label.tga");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->getCell(1).width, 2);
        EXPECT_EQ(label->getCell(2).x, 5);
        EXPECT_EQ(label->getCell(3).width, 0);
    }
}

TEST(XmlLoaders, theStreamFormParsesExactlyTheEntrysBytes)
{
    std::istringstream stream("<Layout w=\"1\"/><Other/>trailing");
    auto document = Zq::Application::Res::loadXmlDocumentFromStream(stream, 15);
    EXPECT_FALSE(document->Error()) << document->ErrorDesc();
    EXPECT_EQ(rootName(document.get()), "Layout");
    EXPECT_EQ(document->RootElement()->NextSiblingElement(), nullptr);
}

TEST(XmlLoaders, aSizeBeyondTheStreamClaimsNoMemoryAndParsesWhatIsThere)
{
    std::istringstream stream("<Panel><Knob/></Panel>");
    test::largest::Tracking tracking;
    auto document = Zq::Application::Res::loadXmlDocumentFromStream(stream, 0xFFFFFFFFu);
    EXPECT_LT(tracking.largestRequest(), 1u << 20);
    EXPECT_FALSE(document->Error()) << document->ErrorDesc();
    EXPECT_EQ(rootName(document.get()), "Panel");
}

TEST(XmlLoaders, aLayoutNestedTooDeepIsRefusedBeforeParsing)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    for (int i = 0; i < 100000; ++i)
        deep += "</a>";
    testsupport::TempFolder temp;
    temp.write("deep.xml", deep);
    std::istringstream stream(deep);
    for (auto& document : {Zq::Application::Res::loadXmlDocumentFromFile(temp.path("deep.xml")),
                           Zq::Application::Res::loadXmlDocumentFromStream(stream, deep.size())}) {
        EXPECT_TRUE(document->Error());
        EXPECT_EQ(document->RootElement(), nullptr);
    }

    // A missing file gives a document in its error state, never null.
    auto missing = Zq::Application::Res::loadXmlDocumentFromFile(temp.path("missing.xml"));
    ASSERT_NE(missing, nullptr);
    EXPECT_TRUE(missing->Error());
}

} // namespace
