#include "PanelFixture.h"

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "editor/panels/AmpSelector.h"
#include "editor/panels/FolderChooser.h"
#include "editor/panels/Info.h"
#include "editor/panels/MiscButtons.h"
#include "editor/panels/Preset.h"
#include "editor/panels/PresetSave.h"
#include "editor/panels/StompModule.h"
#include "editor/widgets/Menu.h"
#include "platform/Settings.h"
#include "platform/window/Png.h"

namespace test::panels {
namespace {

namespace fs = std::filesystem;

// No colour of the skin: whatever keeps it after a paint was never painted.
constexpr std::uint32_t kSentinel = 0xFFFF00FFu;

class SkinSweepTest;

// One screen of the sweep: what the editor must show, the layouts it needs
// beyond the ones every screen needs, and the clicks and values that bring it
// up on a fresh editor. A row whose layouts the skin lacks is listed and
// skipped, not failed.
struct Screen {
    const char* group;
    std::string name;
    std::vector<std::string> layouts;
    std::function<bool(SkinSweepTest&)> show; // false: the screen did not come up
};

class SkinSweepTest : public EditorTest {
public:
    // What the rows reach.
    using EditorTest::editor;
    using EditorTest::lower;
    using EditorTest::rig;
    using EditorTest::upper;

    // A fresh editor over a fresh rig from one skin source, its buffer filled
    // with the sentinel until it paints.
    void fresh(const std::string& source)
    {
        editor.reset();
        rig.loadChunk(freshChunk.data(), static_cast<std::int32_t>(freshChunk.size()));
        sources = std::make_unique<Res::PlugInResourceProvider>();
        sources->addLocation(source);
        editor = std::make_unique<Main>(
            *sources, rig, Main::Services{[this] { return seconds; }, "Jun 24 2009"},
            Main::PresetServices{[] {
                                     std::string folder;
                                     platform::readRegistryString("BorvanQom", "PresetPath",
                                                                  folder);
                                     return folder;
                                 },
                                 "BorvanQom"});
        pw::setFirstFill(kSentinel);
        open();
        pw::setFirstFill(0);
    }
    std::vector<std::uint32_t> screen()
    {
        editor->invalidate(0, 0, Main::kWidth, Main::kHeight);
        editor->idle();
        return window().screen();
    }
    Panel* module() { return editor->getModulePanel(); }
    bool clickOn(DocView::UnitGUI* panel, const std::string& name)
    {
        GUI::Widget* w = nullptr;
        if (panel)
            panel->find(name, w);
        if (!w)
            return false;
        click(w);
        return true;
    }
    bool menuShown(DocView::UnitGUI* panel, const std::string& name)
    {
        Widgets::Menu* menu = nullptr;
        if (panel)
            panel->find(name, menu);
        return menu && menu->isVisible() && menu->getItemCount() > 0;
    }
    Zq::BorvanRAZ::GUI::Preset* presetBar() { return upper().getPreset(); }
    void sweep(const std::function<bool(const std::string&)>& groups);

    std::string freshChunk;
    std::unique_ptr<Res::PlugInResourceProvider> sources;

protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        freshChunk = rig.saveChunk();
        platform::writeRegistryString("BorvanQom", "PresetPath", presetFolder.path());
        presetFolder.write("Fingers.qomp", freshChunk);
        // Sub-folders for the folder chooser's menu to list.
        presetFolder.write("Live/Gig.qomp", freshChunk);
        presetFolder.write("Studio/Take.qomp", freshChunk);
    }
    void TearDown() override
    {
        editor.reset();
        sources.reset();
        EditorTest::TearDown();
    }

