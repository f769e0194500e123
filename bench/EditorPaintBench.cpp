// The editor's painter drawing a whole editor-sized image beside cairo doing
// the same on image surfaces of the same size: an image with alpha blended
// over an opaque buffer (cairo's OVER), and an opaque 24-bit image copied
// (cairo's SOURCE).
#include "BenchMain.h"

#include "editor/graphics/Painter.h"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using Zq::Application::Graphics::Bitmap;
using Zq::Application::Graphics::Painter;

constexpr int kW = 851, kH = 510;

// An image like the editor's panels: colours with alpha spread over 0..255
// (shadows, antialiased edges) and whole runs of opaque and clear pixels.
Bitmap makeImage(bool hasAlpha)
{
    Bitmap image;
    image.allocate(kW, kH);
    std::mt19937 random(7);
    for (int i = 0; i < kW * kH; ++i) {
        std::uint32_t alpha = random() & 0xFF;
        if ((i / 64) % 3 == 0)
            alpha = 0xFF;
        else if ((i / 64) % 3 == 1)
            alpha = 0;
        image.pixels[i] = (hasAlpha ? alpha << 24 : 0xFF000000u) | (random() & 0xFFFFFFu);
    }
    image.hasAlpha = hasAlpha;
    return image;
}

void BM_PainterBlend(benchmark::State& state)
{
    const Bitmap image = makeImage(true);
    std::vector<std::uint32_t> target(kW * kH, 0xFF336699u);
    Painter painter({kW, kH}, kW * 4, target.data());
    for (auto _ : state) {
        painter.drawBitmap(image, {0, 0}, {0, 0, kW, kH});
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

void BM_PainterCopy(benchmark::State& state)
{
    const Bitmap image = makeImage(false);
    std::vector<std::uint32_t> target(kW * kH, 0xFF336699u);
    Painter painter({kW, kH}, kW * 4, target.data());
    for (auto _ : state) {
        painter.drawBitmap(image, {0, 0}, {0, 0, kW, kH});
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

// Cairo keeps premultiplied ARGB: the same image, premultiplied once outside
// the timing.
cairo_surface_t* cairoImage(const Bitmap& image, cairo_format_t format)
{
    cairo_surface_t* surface = cairo_image_surface_create(format, kW, kH);
    auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface));
    const int stride = cairo_image_surface_get_stride(surface) / 4;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const std::uint32_t p = image.pixels[y * kW + x];
            const std::uint32_t a = p >> 24;
            const auto pre = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            data[y * stride + x] = format == CAIRO_FORMAT_ARGB32
                                       ? (a << 24) | pre((p >> 16) & 0xFF) << 16 |
                                             pre((p >> 8) & 0xFF) << 8 | pre(p & 0xFF)
                                       : p;
        }
    cairo_surface_mark_dirty(surface);
    return surface;
}

void runCairo(benchmark::State& state, bool blend)
{
    const Bitmap image = makeImage(blend);
    cairo_surface_t* source = cairoImage(image, blend ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24);
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kW, kH);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_rgb(cr, 0.2, 0.4, 0.6);
    cairo_paint(cr);
    cairo_set_operator(cr, blend ? CAIRO_OPERATOR_OVER : CAIRO_OPERATOR_SOURCE);
    for (auto _ : state) {
        cairo_set_source_surface(cr, source, 0, 0);
        cairo_paint(cr);
        cairo_surface_flush(target);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(target));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
    cairo_destroy(cr);
    cairo_surface_destroy(target);
    cairo_surface_destroy(source);
}

void BM_CairoOver(benchmark::State& state)
{
    runCairo(state, true);
}

void BM_CairoSource(benchmark::State& state)
{
    runCairo(state, false);
}

BENCHMARK(BM_PainterBlend)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CairoOver)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PainterCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CairoSource)->Unit(benchmark::kMicrosecond);

BENCH_COMPARE(blendRatio, "851 x 510 image with alpha over an opaque buffer vs cairo OVER",
              "BM_PainterBlend", "BM_CairoOver");
BENCH_COMPARE(copyRatio, "851 x 510 24-bit image copied vs cairo SOURCE", "BM_PainterCopy",
              "BM_CairoSource");

} // namespace
