#pragma once

#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/ui/epiUbo.h"
#include "platform/headless/UiTimer.h"
#include "platform/headless/WindowLayer.h"

#include <memory>

// What a window shows in the strip above its client area (the menu bar): it
// draws the strip's pixels and takes the pointer presses that land there, in
// the strip's own coordinates.
class epiWindowStrip {
public:
    virtual ~epiWindowStrip() = default;
    virtual void drawStrip(epiBitmap& strip) = 0;
    virtual void stripPointer(platform::ui::PointerAction action, int x, int y) = 0;
    // True when the strip takes the report before an open pop-up list does
    // (a press on another menu while one is open).
    virtual bool takesPointerFirst(platform::ui::PointerAction, int, int) const { return false; }
};

// The UI object that owns a native window of the window layer: it turns the
// window's events into the object tree's events and paints the tree into the
// window's back buffer. Invalidation gathers a dirty rectangle; the next turn
// of the message loop draws the tree clipped to it into the buffer and
// presents what changed. Subclasses create the native window.
class epiUiEventsBase : public epiUbo, public platform::ui::WindowSink, public epiBitmapShowTarget {
public:
    epiUiEventsBase();
    ~epiUiEventsBase() override;

    void* nativeHandle() const override { return native_ ? native_->handle() : nullptr; }
    platform::ui::HostWindow* hostWindow() const { return native_.get(); }
    epiBitmap* getBackBuffer() override { return buffer_.get(); }
    bool ownsSurface() const override { return true; }

    void invalidate(const epiRect& rect) override;
    void setEnabled(bool enabled) override;
    void onVisibilityChanged() override;
    void releaseCapture() override;
    // Draws what is dirty into the buffer and presents what changed since the
    // last time; the message loop calls it once a turn.
    void paintNow();

    // The strip's content; null: none. Only windows whose native window has
    // a strip show it.
    void setStrip(std::unique_ptr<epiWindowStrip> strip);
    epiWindowStrip* strip() const { return strip_.get(); }
    // Draws the strip again at the next turn.
    void invalidateStrip() { stripDirty_ = true; }

    // A periodic timer on a thread of its own calling the target's
    // onUiTimer there (the target defaults to this object); whole
    // milliseconds. One timer an object.
    void startTimer(double seconds, epiApplicationObject* target = nullptr);
    void stopTimer();

    // Drawing primitives of the tree's end: into the back buffer.
    void fillRect(const epiRect& rect, const epiColor& colour) override;
    void frameRect(const epiRect& rect, const epiColor& colour) override;
    void drawLine(int x1, int y1, int x2, int y2, const epiRect& clip, const epiColor& colour,
                  int width = 1) override;
    void drawBitmap(const epiBitmap& bitmap, const epiRect& source, const epiRect& destination,
                    const epiRect& clip) override;
    void blendBitmap(const epiBitmap& bitmap, const epiRect& source, const epiRect& destination,
                     const epiRect& clip, epiFourCC mode, float alpha) override;

    void drawText(epiFourCC fontId, int alignment, const epiRect& rect, const epiRect& clip,
                  const char* text, const epiColor& colour) override;
    int measureText(epiFourCC fontId, int alignment, const char* text) override;
    void drawSystemText(const char* text, int height, const char* fontName, const epiRect& rect,
                        const epiColor& colour, int alignment) override;
    void drawShape(epiDrawCommand& record) override;

    // The window layer's reports.
    void exposed(const platform::ui::Rect& area) override;
    void moved(int, int) override {}
    void resized(int, int) override {}
    void closeRequested() override {}
    void focusChanged(bool) override {}
    void pointer(platform::ui::PointerAction action, int x, int y, int wheelDelta) override;
    void filesDropped(const std::vector<std::string>&, int, int) override {}

protected:
    // The window system behind the application's event pump; null when the
    // pump is not one (no native window can be made then).
    platform::ui::WindowSystem* windowSystem() const;
    // Takes the native window and makes the back buffer of its size.
    void adoptNative(std::unique_ptr<platform::ui::HostWindow> native);
    void dropNative();
    // A back buffer of the bounds' size (everything dirty again).
    void resizeBuffer();
    // What the buffer is filled with before the tree draws; none: no fill.
    void setBackground(const epiColor& colour, bool fill)
    {
        background_ = colour;
        fillBackground_ = fill;
    }
    void grabPointer();
    void markPresent(const epiRect& rect);

private:
    std::unique_ptr<platform::ui::HostWindow> native_;
    std::unique_ptr<epiBitmap> buffer_;
    epiRect dirty_;
    epiRect unpresented_;
    int paintHook_ = 0;
    epiColor background_;
    bool fillBackground_ = true;
    platform::ui::UiTimer timer_;
    std::unique_ptr<epiWindowStrip> strip_;
    std::unique_ptr<epiBitmap> stripBuffer_;
    bool stripDirty_ = false;
};
