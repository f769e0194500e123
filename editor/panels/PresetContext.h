#pragma once

#include <functional>
#include <string>

namespace Zq::Application::GUI {
class Widget;
}
namespace Zq::Application::Res {
class PlugInResourceProvider;
}
namespace Zq::BorvanRAZ::Document {
class Rig;
}

namespace Zq::BorvanRAZ::GUI {

// What the preset panel and its dialogs take from the editor: the resources,
// the document, the root widget (dialogs lie over the whole editor), the
// preset folder's lookup and the deferred deletion of a dialog that reported
// from inside its own click. The editor root fills it; tests fill it with
// their own lookup.
struct PresetContext {
    Application::Res::PlugInResourceProvider& provider;
    Document::Rig& document;
    Application::GUI::Widget* rootWidget = nullptr;
    // Reads the preset folder's location afresh: "PresetPath" through the
    // plug-in object, which shows the install error and answers "" without it.
    std::function<std::string()> presetPath;
    // The product's settings key, under which "Overwrite Preset" lives.
    std::string productKey = "BorvanQom";
    // Runs the task once the current editor event is over. Empty: a hidden
    // widget of the root carries the task and runs it when the widget
    // manager deletes it, at the end of the current event.
    std::function<void(std::function<void()>)> deleteLater;

    void later(std::function<void()> task) const;
};

// Makes the dialog's root widget ("PanelRoot") cover the whole parent with a
// dark translucent backdrop, which swallows every click meant for the editor
// below, and centres the dialog's box ("Box") on it.
void coverWithBackdrop(Application::GUI::Widget* panelRoot, Application::GUI::Widget* box);

} // namespace Zq::BorvanRAZ::GUI
