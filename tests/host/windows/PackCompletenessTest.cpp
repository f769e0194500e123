#include <gtest/gtest.h>

#include "tests/host/windows/HostApp.h"

#include "host/player/ejpPlayerView.h"
#include "hostfw/core/epiFileDump.h"
#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/gfx/epiFonts.h"
#include "hostfw/res/epiResources.h"
#include "hostfw/res/epiXmlChunk.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// The program's pack is complete: every layout it carries builds, item by
// item, into objects of the kinds it names inside the windows the host opens;
// every image and font a layout names resolves; every image decodes and the
// click is there.

namespace {

using test::HostApp;

class PackCompleteness : public test::HostAppTest {};

std::vector<std::string> packFiles(epiResources& resources)
{
    epiText all;
    resources.listResources(epiCode("none"), all, true);
    std::vector<std::string> names;
    epiText line;
    for (std::size_t i = 0; i < all.countLines(); ++i) {
        all.getLineInto(i, line);
        names.push_back(line.str());
    }
    return names;
}

// The children of one element of that name, in document order.
std::vector<epiXmlChunk> elements(const epiXmlChunk& parent, const char* name)
{
    std::vector<epiXmlChunk> found;
    epiXmlChunkEnumerator walk(parent);
    walk.setName(name);
    epiXmlChunk content, tag;
    while (walk.next(content, tag))
        found.push_back(content);
    return found;
}

// Compares built objects with the layouts they were built from.
struct LayoutCheck {
    explicit LayoutCheck(epiResources& r) : resources(r) {}

    // The layout's items under built, and the layouts their 'chil' names.
    void check(epiUbo& built, const std::string& layout)
    {
        visited.insert(layout);
        epiText& text = documents[layout];
        if (!resources.loadText(layout.c_str(), epiCode("laya"), text)) {
            faults.push_back(layout + ": not in the pack");
            return;
        }
        epiXmlChunk root;
        root.setText(text);
        const epiXmlChunk content = root.getChild("epi").getChild("content");
        checkAttributes(content, layout, "(content)");
        std::map<epiFourCC, int> seen;
        for (const epiXmlChunk& item : elements(content.getChild("itemslist"), "item")) {
            const epiText name = item.getChild("name").getText();
            const epiText kind = item.getChild("kind").getText();
            const std::string where = layout + ": " + name.str() + " (" + kind.str() + ")";
            const epiFourCC id = name.toFourCC();
            // Items may share a name: the n-th of them is the n-th child so named.
            int wanted = seen[id]++;
            epiUbo* child = nullptr;
            for (epiUbo* candidate : built.children())
                if (candidate->getId() == id && wanted-- == 0) {
                    child = candidate;
                    break;
                }
            if (!child) {
                faults.push_back(where + ": skipped");
                continue;
            }
            // An unknown kind would have made a plain object.
            if (kind.toFourCC() != epiCode("ubob") && child->getKind() == epiCode("ubob"))
                faults.push_back(where + ": built as a plain object");
            checkAttributes(item, layout, name.str());
            for (const epiXmlChunk& attribute : elements(item.getChild("attributes"), "attribute"))
                if (attribute.getChild("name").getText().str() == "chil")
                    check(*child, attribute.getChild("value").getText().str());
        }
    }

    void checkAttributes(const epiXmlChunk& element, const std::string& layout,
                         const std::string& item)
    {
        static const std::set<std::string> imageCodes = {"irOf", "irOn", "ipOf",
                                                         "ipOn", "irDi", "disb"};
        for (const epiXmlChunk& attribute : elements(element.getChild("attributes"), "attribute")) {
            const std::string code = attribute.getChild("name").getText().str();
            const epiText value = attribute.getChild("value").getText();
            const std::string where = layout + ": " + item + " " + code + " " + value.str();
            if (imageCodes.count(code)) {
                ++images;
                if (!resources.getImage(value))
                    faults.push_back(where + ": no such image");
            } else if (code == "teFo") {
                ++fonts;
                testing::internal::CaptureStdout();
                const bool found = resources.fonts().getFont(value.toFourCC()) != nullptr;
                testing::internal::GetCapturedStdout();
                if (!found)
                    faults.push_back(where + ": no such font");
            }
        }
    }

