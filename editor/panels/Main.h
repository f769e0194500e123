#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <boost/signals2/connection.hpp>
#include <boost/signals2/signal.hpp>
#include <boost/signals2/trackable.hpp>

#include "editor/panels/EditorMessageBox.h"
#include "editor/panels/PresetContext.h"
#include "editor/resources/PlugInResourceProvider.h"
#include "platform/CriticalSection.h"

namespace Zq::Application::Graphics {
class Window;
}
namespace Zq::Application::Widgets {
class Root;
class StaticText;
} // namespace Zq::Application::Widgets
namespace Zq::BorvanRAZ::Document {
class Rig;
}

namespace Zq::BorvanRAZ::GUI {

class Panel;
class UpperPanel;
class LowerPanel;

// The editor of one processor: the widget tree of 851 x 510 pixels with the
// upper bar, the lower bar and the one module panel shown, and the editor
// window between open and close. It has no thread: the host's UI thread pumps
// the window through idle.
//
// Panels replaced inside a window event (a handler of the old panel may be on
// the stack) wait, inert, until the event ends; outside events they go at
// once, so that loads with the editor closed leave nothing behind.
class Main : public boost::signals2::trackable {
public:
    static constexpr int kWidth = 851;
    static constexpr int kHeight = 510;

    // What the panels read of the outside world, replaceable in tests: the
    // clock in seconds (steady by default) and the build date in the
    // compiler's form ("Jun 24 2009", today's build by default).
    struct Services {
        std::function<double()> clock;
        std::string buildDate;
    };
    // The preset folder's lookup reads "PresetPath" afresh on every call
    // (the plug-in object's, which shows the install error and answers ""
    // without it); none means no preset folder. The product key is where
    // "Overwrite Preset" lives ("BorvanQom" when empty).
    struct PresetServices {
        std::function<std::string()> presetPath;
        std::string productKey;
    };

    // Fired after every module switch with the module now shown.
    boost::signals2::signal<void(int)> moduleChanged;

    Main(Application::Res::PlugInResourceProvider& provider, Document::Rig& document,
         Services services = {}, PresetServices presets = {});
    virtual ~Main();
    Main(const Main&) = delete;
    Main& operator=(const Main&) = delete;

    std::pair<std::int32_t, std::int32_t> getSize() const { return {kWidth, kHeight}; }
    void setPosition(std::int32_t x, std::int32_t y);
    // Own mouse/keys become the negation of the argument; the new value is returned.
    bool setHostMouseEvents(bool hostDelivers);
    bool setHostKeyEvents(bool hostDelivers);
    // parent: address of the parent's X window id. Opening while open closes
    // the old window first.
    void open(void* parent);
    void close();
    // Delivers the window's pending events, its timer and its paint.
    void idle();
    void invalidate(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    void onMouseDown(std::int32_t x, std::int32_t y, std::int32_t button, std::int32_t modifiers);
    void onMouseUp(std::int32_t x, std::int32_t y, std::int32_t button, std::int32_t modifiers);
    void onMouseMove(std::int32_t x, std::int32_t y, std::int32_t modifiers);
    // True only when a widget had the keyboard focus and took the key.
    bool onKey(std::int32_t key, std::int32_t character, std::int32_t modifiers);

    // Takes the document lock; the module panel is rebuilt unless shown already.
    void showModule(int moduleId);
    int getModule() const noexcept { return current_; }

    Document::Rig& getDocument() const noexcept { return document_; }
    Application::Res::PlugInResourceProvider& getResourceProvider() const noexcept
    {
        return provider_;
    }
    Application::Widgets::Root* getRoot() const noexcept { return root_.get(); }
    const PresetContext& getPresetContext() const noexcept { return presetContext_; }
    // The lower panel's selected-value text, or a hidden text of the root's
    // when there is no lower panel: never null.
    Application::Widgets::StaticText* getSelectedValueText() const;
    // Takes the panel over and deletes it when the current event ends, inert
    // until then; outside an event at once.
    void deleteLater(std::unique_ptr<Panel> panel);
    // Seconds on the editor's clock.
    double now() const;
    const std::string& getBuildDate() const noexcept { return services_.buildDate; }

    bool isOpen() const noexcept { return window_ != nullptr; }
    Application::Graphics::Window* getWindow() const noexcept { return window_.get(); }
    bool ownsMouse() const noexcept { return ownMouse_; }
    bool ownsKeys() const noexcept { return ownKeys_; }
    std::int32_t getX() const noexcept { return x_; }
    std::int32_t getY() const noexcept { return y_; }
    UpperPanel* getUpperPanel() const noexcept { return upper_.get(); }
    LowerPanel* getLowerPanel() const noexcept { return lower_.get(); }
    Panel* getModulePanel() const noexcept { return module_.get(); }
    bool insideEvent() const noexcept { return eventDepth_ > 0; }
    std::size_t pendingCount() const noexcept { return pending_.size(); }

private:
    std::unique_ptr<Panel> buildModule(int moduleId);
    void replaceModule(std::unique_ptr<Panel> next);
    void onAmpModelChanged();
    void onCabinetModelChanged();
    void deletePending();
    void onTimer();
    void destroyWindow();
    template <class Call> void hostEvent(Call&& call);

    platform::CriticalSection* lock_;
    std::int32_t x_ = 0;
    std::int32_t y_ = 0;
    bool ownMouse_ = true;
    bool ownKeys_ = true;
    Application::Res::PlugInResourceProvider& provider_;
    Document::Rig& document_;
    Services services_;
    std::unique_ptr<Application::Widgets::Root> root_;
    // What the preset panel and its dialogs take from the editor.
    PresetContext presetContext_;
    // The editor's questions come up as X11 boxes while the window is open.
    std::optional<EditorMessageBox> messageBox_;
    Application::Widgets::StaticText* fallbackText_ = nullptr;
    std::unique_ptr<Application::Graphics::Window> window_;
    bool windowGone_ = false;
    std::vector<std::unique_ptr<Panel>> pending_;
    int eventDepth_ = 0;
    int current_ = 0;
    int previous_ = 0;
    std::unique_ptr<UpperPanel> upper_;
    std::unique_ptr<LowerPanel> lower_;
    std::unique_ptr<Panel> module_;
    std::vector<boost::signals2::scoped_connection> connections_;
};

} // namespace Zq::BorvanRAZ::GUI
