#pragma once

#include "hostfw/gfx/epiBitmap.h"

#include <cstdint>
#include <memory>

// A bitmap over a pixel buffer of its own (width × 4 bytes a row, top row
// first, premultiplied ARGB), which drawing and showing share. Showing copies
// the pixels into the window's back buffer without blending.
class epiBitmapDib : public epiBitmap {
public:
    epiBitmapDib() = default;
    ~epiBitmapDib() override;

    bool create(int width, int height) override;
    void releaseSurface() override;
    void showOnWindowAlt(epiObject* window, const epiRect& source,
                         const epiRect& destination) override
    {
        showOnWindow(window, source, destination);
    }
    void showOnWindow(epiObject* window, const epiRect& source,
                      const epiRect& destination) override;

    std::uint32_t* getBuffer() const { return buffer_.get(); }
    int getStride() const { return stride_; }

private:
    std::unique_ptr<std::uint32_t[]> buffer_;
    int stride_ = 0;
};
