#include "WidgetFixture.h"

#include <climits>
#include <stdexcept>

#include <tinyxml.h>

#include "editor/resources/PlugInResourceProvider.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/DragIcon.h"
#include "editor/widgets/EditText.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/LayoutManager.h"
#include "editor/widgets/Menu.h"
#include "editor/widgets/MultiStateButton.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/RadioButton.h"
#include "editor/widgets/RadioGroup.h"
#include "editor/widgets/Slider.h"
#include "editor/widgets/StaticImage.h"
#include "editor/widgets/StaticText.h"
#include "editor/widgets/Window.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempFolder.h"

namespace Zq::Application::Graphics {
inline bool operator==(const BasicPoint<int>& a, const BasicPoint<int>& b)
{
    return a.x == b.x && a.y == b.y;
}
} // namespace Zq::Application::Graphics

namespace test::widgets {
namespace {

using Widgets::LayoutManager;

std::string tga(int w, int h)
{
    return test::tga::file(
        {.width = static_cast<std::uint16_t>(w), .height = static_cast<std::uint16_t>(h)},
        std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, 0xFF808080u));
}

// A root with a folder of images: "Small" 4 x 6, "Wide" 10 x 3, "Strip" 8 x 40
// and the font "Font".
class LayoutTest : public WidgetFixture {
protected:
    void SetUp() override
    {
        WidgetFixture::SetUp();
        temp.write("Small.tga", tga(4, 6));
        temp.write("Wide.tga", tga(10, 3));
        temp.write("Strip.tga", tga(8, 40));
        temp.write("Font.tga", tga(16, 10));
        provider.addLocation(temp.path(""));
    }
    void TearDown() override
    {
        layout.reset();
        WidgetFixture::TearDown();
    }

    LayoutManager& load(const std::string& body, GUI::Widget* parent = nullptr)
    {
        TiXmlDocument document;
        document.Parse(body.c_str());
        layout = std::make_unique<LayoutManager>(document, parent ? parent : root.get(),
                                                 provider.getImageCache(), provider.getFontCache());
        return *layout;
    }
    LayoutManager& loadLayout(const std::string& inner, GUI::Widget* parent = nullptr)
    {
        return load("<Layout>" + inner + "</Layout>", parent);
    }
    template <class T> T* get(const std::string& name)
    {
        T* widget = nullptr;
        layout->find(name, widget);
        return widget;
    }
    bool found(const std::string& name)
    {
        GUI::Widget* widget = nullptr;
        try {
            layout->find(name, widget);
        } catch (const std::runtime_error&) {
        }
        return widget != nullptr;
    }

