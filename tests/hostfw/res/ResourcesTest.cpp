#include "hostfw/core/epiFileDump.h"
#include "hostfw/res/epiResMedia.h"
#include "hostfw/res/epiResources.h"
#include "platform/EmbeddedBlob.h"

#include <gtest/gtest.h>

#include "support/AtomBytes.h"
#include "support/TempFolder.h"

namespace {

const char* kMarker = "<epi><version>4</version><signature>epiResourceFile</signature></epi>";
const char* kHostLayout = "<epi>\r\n\t<content>\r\n\t\t<name>host</name>\r\n"
                          "\t\t<size>200,50</size>\r\n\t</content>\r\n</epi>\r\n";
const char* kSetupLayout = "<epi><content><name>Aset</name></content></epi>";

// The same resources as a folder source and as a pack.
void writeFolder(const testsupport::TempFolder& temp, const std::string& folder)
{
    temp.write(folder + "/epi.frs", kMarker);
    temp.write(folder + "/layouts/host.xml", kHostLayout);
    temp.write(folder + "/layouts/midi/audiosetup.xml", kSetupLayout);
    temp.write(folder + "/layouts/notes.txt", "not a layout");
}

std::string packBytes(const std::string& marker = kMarker)
{
    return atombytes::pack(true, {{"/epi.frs", marker},
                                  {"/layouts/host.xml", kHostLayout},
                                  {"/layouts/midi/audiosetup.xml", kSetupLayout},
                                  {"/layouts/notes.txt", "not a layout"}});
}

struct Application : epiApplicationObject {
    bool getApplicationPath(epiText& folder) const override
    {
        folder.assign(path.c_str());
        return true;
    }
    std::string path;
};

// Resources attached to an application whose folder is a temporary one.
struct ResourcesFixture : ::testing::Test {
    ResourcesFixture()
    {
        app.path = temp.path("app/");
        temp.makeFolder("app");
        epiApplicationObject::setProgramApplication(&app);
        resources.attach(&app);
        resources.init();
    }
    ~ResourcesFixture() override
    {
        resources.exit();
        epiApplicationObject::setProgramApplication(nullptr);
    }
    testsupport::TempFolder temp;
    Application app;
    epiResources resources;
};

TEST(Resources, MakesPathsByCategory)
{
    epiPath path;
    epiResources::makeResourcePath("host.xml", epiCode("laya"), path);
    EXPECT_EQ(path.str(), "layouts/host.xml");
    epiResources::makeResourcePath("host.xml", epiCode("zzzz"), path);
    EXPECT_EQ(path.str(), "host.xml");
    epiResources::makeResourcePath("click.raw", epiCode("auxr"), path);
    EXPECT_EQ(path.str(), "aux/click.raw");
}

TEST_F(ResourcesFixture, ChoosesTheSourceByExtension)
{
    temp.write("bare.frs/layouts/host.xml", kHostLayout); // no marker
    EXPECT_FALSE(resources.openSourceFile(epiPath(temp.path("bare.frs"))));
    EXPECT_EQ(resources.source(), nullptr);
    writeFolder(temp, "Good.frs");
    EXPECT_TRUE(resources.openSourceFile(epiPath(temp.path("Good.frs"))));
    EXPECT_TRUE(resources.isFolderSource());
    temp.write("Caps.PRS", packBytes());
    EXPECT_TRUE(resources.openSourceFile(epiPath(temp.path("Caps.PRS"))));
    EXPECT_FALSE(resources.isFolderSource());
    EXPECT_FALSE(resources.openSourceFile(epiPath(temp.path("Caps.zip"))));
    EXPECT_EQ(resources.source(), nullptr); // the old source was closed first
}

TEST_F(ResourcesFixture, ListsLoadsAndFindsTheSameInEverySource)
{
    writeFolder(temp, "Folder.frs");
    temp.write("Pack.prs", packBytes());
    platform::EmbeddedBlobRegistration embedded(4711, nullptr, 0);
    const std::string packed = packBytes();
    platform::EmbeddedBlobRegistration linked(4712, packed.data(), packed.size());

    for (const char* source : {"folder", "pack", "embedded"}) {
        SCOPED_TRACE(source);
        if (std::string(source) == "folder")
            ASSERT_TRUE(resources.openSourceFile(epiPath(temp.path("Folder.frs"))));
        else if (std::string(source) == "pack")
            ASSERT_TRUE(resources.openSourceFile(epiPath(temp.path("Pack.prs"))));
        else
            ASSERT_TRUE(resources.openEmbedded(4712, nullptr));

        epiText list;
        resources.listResources(epiCode("laya"), list, false);
        EXPECT_EQ(list.str(), "host.xml\r\nnotes.txt\r\n");
        resources.listResources(epiCode("laya"), list, true);
        EXPECT_EQ(list.str(), "host.xml\r\nmidi/audiosetup.xml\r\nnotes.txt\r\n");

        int width = 0, height = 0;
        EXPECT_TRUE(resources.getLayoutSize("host.xml", width, height));
        EXPECT_EQ(width, 200);
        EXPECT_EQ(height, 50);
        EXPECT_FALSE(resources.getLayoutSize("midi/audiosetup.xml", width, height));
        EXPECT_FALSE(resources.getLayoutSize("missing.xml", width, height));

        epiText name("stale");
        EXPECT_TRUE(resources.findLayoutByCode(epiCode("laya"), epiCode("Aset"), name));
        EXPECT_EQ(name.str(), "midi/audiosetup.xml");
        EXPECT_FALSE(resources.findLayoutByCode(epiCode("laya"), epiCode("none"), name));
        EXPECT_EQ(name.str(), "");

        epiText text("stale");
        EXPECT_FALSE(resources.loadText("missing.xml", epiCode("laya"), text));
        EXPECT_EQ(text.str(), "");

        // Only a folder source writes, and only it gives file paths.
        const bool folder = std::string(source) == "folder";
        EXPECT_EQ(resources.saveText("saved.xml", epiCode("laya"), epiText("<epi/>")), folder);
        EXPECT_EQ(temp.exists("Folder.frs/layouts/saved.xml"), folder);
        epiPath path;
        EXPECT_EQ(resources.getResourceFilePath("host.xml", epiCode("laya"), path), folder);
        EXPECT_EQ(path.str(), folder ? temp.path("Folder.frs/layouts/host.xml") : "");
        if (folder) {
            ASSERT_TRUE(resources.loadText("saved.xml", epiCode("laya"), text));
            EXPECT_EQ(text.str(), "<epi/>");
            std::filesystem::remove(temp.root() / "Folder.frs/layouts/saved.xml");
        }
    }
    EXPECT_FALSE(resources.openEmbedded(4711, nullptr)); // registered, but no pack
    EXPECT_FALSE(resources.openEmbedded(4713, nullptr)); // nothing under the id
}

TEST_F(ResourcesFixture, FindAndOpenTriesTheCandidatesInOrder)
{
    // Every candidate holds a source whose marker names it; each round
    // removes the one that opened, so the next shows itself.
    const char* candidates[] = {
        "app/Product.frs",
        "app/Product.prs",
        "app/Product.app/Contents/Resources/Product.frs",
        "app/Product.app/Contents/Resources/Product.prs",
        "Resources/Product.frs",
        "Resources/Product.prs",
    };
    for (const char* candidate : candidates) {
        const std::string c = candidate;
        if (c.ends_with(".frs"))
            temp.write(c + "/epi.frs", kMarker);
        else
            temp.write(c, packBytes());
    }
    for (const char* candidate : candidates) {
        ASSERT_TRUE(resources.findAndOpen(nullptr, "Product")) << candidate;
        EXPECT_TRUE(std::filesystem::equivalent(resources.source()->getBasePath().toNative(&app),
                                                temp.path(candidate)));
        resources.closeSource();
        std::filesystem::remove_all(temp.root() / candidate);
    }
    EXPECT_FALSE(resources.findAndOpen(nullptr, "Product"));
}

TEST_F(ResourcesFixture, WithTheProgramsPackNoDiskCandidateIsOpened)
{
    writeFolder(temp, "app/Product.frs");
    const std::string packed = packBytes("<epi>linked</epi>");
    platform::EmbeddedBlobRegistration linked(epiResources::kEmbeddedPackId, packed.data(),
                                              packed.size());
    ASSERT_TRUE(resources.findAndOpen(nullptr, "Product"));
    EXPECT_FALSE(resources.isFolderSource());
    epiText marker;
    ASSERT_TRUE(resources.loadText("epi.frs", epiCode("none"), marker));
    EXPECT_EQ(marker.str(), "<epi>linked</epi>");
    EXPECT_TRUE(resources.openEmbedded(0, nullptr)); // id 0 is the program's pack
}

} // namespace
