#pragma once

#include "hostfw/ui/epiUbo.h"

#include <memory>

// An object with an off-screen bitmap of its own size: the drawing of its
// subtree lands in it.
class epiUiBitmapView : public epiUbo {
public:
    epiUiBitmapView();
    ~epiUiBitmapView() override;

    epiFourCC getKind() const override { return epiCode("iBvw"); }
    std::vector<epiFourCC> allowedParentKinds() const override;
    bool ownsSurface() const override { return true; }

    // The surface: the factory's device-independent bitmap ('iBmD') of the
    // frame's size.
    void create() override;
    // A new size re-creates the surface; the same size keeps it.
    void setRect(const epiRect& rect) override;
    void exit() override;
    epiBitmap* getSurface() const { return surface_.get(); }

    void fillRect(const epiRect& rect, const epiColor& colour) override;
    void frameRect(const epiRect& rect, const epiColor& colour) override;
    void drawLine(int x1, int y1, int x2, int y2, const epiRect& clip, const epiColor& colour,
                  int width = 1) override;
    void drawBitmap(const epiBitmap& bitmap, const epiRect& source, const epiRect& destination,
                    const epiRect& clip) override;
    // Only the mode 'blen' draws.
    void blendBitmap(const epiBitmap& bitmap, const epiRect& source, const epiRect& destination,
                     const epiRect& clip, epiFourCC mode, float alpha) override;

    void drawText(epiFourCC fontId, int alignment, const epiRect& rect, const epiRect& clip,
                  const char* text, const epiColor& colour) override;
    // 0 without a parent.
    int measureText(epiFourCC fontId, int alignment, const char* text) override;
    void drawSystemText(const char* text, int height, const char* fontName, const epiRect& rect,
                        const epiColor& colour, int alignment) override;
    void drawShape(epiDrawCommand& record) override;

protected:
    void makeSurface(int width, int height);

private:
    std::unique_ptr<epiBitmap> surface_;
};

// A bitmap view holding children: a double buffer. An invalidation renders
// the children into the surface over the invalid part and copies that part up
// to the parent's surface; a repaint from the parent only copies the surface
// again. Redrawing can be locked (nested), gathering what was invalidated.
class epiUiBitmapViewContainer : public epiUiBitmapView {
public:
    epiFourCC getKind() const override { return epiCode("iBco"); }
    bool canHaveChildren() const override { return true; }
    std::vector<epiFourCC> savedAttributes() const override
    {
        return {epiCode("chil"), epiCode("visi"), epiCode("enab")};
    }

    void create() override;
    void setAttributeText(epiFourCC code, const epiText& text) override;
    bool getAttributeText(epiFourCC code, epiText& text) const override;
    void lockRedraw(bool lock) override;
    void setBackground(const epiColor& colour) { background_ = colour; }
    void setRect(const epiRect& rect) override;
    void invalidate(const epiRect& rect) override;
    void draw(const epiRect& clip) override;
    // The container is the root of its own coordinates.
    epiRect localToRoot(const epiRect& rect) const override { return rect; }

    int lockCount() const { return lockCount_; }

private:
    int lockCount_ = 0;
    bool dirty_ = false;
    bool firstDraw_ = true;
    epiColor background_;
    epiRect dirtyRect_;
    epiText childLayout_;
};
