#pragma once

#include "hostfw/app/epiColor.h"
#include "hostfw/core/epiObject.h"
#include "hostfw/ui/epiRect.h"

#include <cairo.h>

#include <cstddef>
#include <cstdint>

class epiBitmap;
class epiFileDump;
class epiPath;
struct epiDrawCommand;

// What a bitmap is shown on: a window answers with its back buffer, which the
// window presents itself.
class epiBitmapShowTarget {
public:
    virtual ~epiBitmapShowTarget() = default;
    virtual epiBitmap* getBackBuffer() = 0;
};

// The framework's 32-bit image: one cairo ARGB32 image surface. cairo keeps
// premultiplied alpha; every operation that takes or gives a pixel value
// (getPixel, setPixel, the mask, the opaque copy, tintFromMask, setAlpha)
// speaks straight ARGB, alpha << 24 | red << 16 | green << 8 | blue. Colours
// are epiColor values (red, green, blue, alpha bytes).
//
// Geometry: rectangles are pixel-exact (a fill of 0,0,4,4 sets 16 pixels).
// Pens: a positive width is drawn antialiased; a negative width is drawn
// without antialiasing at its absolute value. Lines of an odd width run
// through the middle of the pixels of their end points, lines of an even width
// along the pixel edges, so axis-aligned lines cover whole pixels. Frames lie
// inside their rectangle.
//
// Every operation on a bitmap without a surface does nothing and answers 0
// or false. Pixel loops are clipped to every bitmap they touch.
class epiBitmap : public epiObject {
public:
    epiBitmap() = default;
    epiBitmap(const epiBitmap&) = delete;
    epiBitmap& operator=(const epiBitmap&) = delete;
    ~epiBitmap() override;

    epiFourCC getKind() const override { return epiCode("obit"); }

