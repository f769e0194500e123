#include "editor/graphics/Bitmap.h"

#include <new>

namespace Zq::Application::Graphics {

void Bitmap::clear()
{
    pixels.reset();
    width = 0;
    height = 0;
    hasAlpha = false;
}

bool Bitmap::allocate(int w, int h)
{
    clear();
    if (w <= 0 || h <= 0 || w > maxSide || h > maxSide)
        return false;
    const auto count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    // Value-initialised: rows a short file never supplies read as zero.
    try {
        pixels.reset(new std::uint32_t[count]());
    } catch (const std::bad_alloc&) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

} // namespace Zq::Application::Graphics
