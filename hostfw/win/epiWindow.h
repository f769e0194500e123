#pragma once

#include "hostfw/core/epiPath.h"
#include "hostfw/win/epiUiEventsBase.h"

#include <functional>
#include <memory>
#include <string>

class epiApplication;

// The top-level window of the host: a layout describes it, window attributes
// (four-character flags) choose what the window manager shows, and the window
// manager keeps every open window as one of its children. Its frame is the
// client area in screen coordinates; its bounds are (0, 0, width, height).
// A menu bar sits in a strip above the client area, outside both.
class epiWindow : public epiUiEventsBase {
public:
    // The window attributes.
    struct Flags {
        bool modal = false;          // 'Modl'
        bool menuBar = false;        // 'mBar'
        bool autoPlace = true;       // 'aupo'
        bool resizeX = true;         // 'RszX'
        bool resizeY = true;         // 'RszY'
        bool minimizeBox = true;     // 'Zoma'
        bool closeBox = true;        // 'Clsa'
        bool plain = false;          // 'Plai'
        bool frame = false;          // 'Fram'
        bool maximised = false;      // 'OZoo'
        bool greyBackground = false; // 'grBk'
        bool blackBackground = false;
        bool noBackground = false; // 'noBk'
        bool acceptsFiles = false; // 'ReDr'
        epiPoint minSize;          // 'MszX', 'MszY'
        epiPoint maxSize;          // 'XszX', 'XszY'
        epiFourCC parentId = 0;    // 'Pare'
    };

    epiWindow();
    ~epiWindow() override;

    epiFourCC getKind() const override { return epiCode("iWin"); }
    bool canHaveChildren() const override { return true; }

    // Registers with the window manager and makes the native window (null
    // when that fails; every later native call is then skipped).
    void create() override;
    void open() override;
    void close() override;
    void exit() override;
    void closeIfOpen() { close(); }
    void setRect(const epiRect& rect) override;
    void onTextChanged() override;
    void setAttribute(epiFourCC code, std::intptr_t value) override;

    // Nested: the first disable disables the native window, the matching
    // last enable enables it again.
    void setWindowEnabled(bool enable) override;
    int disableCount() const { return disableCount_; }

    virtual void onOpened() {}
    virtual void onActivated() {}
    virtual void onDeactivated() {}
    // The modifier keys as the keyboard service saw them last.
    bool isShiftDown() const;
    bool isControlDown() const;
    bool isAltDown() const;
    bool isMetaDown() const;
    virtual void onFileDropped(const epiPath&) {}
    virtual void onFileDroppedAt(const epiPath& path, const epiPoint&) { onFileDropped(path); }

    // Places the window by a code ('aler', 'dpLT', 'dpRT', 'paCe', 'paLT',
    // 'paRT', 'paRB', 'paLB') against the reference window's frame, or the
    // window manager's area less 10 on each side without one.
    void place(epiFourCC code, const epiWindow* reference, int dx, int dy);
    void placeRelativeTo(void* ignored, epiFourCC code, int dx, int dy, epiFourCC windowId);
    // init, attach, id, create, open; true when a native window opened.
    bool openAs(epiApplication* application, epiFourCC id);
    void setWindowValue(std::int32_t value) { windowValue_ = value; }
    std::int32_t windowValue() const { return windowValue_; }
    // An all-zero frame becomes (50, 50, 250, 150).
    void ensureDefaultRect();
    // Fits a proposed client rectangle to the size attributes, keeping its
    // left and top; true when it changed anything.
    bool constrainSize(epiRect& proposed, const epiRect& current) const;

    // Makes the strip's content of every window that shows a menu bar, once
    // its native window exists; none: the strip stays empty. Returns the
    // factory installed before.
    using StripFactory = std::function<std::unique_ptr<epiWindowStrip>(epiWindow&)>;
    static StripFactory setStripFactory(StripFactory factory);

    const Flags& flags() const { return flags_; }
    // What the native window is asked for, from the attributes.
    platform::ui::WindowOptions nativeOptions() const;
    const std::string& windowClassName() const { return className_; }
    epiUbo* previousWindow() const { return previousWindow_; }

    // The window layer's reports.
    void moved(int x, int y) override;
    void resized(int width, int height) override;
    void closeRequested() override;
    void focusChanged(bool focused) override;
    void filesDropped(const std::vector<std::string>& paths, int x, int y) override;

private:
    Flags flags_;
    std::int32_t windowValue_ = 0;
    int disableCount_ = 0;
    epiUbo* previousWindow_ = nullptr;
    epiUbo* owner_ = nullptr;
    std::string className_;
};