    testsupport::TempFolder presetFolder;
};

bool showModule(SkinSweepTest& t, int id)
{
    t.editor->showModule(id);
    return t.module() != nullptr;
}

// Every screen the sweep draws. The cabinet rows stand ready: they run once
// the skin holds their layouts.
std::vector<Screen> screens()
{
    std::vector<Screen> rows = {
        {"modules", "tuner", {"Tuner.xml"}, [](SkinSweepTest& t) { return showModule(t, 1); }},
        {"modules", "stomps", {"Stomps.xml"}, [](SkinSweepTest& t) { return showModule(t, 2); }},
        {"modules", "amp", {}, [](SkinSweepTest& t) { return showModule(t, 3); }},
        {"cabinets",
         "cabinet",
         {"CabRKM410H.xml"},
         [](SkinSweepTest& t) { return showModule(t, 4); }},
    };
    const char* heads[] = {"AmpGN-500.xml", "AmpQ-9W.xml", "AmpRKM-Classic.xml", "AmpRKM-4PRO.xml"};
    for (int model = 0; model < 4; ++model)
        rows.push_back({"heads",
                        std::string("head-") + heads[model],
                        {heads[model]},
                        [model](SkinSweepTest& t) {
                            t.rig.getAmpModule().ampModel.setValue(static_cast<float>(model), true);
                            return showModule(t, 3);
                        }});
    // Cabinets by "CabinetModel", each with the back panel its switch opens.
    const std::pair<const char*, const char*> cabinets[] = {
        {"CabGN-500.xml", "CabBackStandard.xml"},  {"CabV9E.xml", "CabBackV9E.xml"},
        {"CabJMR410H.xml", "CabBackJMR410H.xml"},  {"CabWF212H.xml", "CabBackStandard.xml"},
        {"CabRKM410H.xml", "CabBackStandard.xml"}, {"CabRKM810E.xml", "CabBackStandard.xml"}};
    for (int model = 0; model < 6; ++model) {
        const auto [front, back] = cabinets[model];
        const auto choose = [model](SkinSweepTest& t) {
            t.rig.getCabModule().cabinetModel.setValue(static_cast<float>(model), true);
            return showModule(t, 4);
        };
        rows.push_back({"cabinets", std::string("cabinet-") + front, {front}, choose});
        rows.push_back({"cabinets",
                        std::string("cabinet-back-") + front,
                        {front, back},
                        [choose](SkinSweepTest& t) {
                            return choose(t) && t.clickOn(t.module(), "HighLevelSwitch");
                        }});
    }
    const char* pedals[] = {"StompOverdrive.xml",      "StompOctaver.xml", "StompRI1.xml",
                            "StompMemoryMan.xml",      "StompWah.xml",     "StompDynaComp.xml",
                            "StompEnvelopeFilter.xml", "StompVolume.xml"};
    for (int model = 1; model <= 8; ++model)
        rows.push_back({"pedals",
                        std::string("slot0-") + pedals[model - 1],
                        {pedals[model - 1]},
                        [model](SkinSweepTest& t) {
                            t.rig.getStompModule().stomps[0].setValue(static_cast<float>(model),
                                                                      true);
                            return showModule(t, 2);
                        }});
    for (int slot = 0; slot < 6; ++slot)
        rows.push_back(
            {"pedals", "slot" + std::to_string(slot) + "-each", {}, [slot](SkinSweepTest& t) {
                 for (int s = 0; s < 6; ++s)
                     t.rig.getStompModule().stomps[s].setValue(
                         s == slot ? static_cast<float>(1 + (slot + 2) % 8) : 0.0f, true);
                 return showModule(t, 2);
             }});
    // Three pages; the button on the last closes the box.
    for (int page = 0; page < 3; ++page)
        rows.push_back(
            {"dialogs", "info-" + std::to_string(page + 1), {"Info.xml"}, [page](SkinSweepTest& t) {
                 auto* misc = t.lower().getMiscButtons();
                 if (!t.clickOn(misc, "IButton"))
                     return false;
                 for (int i = 0; i < page; ++i)
                     t.clickOn(misc->getInfo(), "Button");
                 return misc->getInfo() != nullptr;
             }});
    rows.push_back({"dialogs", "preferences", {"Preferences.xml"}, [](SkinSweepTest& t) {
                        auto* misc = t.lower().getMiscButtons();
                        return t.clickOn(misc, "PrefButton") && misc->getPreferences() != nullptr;
                    }});
    rows.push_back({"dialogs", "save", {"PresetSave.xml"}, [](SkinSweepTest& t) {
                        return t.clickOn(t.presetBar(), "SaveAsButton") &&
                               t.presetBar()->getSaveDialog() != nullptr;
                    }});
    rows.push_back(
        {"dialogs", "chooser", {"PresetSave.xml", "FolderChooser.xml"}, [](SkinSweepTest& t) {
             if (!t.clickOn(t.presetBar(), "SaveAsButton"))
                 return false;
             auto* dialog = t.presetBar()->getSaveDialog();
             return dialog && t.clickOn(dialog, "FolderButton") && dialog->getChooser() != nullptr;
         }});
    // An open menu of each kind: presets, amp heads, pedals, folders.
    rows.push_back({"menus", "menu-presets", {}, [](SkinSweepTest& t) {
                        return t.clickOn(t.presetBar(), "PresetMenuButton") &&
                               t.menuShown(t.presetBar(), "PresetMenu");
                    }});
    rows.push_back({"menus", "menu-amps", {}, [](SkinSweepTest& t) {
                        auto* selector = t.upper().getAmpSelector();
                        return t.clickOn(selector, "AmpModelButton") &&
                               t.menuShown(selector, "AmpMenu");
                    }});
    rows.push_back({"menus", "menu-pedals", {}, [](SkinSweepTest& t) {
                        return showModule(t, 2) && t.clickOn(t.module(), "Slot0ModelButton") &&
                               t.menuShown(t.module(), "Slot0Menu");
                    }});
    rows.push_back({"menus", "menu-folders", {}, [](SkinSweepTest& t) {
                        if (!t.clickOn(t.presetBar(), "SaveAsButton"))
                            return false;
                        auto* dialog = t.presetBar()->getSaveDialog();
                        if (!dialog || !t.clickOn(dialog, "FolderButton") || !dialog->getChooser())
                            return false;
                        return t.clickOn(dialog->getChooser(), "FolderMenuButton") &&
                               t.menuShown(dialog->getChooser(), "FolderMenu");
                    }});
    return rows;
}

// Half size, two by two pixels averaged.
std::vector<std::uint32_t> half(const std::vector<std::uint32_t>& s, int w, int h)
{
    const int hw = w / 2, hh = h / 2;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(hw) * hh);
    for (int y = 0; y < hh; ++y)
        for (int x = 0; x < hw; ++x) {
            std::uint32_t sum[3] = {};
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const std::uint32_t p =
                        s[static_cast<std::size_t>(2 * y + dy) * w + 2 * x + dx];
                    sum[0] += (p >> 16) & 0xFF;
                    sum[1] += (p >> 8) & 0xFF;
                    sum[2] += p & 0xFF;
                }
            out[static_cast<std::size_t>(y) * hw + x] =
                0xFF000000u | (sum[0] / 4) << 16 | (sum[1] / 4) << 8 | (sum[2] / 4);
        }
    return out;
}

