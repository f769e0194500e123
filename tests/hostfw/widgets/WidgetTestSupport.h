#pragma once

#include "hostfw/app/TestApplication.h"
#include "hostfw/ui/UiTestSupport.h"
#include "hostfw/widgets/epiUiBehaviours.h"
#include <gtest/gtest.h>

#include <functional>

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
    TestContainer root;
};
