#include "hostfw/core/epiApplicationObject.h"
#include "hostfw/core/epiPath.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/TempFolder.h"

namespace {

TEST(Path, NamesAndFoldersAsATable)
{
    struct Case {
        std::string got;
        const char* expected;
    };
    auto parent = [](const char* p) {
        epiPath path(p);
        path.toParentFolder();
        return path.str();
    };
    auto slash = [](const char* p) {
        epiPath path(p);
        path.ensureTrailingSlash();
        return path.str();
    };
    auto cut = [](const char* p) {
        epiPath path(p);
        path.cutToFolder();
        return path.str();
    };
    const Case cases[] = {
        {parent("a/b/c/"), "a/b/"},
        {parent("a/b/f.txt"), "a/"},
        {cut("a/b/f.txt"), "a/b/"},
        {cut("f.txt"), ""},
        {epiPath("a/b/").getFileName().str(), "b"},
        {epiPath("a/b/f.txt").getFileName().str(), "f.txt"},
        {epiPath("readme").getExtension().str(), "readme"},
        {epiPath("x.tar.gz").getExtension().str(), "gz"},
        {epiPath("x.tar.gz").getNameWithoutExtension().str(), "x.tar"},
        {epiPath("dir/readme").getNameWithoutExtension().str(), "readme"},
        {slash(""), ""},
        {slash("a"), "a/"},
        {slash("a/"), "a/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected);

    epiPath image("images/knob.png");
    image.insertBeforeExtension("_alpha");
    EXPECT_EQ(image.str(), "images/knob_alpha.png");
    epiPath pack("res/Product.frs");
    pack.replaceExtension("prs");
    EXPECT_EQ(pack.str(), "res/Product.prs");

    EXPECT_TRUE(epiPath("/x").isAbsolute());
    EXPECT_FALSE(epiPath("x/").isAbsolute());
    EXPECT_FALSE(epiPath("").isAbsolute());
    EXPECT_TRUE(epiPath("x/").isFolder());
}

struct Application : epiApplicationObject {
    bool getApplicationPath(epiText& folder) const override
    {
        folder.assign(path.c_str());
        return true;
    }
    std::string path;
};

TEST(Path, ARelativePathResolvesAgainstTheApplicationFolder)
{
    testsupport::TempFolder temp;
    temp.write("data/x.raw", "x");
    Application app;
    app.path = temp.path();

    EXPECT_EQ(epiPath("data/x.raw").toNative(&app), temp.path("data/x.raw"));
    EXPECT_EQ(epiPath("/abs/y").toNative(&app), "/abs/y");
    EXPECT_EQ(epiPath("data/x.raw").toNative(), "data/x.raw"); // no application: as it is
    // Drive notation has no meaning here: such a path stays as it is.
    epiPath drive;
    drive.fromNative("/Volumes/C/Data/x.png");
    EXPECT_EQ(drive.toNative(&app), "/Volumes/C/Data/x.png");

    // Long names format and resolve whole.
    const epiPath longPath(std::string(5000, 'd') + "/f.x");
    EXPECT_EQ(longPath.toNative(&app), temp.path() + longPath.str());
    epiText formatted;
    formatted.formatEpi("open %t", &longPath);
    EXPECT_EQ(formatted.str(), "open " + longPath.str());

    epiApplicationObject::setProgramApplication(&app);
    EXPECT_TRUE(epiPath("data/x.raw").exists());
    EXPECT_FALSE(epiPath("data/y.raw").exists());
    const std::string native = temp.path("data/x.raw");
    EXPECT_EQ(epiPath("data/x.raw").toNativeWide(), std::u16string(native.begin(), native.end()));
    EXPECT_TRUE(epiPath("data/x.raw").deleteFile());
    EXPECT_FALSE(temp.exists("data/x.raw"));
    epiApplicationObject::setProgramApplication(nullptr);
}

TEST(Path, DialogsChangeThePathOnlyWhenAnswered)
{
    epiPath path("/songs/take.wav");
    EXPECT_FALSE(path.askOpenFile()); // nobody to ask
    EXPECT_EQ(path.str(), "/songs/take.wav");

    std::vector<epiFileDialogKind> asked;
    bool answer = false;
    const epiFileDialogPresenter before =
        setFileDialogPresenter([&](epiFileDialogKind kind, epiPath& chosen) {
            asked.push_back(kind);
            chosen = epiPath("/songs/other.wav"); // a cancelled dialog may leave edits behind
            return answer;
        });
    EXPECT_FALSE(path.askSaveFile());
    EXPECT_EQ(path.str(), "/songs/take.wav");
    answer = true;
    EXPECT_TRUE(path.askOpenFile());
    EXPECT_EQ(path.str(), "/songs/other.wav");
    EXPECT_EQ(asked, (std::vector{epiFileDialogKind::save, epiFileDialogKind::open}));
    setFileDialogPresenter(before);
}

} // namespace