    epiResources& resources;
    std::map<std::string, epiText> documents;
    std::set<std::string> visited;
    std::vector<std::string> faults;
    int images = 0;
    int fonts = 0;
};

std::string joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    return all;
}

TEST_F(PackCompleteness, EveryLayoutBuildsEveryItemAndItsImagesAndFontsResolve)
{
    installStub();
    HostApp app;
    app.start();
    app.settle();
    vphoHostWindow* host = app.host();
    ASSERT_NE(host, nullptr);
    epiResources& resources = *app.getResources();
    LayoutCheck check(resources);

    check.check(*host, "host.xml");
    ASSERT_NE(host->playerView(), nullptr);
    check.check(*host->playerView(), "PlayerView.xml");

    // The other windows, each checked while it is open (the modal ones from
    // inside their own loop) and closed again.
    for (const char* layout :
         {"loading.xml", "message.xml", "nomidi/message2.xml", "midi/message2.xml", "bpmsetup.xml",
          "nomidi/audiosetup_1in2out.xml", "midi/audiosetup_1in2out.xml", "FileDialog.xml"}) {
        SCOPED_TRACE(layout);
        bool checked = false;
        epiText document;
        ASSERT_TRUE(resources.loadText(layout, epiCode("laya"), document));
        epiXmlChunk root;
        root.setText(document);
        const epiFourCC kind =
            root.getChild("epi").getChild("content").getChild("name").getText().toFourCC();
        const int hook = app.getWindowManager()->addTurnHook([&] {
            if (checked)
                return;
            if (epiUbo* window = app.getWindowManager()->findWindowByKind(kind)) {
                checked = true;
                check.check(*window, layout);
                window->close();
            }
        });
        epiUbo* window = app.openWindowFromLayout(layout);
        app.getWindowManager()->removeTurnHook(hook);
        ASSERT_NE(window, nullptr);
        if (!checked)
            check.check(*window, layout);
        window->exit();
    }
    host->closeRequested();

    EXPECT_TRUE(check.faults.empty()) << joined(check.faults);
    EXPECT_GT(check.images, 20);
    EXPECT_GT(check.fonts, 3);

    // Every layout of the pack was reached from a window.
    std::vector<std::string> unreached;
    for (const std::string& file : packFiles(resources))
        if (file.starts_with("layouts/") && !check.visited.count(file.substr(8)))
            unreached.push_back(file);
    EXPECT_TRUE(unreached.empty()) << joined(unreached);
}

TEST_F(PackCompleteness, EveryImageDecodesAndTheClickIsThere)
{
    HostApp app;
    epiResources& resources = *app.getResources();
    BorvanQomPluginLoadInfo info;
    std::string problem;
    ASSERT_TRUE(vphoOpenResourcePack(resources, info, "/", problem)) << problem;
    int images = 0;
    for (const std::string& file : packFiles(resources)) {
        if (!file.starts_with("images/"))
            continue;
        ++images;
        epiBitmap* image = resources.getImage(epiText(file.substr(7).c_str()));
        ASSERT_NE(image, nullptr) << file;
        EXPECT_GT(image->getWidth(), 0) << file;
        EXPECT_GT(image->getHeight(), 0) << file;
    }
    EXPECT_GT(images, 50);
    epiFileDump click;
    ASSERT_TRUE(resources.loadData("data/metronome_click.raw", epiCode("none"), click));
    // 16-bit samples, a few milliseconds at least.
    EXPECT_EQ(click.getSize() % 2, 0u);
    EXPECT_GT(click.getSize(), 200u);
}

} // namespace
