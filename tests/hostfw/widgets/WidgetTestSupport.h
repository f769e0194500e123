#pragma once

// UiTestSupport.h needs gtest declared before it.
#include <gtest/gtest.h>

#include "hostfw/app/TestApplication.h"
#include "hostfw/ui/UiTestSupport.h"
#include "hostfw/widgets/epiUiBehaviours.h"

#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/res/epiResources.h"

#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// A widget that takes whatever behaviour the test gives it and counts its
// redraw requests and hits.
struct BehaviourWidget : epiUbo {
    explicit BehaviourWidget(std::function<epiUiBehaviour*()> make, bool pressedLook = true)
        : make(std::move(make)), pressedLook(pressedLook)
    {
    }
    epiUiBehaviour* createBehaviour() override { return make(); }
    bool hasPressedLook() const override { return pressedLook; }
    void onStateChanged() override
    {
        ++stateChanges;
        epiUbo::onStateChanged();
    }
    void reportHit() override
    {
        ++hits;
        epiUbo::reportHit();
    }

    std::function<epiUiBehaviour*()> make;
    bool pressedLook;
    int stateChanges = 0;
    int hits = 0;
};

// Rectangles compared and printed in the tests' checks.
inline bool operator==(const epiRect& a, const epiRect& b)
{
    return a.equalsEdges(b.left, b.top, b.right, b.bottom);
}
inline void PrintTo(const epiRect& r, std::ostream* out)
{
    *out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

// Images by name, made in the test: blank bitmaps of the asked size.
struct TestResources : epiResources {
    epiBitmap* add(const std::string& name, int width, int height)
    {
        auto bitmap = std::make_unique<epiBitmap>();
        bitmap->create(width, height);
        epiBitmap* raw = bitmap.get();
        images[name] = std::move(bitmap);
        return raw;
    }
    epiBitmap* getImage(const epiText& name) override
    {
        auto found = images.find(name.getCStr());
        return found == images.end() ? nullptr : found->second.get();
    }
    std::map<std::string, std::unique_ptr<epiBitmap>> images;
};

// A container at the root of the tree that answers for images and records
// what its widgets draw (in its coordinates).
struct WidgetRoot : TestContainer {
    struct Drawn {
        const epiBitmap* bitmap;
        epiRect source;
        epiRect destination;
    };
    struct Text {
        epiFourCC font;
        int alignment;
        epiRect rect;
        std::string text;
        epiColor colour;
    };
    epiFourCC getKind() const override { return epiCode("iCon"); }
    epiResources* resources() const override { return const_cast<TestResources*>(&images); }
    void drawBitmap(const epiBitmap& bitmap, const epiRect& source, const epiRect& destination,
                    const epiRect&) override
    {
        drawn.push_back({&bitmap, source, destination});
    }
    void drawText(epiFourCC font, int alignment, const epiRect& rect, const epiRect&,
                  const char* text, const epiColor& colour) override
    {
        texts.push_back({font, alignment, rect, text, colour});
    }
    // Draws the child afresh and answers what it drew.
    std::vector<Drawn> drawOf(epiUbo* child)
    {
        drawn.clear();
        texts.clear();
        child->draw(child->getBounds());
        return drawn;
    }

    TestResources images;
    std::vector<Drawn> drawn;
    std::vector<Text> texts;
};

// An application with a settable clock and one container at the root whose
// children get the application (and so their behaviours) when added.
struct WidgetFixture {
    WidgetFixture()
    {
        app.init();
        root.attach(&app);
        root.setRect(epiRect(0, 0, 400, 300));
    }
    ~WidgetFixture() { root.clearChildren(); }

    // Adds a counted child placed at the rectangle (the fixture's container
    // owns it).
    template <typename Widget> Widget* add(Widget* widget, const epiRect& frame)
    {
        widget->enableReferenceCount();
        root.addChild(widget);
        widget->setRect(frame);
        widget->setVisible(true, false);
        return widget;
    }
    // Runs the message loop's timed tasks at that clock.
    void turnAt(double seconds)
    {
        app.clock = seconds;
        app.runTimedTasks();
    }

    TestApplication app;
    WidgetRoot root;
};
