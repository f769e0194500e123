#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/AtomBytes.h" // the reference layout
#include "support/TempFolder.h"

namespace {

int runWriter(const std::string& arguments)
{
    return std::system((std::string(EPIPACK_PATH) + " " + arguments + " 2>/dev/null").c_str());
}

TEST(PackWriter, WritesFoldersAndSingleFilesBigEndianInNameOrder)
{
    testsupport::TempFolder temp;
    // Made out of order, with hidden entries the pack leaves out.
    temp.write("res/menus/main.xml", "<epi/>");
    temp.write("res/epi.frs", "marker");
    temp.write("res/Layouts/b.xml", "B");
    temp.write("res/layouts/a.xml", "a");
    temp.write("res/.hidden", "no");
    temp.write("res/images/.cache/x.png", "no");
    temp.write("gen/click.raw", std::string("\0\x01\x02", 3));

    const std::string args = "--pack " + temp.path("out.prs") + " " + temp.path("res") +
                             " /data/metronome_click.raw=" + temp.path("gen/click.raw");
    ASSERT_EQ(runWriter(args), 0);
    const std::string expected =
        atombytes::pack(true, {
                                  {"/Layouts/b.xml", "B"},
                                  {"/data/metronome_click.raw", std::string("\0\x01\x02", 3)},
                                  {"/epi.frs", "marker"},
                                  {"/layouts/a.xml", "a"},
                                  {"/menus/main.xml", "<epi/>"},
                              });
    EXPECT_EQ(temp.read("out.prs"), expected);

    // The same inputs give the same bytes; the linkable source carries them.
    ASSERT_EQ(runWriter(args + " --source " + temp.path("out.cpp") + " --id 22000"), 0);
    EXPECT_EQ(temp.read("out.prs"), expected);
    const std::string source = temp.read("out.cpp");
    EXPECT_NE(source.find("EmbeddedBlobRegistration kRegistration(22000, kPack"),
              std::string::npos);
    EXPECT_NE(source.find("0x61, 0x74, 0x6d, 0x73,"), std::string::npos);
}

TEST(PackWriter, RefusesAmbiguousInput)
{
    testsupport::TempFolder temp;
    temp.write("res/epi.frs", "marker");
    temp.write("other.frs", "other");
    const std::string pack = "--pack " + temp.path("out.prs") + " ";
    EXPECT_NE(runWriter(pack + temp.path("res") + " /epi.frs=" + temp.path("other.frs")), 0);
    EXPECT_NE(runWriter(pack + "epi.frs=" + temp.path("other.frs")), 0); // no leading "/"
    EXPECT_NE(runWriter(pack + temp.path("missing")), 0);
    EXPECT_NE(runWriter(pack + "/x=" + temp.path("missing")), 0);
    EXPECT_FALSE(temp.exists("out.prs"));
}

} // namespace
