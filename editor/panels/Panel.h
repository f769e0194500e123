#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <boost/signals2/connection.hpp>

#include "editor/binding/UnitGUI.h"

namespace Zq::BorvanRAZ::Document {
class Rig;
}

namespace Zq::BorvanRAZ::GUI {

class Main;
class AdapterStaticTextMeter;

// Base of every panel of the editor: a unit view built from one layout below
// a parent widget, with the editor root and a refresh that the root's timer
// drives. A parent panel builds its sub-panels in named areas of its own
// layout and owns them, so a lookup that throws later in its constructor
// takes them off the screen with it.
class Panel : public Application::DocView::UnitGUI {
public:
    Panel(Main& root, Application::GUI::Widget* parent, const std::string& layoutName);
    ~Panel() override;

    // Every timer tick of the editor, under the document lock.
    virtual void update() {}

    Main& getRoot() const noexcept { return root_; }

    // Binds a delay's note value to a text, like the unit view's binders.
    AdapterStaticTextMeter* addStaticTextMeter(Application::Widgets::StaticText* text,
                                               Application::DocView::Parameter* parameter);
    Document::Rig& getDocument() const;

    // A panel waiting for its deletion must not act any more: its adapters
    // pass nothing, its own connections are cut and its widgets are hidden,
    // with those of its sub-panels. Idempotent.
    void makeInert();
    bool isInert() const noexcept { return inert_; }

protected:
    // Connects a handler whose life is the panel's, cut by makeInert.
    template <class Signal, class Slot> void connect(Signal& signal, Slot&& slot)
    {
        connections_.emplace_back(signal.connect(std::forward<Slot>(slot)));
    }

    // Builds a sub-panel inside the named area of this panel's layout and
    // registers it for makeInert. Lookup failures propagate.
    template <class P, class... Args>
    std::unique_ptr<P> buildIn(const std::string& area, Args&&... args)
    {
        Application::GUI::Widget* widget = nullptr;
        find(area, widget);
        auto panel = std::make_unique<P>(root_, widget, std::forward<Args>(args)...);
        subPanels_.push_back(panel.get());
        return panel;
    }
    // A sub-panel built elsewhere (a dialog over the editor), and one that
    // goes before its parent.
    void adoptSubPanel(Panel* panel) { subPanels_.push_back(panel); }
    void forgetSubPanel(Panel* panel);

private:
    Main& root_;
    std::vector<boost::signals2::scoped_connection> connections_;
    std::vector<Panel*> subPanels_;
    bool inert_ = false;
};

// The module identifiers of the editor's module switch.
enum ModuleId : int { NoModule = 0, TunerId = 1, StompId = 2, AmpId = 3, CabId = 4 };

// One of the four module panels shown in the editor's module area.
class Module : public Panel {
public:
    Module(int moduleId, Main& root, Application::GUI::Widget* parent,
           const std::string& layoutName);
    int getModuleId() const noexcept { return moduleId_; }

private:
    int moduleId_;
};

} // namespace Zq::BorvanRAZ::GUI