    virtual bool copyFrom(const epiBitmap& source);
    // A new transparent bitmap of that size (both above 0); sets the blend flag.
    virtual bool create(int width, int height);
    virtual bool createFromRect(const epiRect& rect)
    {
        return create(rect.getWidth(), rect.getHeight());
    }
    virtual bool createFromSize(const epiPoint& size) { return create(size.x, size.y); }
    virtual void releaseSurface();
    // PNG bytes, and optional PNG mask bytes whose red channel becomes the
    // alpha channel (0 transparent, 255 opaque, colours kept). True when the
    // image decoded, with or without the mask.
    virtual bool loadFromDumps(const epiFileDump& image, const epiFileDump* mask);
    // The same from files. A bitmap that already has a size keeps it: the
    // image is scaled into it.
    virtual bool loadFromFiles(const epiPath& path, const epiPath* maskPath);
    // Missing rectangles mean the whole source and the whole destination.
    // Different sizes: scaled, blended. Equal sizes: blended when the source's
    // blend flag is set, else red, green and blue copied with alpha 255.
    virtual void blitFrom(const epiBitmap& source, const epiRect* sourceRect,
                          const epiRect* destinationRect);
    // Straight ARGB; 0 outside the bounds or without a surface.
    virtual std::uint32_t getPixel(int x, int y, std::uint32_t* out = nullptr) const;
    // Sets the colour opaque (alpha 255) inside the bounds.
    virtual void setPixel(int x, int y, const epiColor& colour);
    virtual void drawCommand(epiDrawCommand& command);
    virtual void drawEllipse(const epiColor& colour, const epiRect& rect, int penWidth);
    virtual void fillEllipse(const epiColor& colour, const epiRect& rect);
    virtual void fillRectClipped(const epiColor& colour, const epiRect* rect, const epiRect& clip);
    virtual void fillRect(const epiColor& colour, const epiRect* rect);
    virtual void frameRectClipped(const epiColor& colour, const epiRect* rect, const epiRect& clip,
                                  int penWidth);
    virtual void frameRect(const epiColor& colour, const epiRect* rect, int penWidth);
    virtual void drawLineClipped(int x1, int y1, int x2, int y2, const epiRect& clip,
                                 const epiColor& colour, int width);
    virtual void drawLine(int x1, int y1, int x2, int y2, const epiColor& colour, int width);
    // Angles in degrees, clockwise from the positive x axis.
    virtual void drawArc(const epiColor& colour, const epiRect* rect, float startAngle,
                         float sweepAngle);
    virtual void fillPie(const epiColor& colour, const epiRect* rect, float startAngle,
                         float sweepAngle);
    // UTF-8 text of any length; size in points at 96 dots per inch; flags 0x1
    // centre, 0x2 right, 0x10 bold, 0x20 italic. One line from the top.
    virtual void drawTextInRect(const char* text, float size, const char* family,
                                const epiRect& rect, const epiColor& colour, int flags);
    // In the box at (x, y), x + 300 wide and twice the size high.
    virtual void drawTextAt(const char* text, float size, const char* family, int x, int y,
                            const epiColor& colour, int flags);
    // For each pixel of the mask rectangle (missing: the whole mask), m = the
    // mask's red / 255; the pixel at the same offset from the target's
    // top-left (missing: 0,0) becomes old × (1 - m) + colour × m per channel,
    // opaque. The combined rectangle receives the union of the two.
    virtual void tintFromMask(const epiBitmap& mask, const epiRect* maskRect,
                              const epiRect* targetRect, epiRect* combined, const epiColor& colour);
    virtual void tint(const epiBitmap& mask, const epiRect* maskRect, const epiRect* targetRect,
                      const epiColor& colour)
    {
        tintFromMask(mask, maskRect, targetRect, nullptr, colour);
    }
    virtual void showOnWindowAlt(epiObject* window, const epiRect& source,
                                 const epiRect& destination);
    // Draws the source rectangle scaled into the destination of the window's
    // back buffer (when the window is an epiBitmapShowTarget), blended.
    virtual void showOnWindow(epiObject* window, const epiRect& source, const epiRect& destination);
    // Sets the straight alpha of every pixel in the rectangle (missing: all)
    // to alpha × 255, alpha clamped to 0..1.
    virtual void setAlpha(float alpha, const epiRect* rect);
    virtual cairo_surface_t* getSurface() const { return surface_; }
    virtual void setBlend(bool blend) { blend_ = blend; }
    // The first row and the stride of the premultiplied pixels, for direct
    // access; unlockPixels tells cairo they changed.
    virtual bool lockPixels(unsigned char*& firstRow, int& stride);
    virtual void unlockPixels();
    virtual void clearBlack();

    bool getBlend() const { return blend_; }
    const epiPoint& getSize() const { return size_; }
    int getWidth() const { return size_.x; }
    int getHeight() const { return size_.y; }
    const epiRect& getBounds() const { return bounds_; }

    // Draws the source rectangle of the other bitmap scaled into the
    // destination rectangle of this one with the operator. Pixels beyond the
    // source rectangle's edges never bleed in.
    void drawScaledFrom(const epiBitmap& source, const epiRect& sourceRect,
                        const epiRect& destinationRect, cairo_operator_t op)
    {
        drawScaled(source.surface_, sourceRect, destinationRect, op);
    }

protected:
    // Takes ownership of the surface (null releases); sets the size.
    void adoptSurface(cairo_surface_t* surface);

private:
    void drawScaled(cairo_surface_t* source, const epiRect& sourceRect,
                    const epiRect& destinationRect, cairo_operator_t op);
    // Takes the decoded image (and frees it): re-created at its size, or
    // scaled into the present size when keepSize and there is one.
    bool loadDecoded(cairo_surface_t* decoded, const epiFileDump* mask, bool keepSize);
    void strokeLine(int x1, int y1, int x2, int y2, const epiRect* clip, const epiColor& colour,
                    int width);
    void drawShape(const epiColor& colour, const epiRect* rect, const epiRect* clip, int penWidth,
                   bool fill, int shape, float start, float sweep);

    cairo_surface_t* surface_ = nullptr;
    epiPoint size_;
    epiRect bounds_;
    bool blend_ = true;
};