    testsupport::TempFolder temp;
    Res::PlugInResourceProvider provider;
    std::unique_ptr<LayoutManager> layout;
};

TEST_F(LayoutTest, valueFormsReadAsTheyShould)
{
    using Widgets::layout::parseInteger;
    using Widgets::layout::parseReal;
    const std::pair<const char*, int> integers[] = {{"12abc", 12},
                                                    {"no", 0},
                                                    {"-5", -5},
                                                    {"  +7", 7},
                                                    {"", 0},
                                                    {"99999999999", INT_MAX},
                                                    {"-99999999999", INT_MIN},
                                                    {"2147483647", INT_MAX},
                                                    {"-2147483648", INT_MIN},
                                                    {"- 3", 0}};
    for (const auto& [text, value] : integers)
        EXPECT_EQ(parseInteger(text), value) << text;

    for (const char* name : {"C", "de_DE.UTF-8"}) {
        const testsupport::ScopedLocale locale(name);
        if (!locale.active()) {
            ADD_FAILURE() << "locale " << name << " missing";
            continue;
        }
        EXPECT_FLOAT_EQ(parseReal("0.25"), 0.25f) << name;
        EXPECT_FLOAT_EQ(parseReal("-1.5e1x"), -15.0f) << name;
        EXPECT_FLOAT_EQ(parseReal("abc"), 0.0f) << name;
    }
}

TEST_F(LayoutTest, aDocumentWithoutLayoutFirstBuildsNothing)
{
    for (const char* body : {"<Panel><Group Name=\"G\"/></Panel>", "", "<!-- none -->",
                             "<layout><Group Name=\"G\"/></layout>"}) {
        load(body);
        EXPECT_FALSE(found("G")) << body;
        EXPECT_TRUE(root->getChildren().empty()) << body;
    }
}

TEST_F(LayoutTest, findThrowsForAMissingNameAndAWrongClass)
{
    loadLayout(R"(<Group Name="G" PositionX="1"/>)");
    Widgets::Knob* knob = reinterpret_cast<Widgets::Knob*>(1);
    try {
        layout->find("Nope", knob);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Widget not found");
    }
    EXPECT_EQ(knob, nullptr);
    try {
        layout->find("G", knob);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Wrong widget class");
    }
    EXPECT_NE(get<GUI::Widget>("G"), nullptr);
    EXPECT_EQ(layout->getGroup("Default"), nullptr);
}

TEST_F(LayoutTest, commonAttributes)
{
    loadLayout(R"(
        <Group Name="Twin" PositionX="1"/>
        <Group Name="Twin" PositionX="2"/>
        <Group Name="T300" ActiveThreshold="300"/>
        <Group Name="Tneg" ActiveThreshold="-5"/>
        <Group Name="Tnone"/>
        <Group Name="Hidden" Visible="no"/>
        <Group Name="Shown" Visible="1"/>
        <Group Name="Off" Enabled="0"/>
        <Group Name="Top2" TopMost="2"/>
        <Group Name="Top1" TopMost="1"/>
        <Group Name="Mask" ActiveAreaImage="Small.tga"/>
        <Group Name="NoMask" ActiveAreaImage="Missing.tga"/>
        <Group Name="" PositionX="9"/>
        <Unknown Name="U"><Group Name="UnderUnknown"/></Unknown>
        <!-- a comment -->
        text)");
    EXPECT_EQ(get<GUI::Widget>("Twin")->getPosition().x, 2);
    EXPECT_EQ(get<GUI::Widget>("T300")->getActiveThreshold(), 255);
    EXPECT_EQ(get<GUI::Widget>("Tneg")->getActiveThreshold(), 0);
    EXPECT_EQ(get<GUI::Widget>("Tnone")->getActiveThreshold(), 255);
    EXPECT_FALSE(get<GUI::Widget>("Hidden")->isVisible());
    EXPECT_TRUE(get<GUI::Widget>("Shown")->isVisible());
    EXPECT_FALSE(get<GUI::Widget>("Off")->isEnabled());
    EXPECT_FALSE(get<GUI::Widget>("Top2")->isTopMost());
    EXPECT_TRUE(get<GUI::Widget>("Top1")->isTopMost());
    EXPECT_NE(get<GUI::Widget>("Mask")->getActiveAreaImage(), nullptr);
    EXPECT_EQ(get<GUI::Widget>("NoMask")->getActiveAreaImage(), nullptr);
    EXPECT_FALSE(found("U"));
    EXPECT_FALSE(found("UnderUnknown"));
    EXPECT_EQ(root->getChildren().size(), 13u);
    EXPECT_EQ(layout->getWidgets().size(), 13u);
}

TEST_F(LayoutTest, widgetsAreBuiltFromTheirAttributes)
{
    loadLayout(R"(
        <Group Name="Panel" PositionX="10" PositionY="20" SizeW="50" SizeH="40">
          <Knob Name="Listed" Strip="Strip.tga" Frames="5" Frame0="3" Frame2="4" PositionX="0"/>
          <Knob Name="Ranged" Strip="Strip.tga" Frames="4" MinValue="-2.5" MaxValue="7.25"
                PositionX="1" PositionY="2" ColorA="511" ColorR="258" ColorG="-1" ColorB="3"/>
          <PushButton Name="NoX" Released="Small.tga"><Group Name="Child"/></PushButton>
          <PushButton Name="Largest" PositionX="5" Released="Small.tga" Pressed="Wide.tga"/>
          <PushButton Name="Sized" PositionX="5" SizeW="7" SizeH="8" Released="Small.tga"/>
          <CheckBox Name="Check" PositionX="12abc" PositionY="-7x" Checked="Wide.tga"/>
          <Slider Name="Smooth" PositionX="0" Back="Wide.tga"/>
          <Slider Name="Stepped" PositionX="0" Smooth="0" Vertical="1" MinValue="1" MaxValue="3"/>
          <StaticImage Name="ImgOnly" Image="Wide.tga"/>
          <StaticImage Name="ImgAt" Image="Wide.tga" PositionX="3" PositionY="4"/>
          <StaticImage Name="ImgRect" Image="Wide.tga" PositionX="3" SizeW="6"/>
          <StaticText Name="Label" Font="Font.tga" PositionX="1" SizeW="30" SizeH="9"
                      Alignment="2" CharWidth="6" DotOffset="2" Text="Bass" ColorR="255"/>
          <EditText Name="Edit" Font="Missing.tga"/>
          <MultiStateButton Name="Multi" PositionX="0" Image0="Small.tga" Image1="Wide.tga"/>
          <Menu Name="Menu" Font="Font.tga" PositionX="3" PositionY="4"/>
          <DragIcon Name="Icon" Image="Small.tga" PositionX="2" SizeW="9" SizeH="9"
                    ActivePosX="1" ActiveSizeW="2" ActiveSizeH="2"/>
          <Window Name="Win" PositionX="1" SizeW="20" SizeH="10" ActivePosX="0" ActiveSizeW="20"
                  ActiveSizeH="5"/>
        </Group>
        <Group Name="Far" PositionX="99999999999"/>)");
    EXPECT_EQ(get<GUI::Widget>("Far")->getPosition().x, INT_MAX);
    auto* panel = get<GUI::Widget>("Panel");
    EXPECT_EQ(panel->getRect(), (Rect{10, 20, 50, 40}));

    auto* listed = get<Widgets::Knob>("Listed");
    EXPECT_EQ(listed->getMaxValue(), 0.0f) << "one-entry list";
    EXPECT_EQ(listed->getSize(), (Point{8, 8})) << "strip width x strip height / frames";
    auto* ranged = get<Widgets::Knob>("Ranged");
    EXPECT_EQ(ranged->getMinValue(), -2.5f);
    EXPECT_EQ(ranged->getMaxValue(), 7.25f);
    EXPECT_EQ(ranged->getSize(), (Point{8, 10}));
    EXPECT_EQ(ranged->getColor(), 0xFF02FF03u);

    EXPECT_FALSE(found("NoX"));
    EXPECT_FALSE(found("Child"));
    EXPECT_EQ(get<Widgets::PushButton>("Largest")->getSize(), (Point{10, 6}));
    EXPECT_EQ(get<Widgets::AbstractButton>("Sized")->getRect(), (Rect{5, 0, 7, 8}));
    EXPECT_EQ(get<Widgets::CheckBox>("Check")->getPosition(), (Point{12, -7}));

    auto* smooth = get<Widgets::Slider>("Smooth");
    auto* stepped = get<Widgets::Slider>("Stepped");
    EXPECT_EQ(smooth->getSize(), (Point{10, 3}));
    EXPECT_TRUE(smooth->isSmooth());
    EXPECT_FALSE(smooth->isVertical());
    EXPECT_FALSE(stepped->isSmooth());
    EXPECT_TRUE(stepped->isVertical());
    EXPECT_EQ(stepped->getMinValue(), 1.0f);
    EXPECT_EQ(stepped->getMaxValue(), 3.0f);

    EXPECT_EQ(get<Widgets::StaticImage>("ImgOnly")->getRect(), (Rect{0, 0, 10, 3}));
    EXPECT_EQ(get<Widgets::StaticImage>("ImgAt")->getRect(), (Rect{3, 4, 10, 3}));
    EXPECT_EQ(get<Widgets::StaticImage>("ImgRect")->getRect(), (Rect{3, 0, 6, 0}));
    EXPECT_EQ(get<Widgets::StaticImage>("ImgOnly")->getColor(), 0xFFFFFFFFu);

    auto* label = get<Widgets::StaticText>("Label");
    EXPECT_EQ(label->getText(), "Bass");
    EXPECT_NE(label->getFont(), nullptr);
    EXPECT_EQ(label->getAlignment(), 2);
    EXPECT_EQ(label->getCharacterWidth(), 6);
    EXPECT_EQ(label->getDotOffset(), 2);
    EXPECT_EQ(label->getTextColor(), 0xFFFF0000u);
    auto* edit = get<Widgets::EditText>("Edit");
    EXPECT_EQ(edit->getText(), "");
    EXPECT_EQ(edit->getFont(), nullptr);

    auto* multi = get<Widgets::MultiStateButton>("Multi");
    EXPECT_EQ(multi->getSize(), (Point{10, 6}));

    auto* menu = get<Widgets::Menu>("Menu");
    EXPECT_EQ(menu->getParent(), root.get());
    EXPECT_EQ(menu->getPosition(), (Point{13, 24}));
    EXPECT_FALSE(menu->isVisible());
    ASSERT_EQ(layout->getMenus().size(), 1u);
    EXPECT_EQ(layout->getMenus()[0], menu);

    auto* icon = get<Widgets::DragIcon>("Icon");
    EXPECT_EQ(icon->getRect(), (Rect{2, 0, 9, 9}));
    EXPECT_EQ(icon->getDragArea(), (Rect{1, 0, 2, 2}));
    auto* window = get<Widgets::Window>("Win");
    EXPECT_EQ(window->getRect(), (Rect{1, 0, 20, 10}));
    EXPECT_EQ(window->getDragArea(), (Rect{0, 0, 20, 5}));
}

TEST_F(LayoutTest, radioButtonsJoinTheirLayoutsOwnGroups)
{
    loadLayout(R"(
        <RadioButton Name="A" PositionX="0" Index="1"/>
        <RadioButton Name="B" PositionX="0" Group="Mode"/>
        <RadioButton Name="Unbuilt" Group="Ghost"/>)");
    Widgets::RadioGroup* fallback = layout->getGroup("Default");
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(get<Widgets::RadioButton>("A")->getGroup(), fallback);
    EXPECT_EQ(get<Widgets::RadioButton>("A")->getIndex(), 1u);
    EXPECT_EQ(get<Widgets::RadioButton>("B")->getGroup(), layout->getGroup("Mode"));
    EXPECT_NE(layout->getGroup("Ghost"), nullptr);
    EXPECT_FALSE(found("Unbuilt"));

    TiXmlDocument document;
    document.Parse(R"(<Layout><RadioButton Name="C" PositionX="0"/></Layout>)");
    LayoutManager other(document, root.get(), provider.getImageCache(), provider.getFontCache());
    EXPECT_NE(other.getGroup("Default"), fallback);
}

TEST_F(LayoutTest, destructionClosesEveryWidgetAndReleasesEveryLookup)
{
    auto& images = provider.getImageCache();
    auto& fonts = provider.getFontCache();
    ASSERT_NE(images.get("Small.tga"), nullptr); // a user of its own
    loadLayout(R"(
        <Group Name="G" PositionX="5" PositionY="5">
          <PushButton PositionX="0" Released="Small.tga" Pressed="Small.tga" Highlight="Nope.tga"/>
          <StaticText Font="Font.tga"/>
          <Menu Font="Font.tga"/>
        </Group>
        <Menu Name="TopMenu"/>)");
    EXPECT_EQ(images.references("Small.tga"), 3u);
    EXPECT_EQ(fonts.references("Font.tga"), 2u);
    EXPECT_EQ(root->getChildren().size(), 3u);
    layout.reset();
    manager->runPendingDeletions();
    EXPECT_TRUE(root->getChildren().empty());
    EXPECT_EQ(images.references("Small.tga"), 1u);
    EXPECT_EQ(images.references("Nope.tga"), 0u);
    EXPECT_EQ(fonts.references("Font.tga"), 0u);
    EXPECT_EQ(fonts.size(), 0u);
}

TEST_F(LayoutTest, aWidgetThatDiesFirstIsForgotten)
{
    auto parent = std::make_unique<GUI::Widget>(root.get(), Rect{0, 0, 50, 50});
    loadLayout(R"(<Group Name="G"><Group Name="Inner"/></Group><Menu Name="M"/>)", parent.get());
    get<Widgets::Menu>("M")->close();
    parent.reset();
    EXPECT_FALSE(found("G"));
    EXPECT_FALSE(found("Inner"));
    EXPECT_FALSE(found("M"));
    EXPECT_TRUE(layout->getWidgets().empty());
    EXPECT_TRUE(layout->getMenus().empty());
    layout.reset(); // closes nothing twice
}

} // namespace
} // namespace test::widgets
