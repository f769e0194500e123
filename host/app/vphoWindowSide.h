#pragma once

#include "hostfw/core/epiObject.h"

#include <string>

// What the plug-in window's logic needs from its native side: the window
// itself, the status bar under the editor and the windows it opens. The
// native plug-in window implements it; tests record it.
class vphoWindowSide {
public:
    virtual ~vphoWindowSide() = default;

    // The client area the editor opens in: its X11 Window id (0 headless).
    virtual unsigned long createNativeWindow() = 0;
    virtual void destroyNativeWindow() = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual void setClientSize(int width, int height) = 0;
    // The height of the player panel's layout ("PlayerView.xml").
    virtual int playerViewHeight() = 0;
    virtual void hideLoadingWindow() = 0;
    // Opens a modal window from a layout: the audio set-up, the tempo set-up
    // or a message window.
    virtual void openWindow(epiFourCC kind, const std::string& layout) = 0;
    // Ends the message loop.
    virtual void quit() = 0;

    // The status bar ('sttu').
    virtual int statusBarHeight() = 0;
    virtual void placeStatusBar(int x, int y) = 0;
    virtual void showStatusBar(bool visible) = 0;
    virtual void setStatusText(epiFourCC id, const std::string& text) = 0;
    virtual void setStatusValue(epiFourCC id, int value) = 0;
    virtual void setStatusVisible(epiFourCC id, bool visible) = 0;
};

// The player panel and its engine as the plug-in window uses them.
class vphoPlayerLink {
public:
    virtual ~vphoPlayerLink() = default;
    // User-interface thread.
    virtual void setHostTempo(float bpm) = 0;
    virtual void setSampleRate(float hz) = 0;
    virtual void stop() = 0;
    virtual void onCharacter(int code) = 0;
    virtual bool loadFile(const char* path) = 0;
    // Audio thread: add the player's frames, the metronome's clicks.
    virtual void mix(float* left, float* right, int frames) = 0;
    virtual void mixClicks(float* left, float* right, int frames) = 0;
};
