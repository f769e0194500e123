// The built module, loaded as a host loads it: its exports, its dynamic symbol
// table and the layout of its interface objects read through raw pointers.

#include "ModuleFixtures.h"

#include <cstdio>
#include <set>
#include <string>

namespace {

class LoadedModuleTest : public test::PlugInTest {
protected:
    void SetUp() override
    {
        test::PlugInTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(library.open(BORVANRAZ_MODULE_PATH));
    }
    void TearDown() override
    {
        library.close();
        test::PlugInTest::TearDown();
    }

    test::ModuleLibrary library;
    test::RecordingHost host;
};

TEST_F(LoadedModuleTest, onlyVersionOneIsServed)
{
    for (std::int32_t version : {0, 2, -1}) {
        std::int32_t served = 77;
        EXPECT_EQ(library.acquire(version, &served), nullptr) << version;
        EXPECT_EQ(served, 77) << version;
    }
    std::int32_t served = 77;
    Zq::DUZ2::PlugInTable* table = library.acquire(1, &served);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(served, 1);
    EXPECT_EQ(table->getVersion(table), 1);
    EXPECT_EQ(library.acquire(1, nullptr), table);
    library.release();
    library.release();
}

TEST_F(LoadedModuleTest, thePlugInObjectLivesUntilTheLastRelease)
{
    std::int32_t served = 0;
    Zq::DUZ2::PlugInTable* table = library.acquire(1, &served);
    ASSERT_EQ(library.acquire(1, &served), table);
    Zq::DUZ2::ProcessTable* process = table->createProcess(table, host.getHostTable(), 0);
    ASSERT_NE(process, nullptr);

    library.release();
    EXPECT_NE(table->getGUI(table, process), nullptr) << "one user is left";

    library.release(); // deletes the object with its processor and editor object
    Zq::DUZ2::PlugInTable* fresh = library.acquire(1, &served);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->getGUI(fresh, process), nullptr) << "the fresh object knows no old processor";
    fresh->destroyProcess(fresh, process);
    library.release();

    // A release too many does not leave the count below zero for the next host.
    library.release();
    Zq::DUZ2::PlugInTable* again = library.acquire(1, &served);
    Zq::DUZ2::ProcessTable* kept = again->createProcess(again, nullptr, 0);
    EXPECT_NE(again->getGUI(again, kept), nullptr);
    library.release();
}

// A host that unloads the module without releasing it or destroying its
// processors: the unload deletes them, cleanly.
TEST_F(LoadedModuleTest, unloadingWithALiveProcessorIsClean)
{
    Zq::DUZ2::PlugInTable* table = library.acquire(1, nullptr);
    ASSERT_NE(table, nullptr);
    Zq::DUZ2::ProcessTable* process = table->createProcess(table, host.getHostTable(), 0);
    ASSERT_NE(process, nullptr);
    process->setSampleRate(process, 44100.0f);
    EXPECT_EQ(::dlclose(library.handle), 0);
    library.handle = nullptr;
}

TEST_F(LoadedModuleTest, interfaceObjectsAreTheirTablesBehindAVirtualPointer)
{
    Zq::DUZ2::PlugInTable* plugIn = library.acquire(1, nullptr);
    Zq::DUZ2::ProcessTable* process = plugIn->createProcess(plugIn, host.getHostTable(), 0);
    Zq::DUZ2::GUITable* gui = plugIn->getGUI(plugIn, process);
    ASSERT_NE(gui, nullptr);
    auto minusOneWord = [](void* table) {
        return static_cast<void*>(static_cast<char*>(table) - 8);
    };

    EXPECT_EQ(test::word(plugIn, 4), minusOneWord(plugIn));
    EXPECT_EQ(test::word(process, 29), minusOneWord(process));
    EXPECT_EQ(test::word(process, 30), host.getHostTable());
    EXPECT_EQ(test::word(gui, 14), minusOneWord(gui));
    EXPECT_EQ(gui->getProcess(gui), process);

    // The host's object: the acquired table before its own, the module
    // handle behind the back pointer.
    Zq::DUZ2::HostTable* hostTable = host.getHostTable();
    EXPECT_EQ(test::word(hostTable, -1), nullptr);
    EXPECT_EQ(test::word(hostTable, 3), static_cast<void*>(&host));
    EXPECT_EQ(hostTable->getVersion(hostTable), 1);
    library.release();
}

TEST_F(LoadedModuleTest, onlyTheTwoExportsAreDefinedInTheDynamicSymbolTable)
{
    const std::string command = std::string("nm -D --defined-only '") + BORVANRAZ_MODULE_PATH + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        const auto last = text.find_last_of(' ');
        names.insert(text.substr(last + 1, text.find_last_not_of("\r\n") - last));
    }
    ASSERT_EQ(::pclose(pipe), 0);
    EXPECT_EQ(names, (std::set<std::string>{"DUZ2Acquire", "DUZ2Release"}));
}

} // namespace
