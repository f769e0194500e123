#pragma once

#include "host/app/vphoPluginLoadInfo.h"
#include "hostfw/app/epiWindowApplication.h"

#include <memory>
#include <string>

class epiResources;
class vphoHostWindow;
namespace platform {
class EventPump;
}

// The exit code of a start without a resource pack.
inline constexpr int kNoResourcePackExit = 3;

// Opens the pack linked into the program, else a pack named after the
// product's internal name beside the program. On failure, problem names
// everything that was searched.
bool vphoOpenResourcePack(epiResources& resources, const vphoPluginLoadInfo& info,
                          const std::string& applicationFolder, std::string& problem);
// Says why on standard error and in a message box, then ends the process with
// kNoResourcePackExit: without its pack the program has no window to show.
[[noreturn]] void vphoFailWithoutResourcePack(const vphoPluginLoadInfo& info,
                                              const std::string& problem);

// The standalone host's application: opens its pack, chooses the main bar and
// opens the loading window, then the plug-in window.
class vphoApplication : public epiWindowApplication {
public:
    static vphoApplication* create() { return new vphoApplication(); }

    // Adds the kinds of the windows, containers, widgets and controls the
    // host's layouts use.
    static void registerKinds();
    // The host's windows: 'host', 'lowa', 'mesg', 'bmse', 'ause'; the rest is the
    // framework's.
    epiUbo* createWindowObject(epiFourCC kind) override;
    // Whether native windows have X11 ids the editor can open in.
    void setNativeWindowIds(bool native) { nativeIds_ = native; }
    // A plug-in window that closed has left the window manager: it goes
    // here, the others with the manager.
    void exit() override;

protected:
    void openFirstWindows() override;
    bool openResourcePack();

private:
    bool nativeIds_ = false;
    vphoHostWindow* host_ = nullptr;
    // Only while the first windows open.
    std::unique_ptr<vphoPluginLoadInfo> info_;
};

// The program's entry: runs the application on the window system (null: the
// framework's headless pump) and answers its exit code. nativeIds: the
// window system's windows are X11 windows.
int hostWinMain(int argc, char** argv, platform::EventPump* windows = nullptr,
                bool nativeIds = false);