// Half-size shots of a group, four to a row, on grey.
bool writeSheet(const std::string& path, const std::vector<std::vector<std::uint32_t>>& shots)
{
    constexpr int kW = Main::kWidth / 2, kH = Main::kHeight / 2, kGap = 8, kColumns = 4;
    const int columns = std::min<int>(kColumns, static_cast<int>(shots.size()));
    const int rowsCount = (static_cast<int>(shots.size()) + kColumns - 1) / kColumns;
    const int w = columns * (kW + kGap) + kGap, h = rowsCount * (kH + kGap) + kGap;
    std::vector<std::uint32_t> sheet(static_cast<std::size_t>(w) * h, 0xFF606060u);
    for (std::size_t i = 0; i < shots.size(); ++i) {
        const int left = kGap + static_cast<int>(i % kColumns) * (kW + kGap);
        const int top = kGap + static_cast<int>(i / kColumns) * (kH + kGap);
        for (int y = 0; y < kH; ++y)
            std::copy_n(&shots[i][static_cast<std::size_t>(y) * kW], kW,
                        &sheet[static_cast<std::size_t>(top + y) * w + left]);
    }
    return pw::writePng(path, sheet.data(), w, h);
}

std::string screenshotPath(const std::string& name)
{
    fs::path dir;
    if (const char* chosen = std::getenv("RIG_SCREENSHOT_DIR"))
        dir = chosen;
    else
        dir = RIG_SCREENSHOTS;
    std::error_code ignored;
    fs::create_directories(dir, ignored);
    return (dir / name).string();
}

// The rows of the groups asked for, from the skin folder and from the pack;
// a row whose layouts the skin lacks fails, by name.
void SkinSweepTest::sweep(const std::function<bool(const std::string&)>& groups)
{
    std::map<std::string, std::vector<std::vector<std::uint32_t>>> sheets;
    for (const Screen& row : screens()) {
        if (!groups(row.group))
            continue;
        std::vector<std::string> missing;
        for (const std::string& layout : row.layouts)
            if (!fs::exists(fs::path(SKIN_DIR) / layout))
                missing.push_back(layout);
        if (!missing.empty()) {
            ADD_FAILURE() << row.name << ": the skin lacks " << missing.front();
            continue;
        }
        std::vector<std::uint32_t> shots[2];
        int source = 0;
        for (const char* from : {SKIN_DIR, SKIN_PAK}) {
            fresh(from);
            ASSERT_NE(editor->getUpperPanel(), nullptr) << row.name;
            ASSERT_NE(editor->getLowerPanel(), nullptr) << row.name;
            EXPECT_TRUE(row.show(*this)) << row.name << " did not come up (" << from << ")";
            shots[source++] = screen();
        }
        const auto& shot = shots[0];
        EXPECT_EQ(std::count(shot.begin(), shot.end(), kSentinel), 0) << row.name << ": unpainted";
        EXPECT_TRUE(shots[0] == shots[1]) << row.name << ": the pack draws another picture";
        sheets[row.group].push_back(half(shot, Main::kWidth, Main::kHeight));
    }
    for (const auto& [group, shots] : sheets)
        EXPECT_TRUE(writeSheet(screenshotPath("sweep-" + group + ".png"), shots)) << group;
}

TEST_F(SkinSweepTest, everyScreenPaintsEveryPixelTheSameFromTheFolderAndThePack)
{
    sweep([](const std::string& group) { return group != "cabinets"; });
}

// Each cabinet with its back panel opened over it.
TEST_F(SkinSweepTest, everyCabinetAndBackPanelPaintsEveryPixel)
{
    sweep([](const std::string& group) { return group == "cabinets"; });
}

} // namespace
} // namespace test::panels
