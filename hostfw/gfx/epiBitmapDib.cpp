#include "hostfw/gfx/epiBitmapDib.h"

#include <new>

epiBitmapDib::~epiBitmapDib()
{
    // The surface must go before the buffer under it.
    adoptSurface(nullptr);
}

bool epiBitmapDib::create(int width, int height)
{
    releaseSurface();
    if (width <= 0 || height <= 0 || width > (1 << 15) || height > (1 << 15))
        return false;
    const int stride = width * 4;
    std::unique_ptr<std::uint32_t[]> buffer(
        new (std::nothrow) std::uint32_t[static_cast<std::size_t>(width) * height]());
    if (!buffer)
        return false;
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(buffer.get()), CAIRO_FORMAT_ARGB32, width, height, stride);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    buffer_ = std::move(buffer);
    stride_ = stride;
    adoptSurface(surface);
    setBlend(true);
    return true;
}

void epiBitmapDib::releaseSurface()
{
    adoptSurface(nullptr);
    buffer_.reset();
    stride_ = 0;
}

void epiBitmapDib::showOnWindow(epiObject* window, const epiRect& source,
                                const epiRect& destination)
{
    auto* target = dynamic_cast<epiBitmapShowTarget*>(window);
    epiBitmap* back = target ? target->getBackBuffer() : nullptr;
    if (back && back != this && getSurface())
        back->drawScaledFrom(*this, source, destination, CAIRO_OPERATOR_SOURCE);
}
