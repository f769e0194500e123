#include "TestApplication.h"

#include "hostfw/app/epiKeyboard.h"
#include "hostfw/app/epiMenu.h"
#include "hostfw/res/epiResources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <typeinfo>

namespace {

struct StartupTest : ::testing::Test {
    void TearDown() override { epiApplicationObject::setProgramApplication(nullptr); }
};

TEST_F(StartupTest, TheFactoryMakesTheFiveServicesAndFallsBackForUnknownKinds)
{
    TestApplication app;
    const struct {
        const char* kind;
        epiFourCC expectedKind;
    } services[] = {{"Clip", epiCode("Clip")},
                    {"Keyb", epiCode("Keyb")},
                    {"Menu", epiCode("Menu")},
                    {"Rsrc", epiCode("oApp")},
                    {"Wind", epiCode("Wind")}};
    for (const auto& service : services) {
        epiFourCC kind = 0;
        for (int i = 0; i < 4; ++i)
            kind = kind << 8 | static_cast<unsigned char>(service.kind[i]);
        std::unique_ptr<epiObject> object(app.createObject(epiCode("Appl"), kind, nullptr));
        ASSERT_NE(object, nullptr) << service.kind;
        EXPECT_EQ(object->getKind(), service.expectedKind) << service.kind;
    }
    std::unique_ptr<epiObject> resources(
        app.createObject(epiCode("Appl"), epiCode("Rsrc"), nullptr));
    EXPECT_NE(dynamic_cast<epiResources*>(resources.get()), nullptr);

    // An unknown 'Appl' kind and an unknown group give a plain object.
    for (epiFourCC group : {epiCode("Appl"), epiCode("Zzzz")}) {
        std::unique_ptr<epiObject> plain(app.createObject(group, epiCode("Nope"), nullptr));
        ASSERT_NE(plain, nullptr);
        EXPECT_EQ(typeid(*plain), typeid(epiObject));
    }

    // An unknown 'GrUi' kind gives a working plain UI object.
    std::unique_ptr<epiObject> made(app.createObject(epiCode("GrUi"), epiCode("iNon"), nullptr));
    auto* ubo = dynamic_cast<epiUbo*>(made.get());
    ASSERT_NE(ubo, nullptr);
    EXPECT_EQ(typeid(*ubo), typeid(epiUbo));
    EXPECT_EQ(ubo->getKind(), epiCode("ubob"));
    ubo->attach(&app);
    EXPECT_TRUE(ubo->init());
    EXPECT_EQ(ubo->findChild(epiCode("abcd")), nullptr);

    // A registered kind is made by its maker.
    epiWindowApplication::registerUiKind(epiCode("iTst"),
                                         []() -> epiObject* { return new RecordingWindow; });
    std::unique_ptr<epiObject> registered(
        app.createObject(epiCode("GrUi"), epiCode("iTst"), nullptr));
    EXPECT_NE(dynamic_cast<RecordingWindow*>(registered.get()), nullptr);
    epiWindowApplication::unregisterUiKind(epiCode("iTst"));
}

TEST_F(StartupTest, TheArgumentsStartWithADotAndKeepEachArgumentWhole)
{
    const char* empty[] = {"rig", nullptr};
    EXPECT_EQ(epiApplication::buildArguments(1, empty), std::vector<std::string>{"."});
    EXPECT_EQ(epiApplication::buildArguments(0, nullptr), std::vector<std::string>{"."});
    const char* some[] = {"rig", "my song.wav", "-x", nullptr};
    EXPECT_EQ(epiApplication::buildArguments(3, some),
              (std::vector<std::string>{".", "my song.wav", "-x"}));

    // The entry hands exactly these to main.
    struct ArgumentsApp : TestApplication {
        int main(int argc, char** argv) override
        {
            for (int i = 0; i < argc; ++i)
                seen.emplace_back(argv[i]);
            return 7;
        }
        std::vector<std::string> seen;
    } app;
    char program[] = "rig";
    char* argv[] = {program, nullptr};
    EXPECT_EQ(app.entry(1, argv), 7);
    EXPECT_EQ(app.seen, std::vector<std::string>{"."});
}

TEST_F(StartupTest, TheApplicationPathFollowsItsThreeRules)
{
    const std::string cwd = std::filesystem::current_path().string();
    const std::string program =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    const struct {
        const char* given;
        std::string expected;
    } cases[] = {
        {"/opt/rig/data", "/opt/rig/data/"},
        {"/opt/rig/", "/opt/rig/"},
        {".", cwd + "/"},
        {"./songs", cwd + "/songs/"},
        {"relative/name", program + "/"},
        {nullptr, program + "/"},
    };
    for (const auto& c : cases) {
        TestApplication app;
        app.setApplicationPath(c.given);
        EXPECT_EQ(app.applicationPath().str(), c.expected) << (c.given ? c.given : "null");
        // A relative path then resolves against the application's folder.
        EXPECT_EQ(epiPath("presets/a.xml").toNative(&app), c.expected + "presets/a.xml");
        EXPECT_EQ(epiPath("/etc/hosts").toNative(&app), "/etc/hosts");
    }
}

// Services that log their start and their deletion; one of them can refuse
// to start.
struct ServiceLog {
    std::vector<std::string> lines;
    std::string failing;
};

template <class Base> struct LoggedService : Base {
    LoggedService(ServiceLog& log, std::string name) : log(log), name(std::move(name)) {}
    ~LoggedService() override { log.lines.push_back("delete " + name); }
    bool init() override
    {
        log.lines.push_back("init " + name);
        return name != log.failing && Base::init();
    }
    ServiceLog& log;
    std::string name;
};

struct LoggingApp : TestApplication {
    explicit LoggingApp(ServiceLog& log) : log(log) {}
    epiObject* createObject(epiFourCC group, epiFourCC kind, void* argument) override
    {
        if (group == epiCode("Appl")) {
            switch (kind) {
            case epiCode("Rsrc"):
                return new LoggedService<epiResources>(log, "Rsrc");
            case epiCode("Wind"):
                return new LoggedService<epiWindowManager>(log, "Wind");
            case epiCode("Keyb"):
                return new LoggedService<epiKeyboard>(log, "Keyb");
            case epiCode("Menu"):
                return new LoggedService<epiMenu>(log, "Menu");
            case epiCode("Clip"):
                return new LoggedService<epiClipboard>(log, "Clip");
            default:
                break;
            }
        }
        return TestApplication::createObject(group, kind, argument);
    }
    // The first windows: here only a hook that ends the loop on its first turn.
    void openFirstWindows() override
    {
        epiWindowManager* manager = getWindowManager();
        manager->addTurnHook([manager] { manager->quit(); });
    }
    ServiceLog& log;
};

TEST_F(StartupTest, ServicesStartInOrderAndAFailedStartDeletesOnlyThoseThatExist)
{
    const std::vector<std::string> order{"Rsrc", "Wind", "Keyb", "Menu", "Clip"};
    // Deleted at exit in this order: window manager, keyboard, menu,
    // clipboard, resources.
    const std::vector<std::string> exitOrder{"Wind", "Keyb", "Menu", "Clip", "Rsrc"};
    for (std::size_t failing = 0; failing <= order.size(); ++failing) {
        ServiceLog log;
        log.failing = failing < order.size() ? order[failing] : "";
        std::vector<std::string> expected;
        for (std::size_t i = 0; i <= failing && i < order.size(); ++i)
            expected.push_back("init " + order[i]);
        if (failing < order.size())
            expected.push_back("delete " + order[failing]);
        for (const std::string& name : exitOrder) {
            const auto position = std::find(order.begin(), order.end(), name) - order.begin();
            if (static_cast<std::size_t>(position) < failing)
                expected.push_back("delete " + name);
        }
        {
            LoggingApp app(log);
            char dot[] = ".";
            char* argv[] = {dot, nullptr};
            EXPECT_EQ(app.main(1, argv), failing < order.size() ? -1 : 0) << log.failing;
            EXPECT_EQ(epiApplicationObject::programApplication(), &app);
            EXPECT_EQ(app.getWindowManager(), nullptr);
            EXPECT_EQ(app.getResources(), nullptr);
        }
        EXPECT_EQ(log.lines, expected) << "failing: " << log.failing;
        // The application does not outlive itself as the program's one.
        EXPECT_EQ(epiApplicationObject::programApplication(), nullptr);
    }
}

TEST_F(StartupTest, ASecondApplicationEndsTheProcessWithCodeOne)
{
    const auto startSecond = [] {
        TestApplication first;
        epiApplicationObject::setProgramApplication(&first);
        TestApplication second;
        char dot[] = ".";
        char* argv[] = {dot, nullptr};
        second.main(1, argv);
    };
    EXPECT_EXIT(startSecond(), ::testing::ExitedWithCode(1), "");
}

} // namespace
