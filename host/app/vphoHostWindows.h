#pragma once

#include "host/app/vphoAudioSetup.h"
#include "host/app/vphoBpmSetup.h"
#include "host/app/vphoPluginWindow.h"
#include "host/app/vphoWindowSide.h"
#include "hostfw/win/epiModalWindow.h"
#include "hostfw/win/epiUiSystemContainer.h"
#include "hostfw/win/epiWindow.h"

#include <memory>

namespace player {
class ejpPlayerView;
}
class vphoPlayerViewLink;

// The standalone host's windows on the framework: the plug-in window with the
// player panel above the editor and the status bar below it, the loading
// window, the message windows, the tempo set-up and the audio set-up window.

// The status bar under the editor ('sttu'): its children come from
// "statusbar.xml"; its 'gasc' is the input-gain control.
class vphoStatusBar : public epiUiSystemContainer {
public:
    epiUbo* createChildObject(epiFourCC kind, epiFourCC id) override;
    // An etched line parts it from the editor above.
    void draw(const epiRect& clip) override;
};

// The input-gain control: a drag up or down changes whole decibels, which the
// plug-in window hears about at once.
class vphoGainInputView : public epiUbo {
public:
    epiFourCC getKind() const override { return epiCode("gain"); }
    void setValue(int value) override;
    int getValue() const override { return logic_ ? logic_->getValue() : 0; }
    void setEnabled(bool enabled) override;
    void onMouseDown(const epiPoint& point) override;
    void onMouseDrag(const epiPoint& point) override;
    void draw(const epiRect& clip) override;

private:
    vphoGainInput* logic();
    std::unique_ptr<vphoGainInput> logic_;
    bool enabled_ = true;
};

// The plug-in window ('host', "host.xml"): the native side of
// vphoPluginWindow. The editor's client area is this window itself; the
// player panel sits at the top, the editor at (0, its height), the status
// bar under the editor.
class vphoHostWindow : public epiWindow, public vphoWindowSide {
public:
    static constexpr epiFourCC kKind = epiCode("host");

    // nativeIds: the editor gets this window's X11 id; false: 0 (headless).
    explicit vphoHostWindow(bool nativeIds = false);
    ~vphoHostWindow() override;

    vphoPluginWindow& logic() { return *logic_; }
    player::ejpPlayerView* playerView() const { return view_; }
    // The plug-in window of the application's window manager, else null.
    static vphoHostWindow* find(epiUbo& anyWindow);

    // epiWindow.
    void create() override;
    void onReady() override;
    void onOpened() override;
    void closeRequested() override;
    void onClosing() override;
    // The player's tempo ('plte', the address of a float).
    void* notify(epiFourCC code, void* data, void* argument) override;
    bool onCommand(epiFourCC id) override;
    epiUbo* createChildObject(epiFourCC kind, epiFourCC id) override;
    void onFileDropped(const epiPath& path) override;
    void onKeyDown(int code) override;
    void onKeyUp(int code) override;

    // vphoWindowSide.
    unsigned long createNativeWindow() override;
    void destroyNativeWindow() override {}
    void setTitle(const std::string& title) override;
    void setClientSize(int width, int height) override;
    int playerViewHeight() override;
    void hideLoadingWindow() override;
    void openWindow(epiFourCC kind, const std::string& layout) override;
    void quit() override;
    int statusBarHeight() override;
    void placeStatusBar(int x, int y) override;
    void showStatusBar(bool visible) override;
    void setStatusText(epiFourCC id, const std::string& text) override;
    void setStatusValue(epiFourCC id, int value) override;
    void setStatusVisible(epiFourCC id, bool visible) override;

private:
    // The tick: a timed task of the application every 0.05 s.
    struct Ticker : epiApplicationObject {
        vphoHostWindow* window = nullptr;
        void onTimedTask() override { window->logic_->onTick(); }
    };

    epiUbo* statusBar() { return getChild(epiCode("sttu")); }
    void shutDown();

    bool nativeIds_;
    std::unique_ptr<vphoPluginWindow> logic_;
    player::ejpPlayerView* view_ = nullptr;
    std::unique_ptr<vphoPlayerViewLink> link_;
    Ticker ticker_;
    int idleHook_ = 0;
    bool closing_ = false;
};

// The window shown while the plug-in window is made ('lowa', "loading.xml").
class vphoLoadingWindow : public epiWindow {
public:
    void create() override;
};

// A message with an OK button ('mesg', "message.xml", "nomidi/message2.xml").
class ejpMessage : public epiModalWindow {
public:
    void create() override;
    bool onCommand(epiFourCC id) override;
};

// The tempo set-up window ('bmse', "bpmsetup.xml") over vphoBpmSetup.
class vphoBpmSetupWindow : public epiModalWindow {
public:
    void create() override;
    void onReady() override;
    bool onCommand(epiFourCC id) override;
    vphoBpmSetup* logic() const { return logic_.get(); }

private:
    std::unique_ptr<vphoBpmSetup> logic_;
};

// The audio set-up window ('ause', "nomidi/audiosetup_1in2out.xml",
// "midi/audiosetup_1in2out.xml") over vphoAudioSetup: the window shows the
// logic's lists, rows and buttons and hands it every choice of the user.
class vphoAudioMidiSetup : public epiModalWindow {
public:
    void create() override;
    epiUbo* createChildObject(epiFourCC kind, epiFourCC id) override;
    void onReady() override;
    void onActivated() override;
    bool onCommand(epiFourCC id) override;
    // A row's 'List' or 'Enab' changed.
    void rowChanged(bool input, int row, epiFourCC control);

    vphoAudioSetup* logic() const { return logic_.get(); }
    // The row container of a table, null past the last one.
    epiUbo* row(bool input, int index) const;

private:
    // The logic's state into the controls.
    void show();

    std::unique_ptr<vphoAudioSetup> logic_;
};

// The channel tables 'InTa' and 'OuTa' and their 'Chan' rows.
class vphoAudioSetupWindowTable : public epiUiSystemContainer {
public:
    epiUbo* createChildObject(epiFourCC kind, epiFourCC id) override;
};
class vphoAudioSetupWindowChannel : public epiUiSystemContainer {
public:
    bool onCommand(epiFourCC id) override;
};

// Sets the attributes the host's modal windows share: a fixed-size sheet
// over the plug-in window.
void vphoSetModalAttributes(epiWindow& window);
