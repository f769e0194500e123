#pragma once

#include "hostfw/ui/epiUbo.h"

#include <string>
#include <vector>

// A container stand-in until the container classes exist: it takes children
// and records what reaches it as the top of a tree (invalidations, lines and
// commands).
struct TestContainer : epiUbo {
    bool canHaveChildren() const override { return true; }
    void invalidate(const epiRect& rect) override
    {
        if (getParent())
            epiUbo::invalidate(rect);
        else
            invalidated.push_back(rect);
    }
    void drawLine(int x1, int y1, int x2, int y2, const epiRect& clip, const epiColor& colour,
                  int width) override
    {
        if (getParent())
            epiUbo::drawLine(x1, y1, x2, y2, clip, colour, width);
        else
            lines.push_back(epiRect(x1, y1, x2, y2));
    }
    bool onCommand(epiFourCC id) override
    {
        commands.push_back(id);
        return epiUbo::onCommand(id);
    }
    std::vector<epiRect> invalidated;
    std::vector<epiRect> lines;
    std::vector<epiFourCC> commands;
};

// A widget stand-in that keeps a value and records its events.
struct TestWidget : epiUbo {
    void setValue(int v) override { value = v; }
    int getValue() const override { return value; }
    void onMouseDown(const epiPoint& point) override
    {
        presses.push_back(point);
        if (capturesOnPress)
            captureMe();
        epiUbo::onMouseDown(point);
    }
    void onTrackedMove(const epiPoint& point) override
    {
        ++trackedMoves;
        epiUbo::onTrackedMove(point);
    }
    void onKeyDown(int code) override
    {
        keys.push_back(code);
        epiUbo::onKeyDown(code);
    }
    void onVisibilityChanged() override { ++visibilityChanges; }
    void create() override
    {
        events.push_back("create");
        epiUbo::create();
    }
    void open() override
    {
        events.push_back("open");
        epiUbo::open();
    }
    void onReady() override { events.push_back("ready"); }

    int value = 0;
    bool capturesOnPress = false;
    std::vector<epiPoint> presses;
    int trackedMoves = 0;
    std::vector<int> keys;
    int visibilityChanges = 0;
    std::vector<std::string> events;
};

// A container widget (for deeper trees).
struct TestPanel : TestWidget {
    bool canHaveChildren() const override { return true; }
};

// Records the keys broadcast to it.
struct TestListener : epiUbo {
    void onMessage(epiFourCC key, epiUbo*, void*) override { heard.push_back(key); }
    std::vector<epiFourCC> heard;
};

inline ::testing::AssertionResult frameIs(const epiRect& rect, int l, int t, int r, int b)
{
    if (rect.equalsEdges(l, t, r, b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << rect.left << ", " << rect.top << ", "
                                         << rect.right << ", " << rect.bottom << ")";
}
