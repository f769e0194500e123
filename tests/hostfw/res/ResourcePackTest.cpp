#include "hostfw/core/epiFileDump.h"
#include "hostfw/core/epiRamFile.h"
#include "hostfw/res/epiAtomsFile.h"
#include "hostfw/res/epiResourcePack.h"

#include <gtest/gtest.h>

#include "support/AtomBytes.h"
#include "support/LargestAllocation.h"
#include "support/TempFolder.h"

using namespace atombytes;

namespace {

const std::vector<std::pair<std::string, std::string>> kFiles = {
    {"/epi.frs", "<epi/>"},
    {"/layouts/host.xml", "<epi><content/></epi>"},
    {"/layouts/midi/audiosetup.xml", "<epi/>"},
    {"/data/empty.raw", ""},
};

// A pack read from memory, as the program's own is.
struct MemoryPack {
    explicit MemoryPack(std::string bytes) : bytes(std::move(bytes))
    {
        memory.attachBlock(static_cast<const void*>(this->bytes.data()), this->bytes.size());
        opened = atoms.attachFile(&memory, epiFile::kRead) && pack.readIndex(&atoms);
    }
    ~MemoryPack() { pack.closePack(); }
    std::string bytes;
    epiRamFile memory;
    epiAtomsFile atoms;
    epiResourcePack pack;
    bool opened = false;
};

TEST(ResourcePack, FindsNamesExactlyWithOrWithoutTheLeadingSlash)
{
    for (bool big : {true, false}) {
        MemoryPack m(pack(big, kFiles));
        ASSERT_TRUE(m.opened);
        ASSERT_EQ(m.pack.getEntryCount(), 4u);
        const epiResourcePack::fileElem* a = nullptr;
        const epiResourcePack::fileElem* b = nullptr;
        EXPECT_TRUE(m.pack.findEntry("layouts/host.xml", &a));
        EXPECT_TRUE(m.pack.findEntry("/layouts/host.xml", &b));
        EXPECT_EQ(a, b);
        EXPECT_FALSE(m.pack.findEntry("Layouts/host.xml", &a));
        EXPECT_EQ(a, nullptr);
        EXPECT_FALSE(m.pack.hasEntry("layouts/"));

        for (const auto& [name, data] : kFiles) {
            epiFileDump dump;
            ASSERT_TRUE(m.pack.extract(name.c_str(), dump)) << name;
            EXPECT_EQ(std::string(reinterpret_cast<char*>(dump.getData()), dump.getSize()), data);
        }
        epiText name;
        EXPECT_TRUE(m.pack.getEntryName(3, name));
        EXPECT_EQ(name.str(), "/data/empty.raw");
        EXPECT_FALSE(m.pack.getEntryName(4, name));
        epiFileDump dump;
        EXPECT_FALSE(m.pack.extract("missing", dump));
    }
}

TEST(ResourcePack, OpensAPackFileByPath)
{
    testsupport::TempFolder temp;
    temp.write("Product.prs", pack(true, kFiles));
    epiResourcePack p;
    ASSERT_TRUE(p.openPack(epiPath(temp.path("Product.prs"))));
    epiFileDump dump;
    EXPECT_TRUE(p.extract("epi.frs", dump));
    EXPECT_EQ(dump.getSize(), 6u);
    p.closePack();
    EXPECT_EQ(p.getEntryCount(), 0u);
    EXPECT_FALSE(p.openPack(epiPath(temp.path("missing.prs"))));
}

TEST(ResourcePack, VersionAndCount)
{
    MemoryPack v2(pack(true, kFiles, 2));
    EXPECT_FALSE(v2.opened);
    MemoryPack empty(pack(true, {}));
    EXPECT_TRUE(empty.opened);
    EXPECT_EQ(empty.pack.getEntryCount(), 0u);
}

TEST(ResourcePack, ADamagedIndexFailsAndAllocatesNothingBeyondTheFile)
{
    const bool big = true;
    const std::string whole = pack(big, kFiles);
    const std::size_t rendSize = 16; // never read
    // Copies of the input are the largest allocations a damaged pack may
    // cause; a few bytes of bookkeeping aside, nothing is sized from it.
    for (std::size_t length = 0; length + rendSize < whole.size(); ++length) {
        test::largest::Tracking tracking;
        MemoryPack m(whole.substr(0, length));
        EXPECT_FALSE(m.opened) << "cut at " << length;
        EXPECT_EQ(m.pack.getEntryCount(), 0u);
        EXPECT_LE(tracking.largestRequest(), length + 64) << length;
    }

    const std::string head =
        header(big) + number(big, epiCode("eRpk"), 1) + number(big, epiCode("sCnt"), 1);
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"a name claiming 4 GB", head + atomClaiming(big, epiCode("Name"), 0xFFFFFFFFu, "/a") +
                                     number(big, epiCode("Size"), 1) +
                                     atom(big, epiCode("Data"), "x")},
        {"no data atom", head + atom(big, epiCode("Name"), "/a") + number(big, epiCode("Size"), 1) +
                             number(big, epiCode("Rend"), 0)},
        {"data past the end", head + atom(big, epiCode("Name"), "/a") +
                                  number(big, epiCode("Size"), 100) +
                                  atomClaiming(big, epiCode("Data"), 100, "only this")},
        {"a count beyond the files",
         header(big) + number(big, epiCode("eRpk"), 1) + number(big, epiCode("sCnt"), 0xFFFFFFFFu) +
             atom(big, epiCode("Name"), "/a") + number(big, epiCode("Size"), 1) +
             atom(big, epiCode("Data"), "x")},
        {"no count", header(big) + number(big, epiCode("eRpk"), 1)},
    };
    for (const Case& c : cases) {
        test::largest::Tracking tracking;
        MemoryPack m(c.bytes);
        EXPECT_FALSE(m.opened) << c.what;
        EXPECT_EQ(m.pack.getEntryCount(), 0u) << c.what;
        EXPECT_LE(tracking.largestRequest(), c.bytes.size() + 64) << c.what;
    }
}

} // namespace
