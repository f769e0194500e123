#include "SettingsFixture.h"

#include "platform/MessageBox.h"
#include "platform/PluginModuleLoader.h"
#include "platform/Settings.h"

#include <dlfcn.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

using namespace platform;

namespace {

class LoaderTest : public test::SettingsRootTest {
protected:
    void SetUp() override
    {
        SettingsRootTest::SetUp();
        log = (root / "stub.log").string();
        ::setenv("STUB_LOG", log.c_str(), 1);
        previous = setMessageHandler(
            [this](const std::string& text, const std::string& caption, int kind) {
                messages.push_back(caption + "|" + text + "|" + std::to_string(kind));
                return true;
            });
    }
    void TearDown() override
    {
        setMessageHandler(previous);
        ::unsetenv("STUB_LOG");
        SettingsRootTest::TearDown();
    }

    std::string events() const
    {
        std::ifstream file(log);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    static bool stillLoaded(const char* path)
    {
        void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
        if (handle)
            dlclose(handle);
        return handle != nullptr;
    }

    std::string log;
    std::vector<std::string> messages;
    MessageHandler previous;
    const std::string installError =
        "Registry error|Please ensure this product has been installed properly|0";
};

} // namespace

TEST_F(LoaderTest, LoadsAcquiresOnceAndReleasesOnUnload)
{
    writeRegistryString("BorvanQom", "DUZ2Path", STUB_COUNTING_PATH);
    PluginModuleLoader loader;
    ASSERT_TRUE(loader.load("BorvanQom"));
    EXPECT_NE(loader.getPlugInTable(), nullptr);
    EXPECT_EQ(events(), "load 0\nacquire 1\n");

    ASSERT_TRUE(loader.load("BorvanQom")); // loading again releases first
    EXPECT_EQ(events(), "load 0\nacquire 1\nrelease 0\nunload 0\nload 0\nacquire 1\n");

    EXPECT_NE(loader.release(), 0);
    EXPECT_FALSE(loader.isLoaded());
    EXPECT_FALSE(stillLoaded(STUB_COUNTING_PATH));
    EXPECT_EQ(loader.release(), 0); // nothing loaded
    EXPECT_TRUE(messages.empty());
}

TEST_F(LoaderTest, EveryFailureShowsOneInstallErrorAndLeavesNothingLoaded)
{
    const std::string notALibrary = (root / "notes.raz").string();
    std::ofstream(notALibrary) << "not a library";
    const struct {
        const char* name;
        const char* path; // null: no "DUZ2Path" at all
        const char* events;
    } cases[] = {
        {"no path", nullptr, ""},
        {"not a library", notALibrary.c_str(), ""},
        {"missing file", "/nonexistent/Zq_BorvanRAZ.raz", ""},
        {"no DUZ2Acquire", STUB_NO_ACQUIRE_PATH, "load 0\nunload 0\n"},
        {"null table", STUB_NULL_TABLE_PATH, "load 0\nacquire 1\nunload 0\n"},
    };
    for (const auto& c : cases) {
        messages.clear();
        std::remove(log.c_str());
        const std::string key = std::string("Product ") + c.name;
        if (c.path)
            writeRegistryString(key, "DUZ2Path", c.path);
        PluginModuleLoader loader;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(loader.load(key)) << c.name;
        const std::string diagnostics = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(loader.isLoaded()) << c.name;
        EXPECT_EQ(messages, std::vector<std::string>{installError}) << c.name;
        EXPECT_EQ(events(), c.events) << c.name;
        EXPECT_FALSE(diagnostics.empty()) << c.name;
        if (c.path) {
            EXPECT_FALSE(stillLoaded(c.path)) << c.name;
        }
    }
}

// A "DUZ2Path" that is a FIFO, a folder, a link loop or an unreadable file
// ends the load at once with the install error, the value and the reason
// named on standard error.
TEST_F(LoaderTest, AnUnreadableModulePathEndsTheLoadAtOnceNamingTheValue)
{
    for (const char* kind : kUnreadableKinds) {
        if (!plantUnreadable("BorvanQom", "DUZ2Path", kind))
            continue;
        SCOPED_TRACE(kind);
        messages.clear();
        PluginModuleLoader loader;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(loader.load("BorvanQom"));
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(loader.isLoaded());
        EXPECT_EQ(messages, std::vector<std::string>{installError});
        EXPECT_NE(said.find("\"DUZ2Path\" cannot be read: "), std::string::npos) << said;
    }
}

TEST_F(LoaderTest, AModuleWithoutReleaseStillUnloads)
{
    writeRegistryString("BorvanQom", "DUZ2Path", STUB_NO_RELEASE_PATH);
    PluginModuleLoader loader;
    ASSERT_TRUE(loader.load("BorvanQom"));
    EXPECT_NE(unloadPlugIn(loader), 0);
    EXPECT_EQ(events(), "load 0\nacquire 1\nunload 0\n");
    EXPECT_FALSE(stillLoaded(STUB_NO_RELEASE_PATH));
}

TEST_F(LoaderTest, ModulesKnowTheirOwnFile)
{
    void* stub = dlopen(STUB_COUNTING_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(stub, nullptr);
    auto ownFile = reinterpret_cast<int (*)(char*, int)>(dlsym(stub, "StubOwnFile"));
    ASSERT_NE(ownFile, nullptr);
    char path[4096] = {};
    ownFile(path, sizeof path);
    EXPECT_EQ(std::filesystem::canonical(path), std::filesystem::canonical(STUB_COUNTING_PATH));
    EXPECT_EQ(dlsym(stub, "StubHidden"), nullptr);
    dlclose(stub);
}

TEST(LoadableModules, ExportOnlyTheirListedSymbols)
{
    const struct {
        const char* path;
        std::set<std::string> exports;
    } cases[] = {
        {STUB_COUNTING_PATH, {"DUZ2Acquire", "DUZ2Release", "StubOwnFile"}},
        {STUB_NULL_TABLE_PATH, {"DUZ2Acquire", "DUZ2Release"}},
        {STUB_NO_ACQUIRE_PATH, {"DUZ2Release"}},
        {STUB_NO_RELEASE_PATH, {"DUZ2Acquire"}},
    };
    for (const auto& c : cases) {
        const std::string command = std::string("nm -D --defined-only '") + c.path + "'";
        FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::set<std::string> defined;
        char line[512];
        while (std::fgets(line, sizeof line, pipe)) {
            std::istringstream fields(line);
            std::string address, type, name;
            fields >> address >> type >> name;
            if (!name.empty())
                defined.insert(name.substr(0, name.find('@')));
        }
        EXPECT_EQ(::pclose(pipe), 0);
        EXPECT_EQ(defined, c.exports) << c.path;
    }
}
