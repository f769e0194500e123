#include "hostfw/gfx/epiBitmap.h"

#include "hostfw/core/epiFileDump.h"
#include "hostfw/core/epiPath.h"
#include "hostfw/gfx/epiDrawCommand.h"
#include "hostfw/gfx/epiPixel.h"
#include "hostfw/gfx/epiTextFace.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct PngReader {
    const unsigned char* bytes;
    std::size_t size;
    std::size_t offset;
};

cairo_status_t readPng(void* closure, unsigned char* data, unsigned int length)
{
    auto* reader = static_cast<PngReader*>(closure);
    if (length > reader->size - reader->offset)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, reader->bytes + reader->offset, length);
    reader->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

// A decoded PNG as an ARGB32 surface (an opaque image decodes to RGB24, whose
// unused top byte must not be read as alpha), or null.
cairo_surface_t* decodePng(const void* bytes, std::size_t size)
{
    if (!bytes || size == 0)
        return nullptr;
    PngReader reader{static_cast<const unsigned char*>(bytes), size, 0};
    cairo_surface_t* decoded = cairo_image_surface_create_from_png_stream(readPng, &reader);
    if (cairo_surface_status(decoded) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(decoded);
        return nullptr;
    }
    const int width = cairo_image_surface_get_width(decoded);
    const int height = cairo_image_surface_get_height(decoded);
    if (cairo_image_surface_get_format(decoded) == CAIRO_FORMAT_ARGB32)
        return decoded;
    cairo_surface_t* converted = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(converted);
    cairo_set_source_surface(cr, decoded, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(decoded);
    return converted;
}

std::uint32_t* row(cairo_surface_t* surface, int y)
{
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface) +
                                            static_cast<std::ptrdiff_t>(y) *
                                                cairo_image_surface_get_stride(surface));
}

int surfaceWidth(cairo_surface_t* surface)
{
    return cairo_image_surface_get_width(surface);
}

int surfaceHeight(cairo_surface_t* surface)
{
    return cairo_image_surface_get_height(surface);
}

// The mask's red channel becomes the image's alpha where both have pixels.
void applyMask(cairo_surface_t* image, cairo_surface_t* mask)
{
    cairo_surface_flush(image);
    const int width = std::min(surfaceWidth(image), surfaceWidth(mask));
    const int height = std::min(surfaceHeight(image), surfaceHeight(mask));
    for (int y = 0; y < height; ++y) {
        std::uint32_t* target = row(image, y);
        const std::uint32_t* source = row(mask, y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t alpha = epiPixel::channel(epiPixel::toStraight(source[x]), 16);
            const std::uint32_t colour = epiPixel::toStraight(target[x]) & 0xFFFFFFu;
            target[x] = epiPixel::toPremultiplied(alpha << 24 | colour);
        }
    }
    cairo_surface_mark_dirty(image);
}

void setColour(cairo_t* cr, const epiColor& colour)
{
    cairo_set_source_rgba(cr, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0,
                          colour.alpha / 255.0);
}

// A positive width is smoothed; a negative one is drawn hard at its absolute
// value. A width of 0 draws as 1.
double setPen(cairo_t* cr, int width)
{
    cairo_set_antialias(cr, width < 0 ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
    const double w = width == 0 ? 1.0 : std::abs(static_cast<double>(width));
    cairo_set_line_width(cr, w);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    return w;
}

void clipTo(cairo_t* cr, const epiRect& clip)
{
    cairo_rectangle(cr, clip.left, clip.top, clip.getWidth(), clip.getHeight());
    cairo_clip(cr);
}

// A line's path. An odd width runs through the middle of the end pixels, an
// even width along their edges, so that axis-aligned lines cover whole pixels
// across; along an axis-aligned line the ends are the pixel edges.
void linePath(cairo_t* cr, double x1, double y1, double x2, double y2, double width)
{
    const double half = static_cast<long>(std::lround(width)) % 2 != 0 ? 0.5 : 0.0;
    const double ox = (y1 == y2 && x1 != x2) ? 0.0 : half;
    const double oy = (x1 == x2 && y1 != y2) ? 0.0 : half;
    cairo_move_to(cr, x1 + ox, y1 + oy);
    cairo_line_to(cr, x2 + ox, y2 + oy);
}

// An ellipse (or its arc) inscribed in the box.
void ellipsePath(cairo_t* cr, double left, double top, double width, double height,
                 double startDegrees, double sweepDegrees, bool pie)
{
    if (width <= 0 || height <= 0)
        return;
    const double cx = left + width / 2.0;
    const double cy = top + height / 2.0;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, width / 2.0, height / 2.0);
    if (pie)
        cairo_move_to(cr, 0, 0);
    const double a0 = startDegrees * kPi / 180.0;
    const double a1 = (startDegrees + sweepDegrees) * kPi / 180.0;
    if (sweepDegrees >= 0)
        cairo_arc(cr, 0, 0, 1.0, a0, a1);
    else
        cairo_arc_negative(cr, 0, 0, 1.0, a0, a1);
    if (pie)
        cairo_close_path(cr);
    cairo_restore(cr);
}

enum Shape { kRectangle, kEllipse, kArc, kPie };

} // namespace

epiBitmap::~epiBitmap()
{
    adoptSurface(nullptr);
}

void epiBitmap::adoptSurface(cairo_surface_t* surface)
{
    if (surface_)
        cairo_surface_destroy(surface_);
    surface_ = surface;
    if (surface)
        size_.set(surfaceWidth(surface), surfaceHeight(surface));
    else
        size_.set(0, 0);
    bounds_.setOriginSizePoint(size_);
}

bool epiBitmap::copyFrom(const epiBitmap& source)
{
    if (&source == this || !source.surface_)
        return false;
    releaseSurface();
    if (!create(source.getWidth(), source.getHeight()))
        return false;
    drawScaled(source.surface_, source.bounds_, bounds_, CAIRO_OPERATOR_SOURCE);
    return true;
}

bool epiBitmap::create(int width, int height)
{
    releaseSurface();
    if (width <= 0 || height <= 0)
        return false;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    adoptSurface(surface);
    blend_ = true;
    return true;
}

void epiBitmap::releaseSurface()
{
    adoptSurface(nullptr);
}

bool epiBitmap::loadFromDumps(const epiFileDump& image, const epiFileDump* mask)
{
    return loadDecoded(decodePng(image.getData(), image.getSize()), mask, false);
}

bool epiBitmap::loadFromFiles(const epiPath& path, const epiPath* maskPath)
{
    epiFileDump image;
    if (!image.load(path))
        return false;
    epiFileDump mask;
    const bool haveMask = maskPath && mask.load(*maskPath);
    return loadDecoded(decodePng(image.getData(), image.getSize()), haveMask ? &mask : nullptr,
                       true);
}

bool epiBitmap::loadDecoded(cairo_surface_t* decoded, const epiFileDump* mask, bool keepSize)
{
    if (!decoded)
        return false;
    const epiRect from(0, 0, surfaceWidth(decoded), surfaceHeight(decoded));
    // create() is the derived class's, so a bitmap over a buffer of its own
    // keeps its buffer.
    const bool ready = (keepSize && surface_) || create(from.getWidth(), from.getHeight());
    if (ready)
        drawScaled(decoded, from, bounds_, CAIRO_OPERATOR_SOURCE);
    cairo_surface_destroy(decoded);
    if (!ready)
        return false;
    if (cairo_surface_t* alpha = mask ? decodePng(mask->getData(), mask->getSize()) : nullptr) {
        applyMask(surface_, alpha);
        cairo_surface_destroy(alpha);
    }
    return true;
}

void epiBitmap::drawScaled(cairo_surface_t* source, const epiRect& sourceRect,
                           const epiRect& destinationRect, cairo_operator_t op)
{
    if (!surface_ || !source)
        return;
    // Only the part of the source rectangle that lies inside the source is
    // drawn, at the place it maps to.
    epiRect inside = sourceRect;
    inside.intersect(epiRect(0, 0, surfaceWidth(source), surfaceHeight(source)));
    if (inside.getWidth() <= 0 || inside.getHeight() <= 0 || sourceRect.getWidth() <= 0 ||
        sourceRect.getHeight() <= 0 || destinationRect.getWidth() <= 0 ||
        destinationRect.getHeight() <= 0)
        return;
    const double sx = destinationRect.widthF() / sourceRect.widthF();
    const double sy = destinationRect.heightF() / sourceRect.heightF();
    cairo_surface_t* part = cairo_surface_create_for_rectangle(
        source, inside.left, inside.top, inside.getWidth(), inside.getHeight());
    cairo_t* cr = cairo_create(surface_);
    cairo_set_operator(cr, op);
    cairo_translate(cr, destinationRect.left + (inside.left - sourceRect.left) * sx,
                    destinationRect.top + (inside.top - sourceRect.top) * sy);
    cairo_scale(cr, sx, sy);
    cairo_set_source_surface(cr, part, 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    // Padding keeps the edge pixels of the part from fading into its
    // neighbours (the next frame of a film strip) when scaled.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, (sx == 1.0 && sy == 1.0) ? CAIRO_FILTER_NEAREST
                                                               : CAIRO_FILTER_BILINEAR);
    cairo_rectangle(cr, 0, 0, inside.getWidth(), inside.getHeight());
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(part);
}

void epiBitmap::blitFrom(const epiBitmap& source, const epiRect* sourceRect,
                         const epiRect* destinationRect)
{
    if (!surface_ || !source.surface_)
        return;
    const epiRect from = sourceRect ? *sourceRect : source.bounds_;
    const epiRect to = destinationRect ? *destinationRect : bounds_;
    cairo_surface_t* pixels = source.surface_;
    if (&source == this) {
        // Drawing a surface onto itself is undefined: copy it first.
        pixels = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size_.x, size_.y);
        cairo_t* cr = cairo_create(pixels);
        cairo_set_source_surface(cr, surface_, 0, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    if (from.getWidth() != to.getWidth() || from.getHeight() != to.getHeight() || source.blend_) {
        drawScaled(pixels, from, to, CAIRO_OPERATOR_OVER);
    } else {
        // The opaque copy: colours copied, alpha 255, clipped to both bitmaps.
        cairo_surface_flush(pixels);
        cairo_surface_flush(surface_);
        const int x0 = std::max({0, -from.left, -to.left});
        const int y0 = std::max({0, -from.top, -to.top});
        const int x1 =
            std::min({from.getWidth(), surfaceWidth(pixels) - from.left, size_.x - to.left});
        const int y1 =
            std::min({from.getHeight(), surfaceHeight(pixels) - from.top, size_.y - to.top});
        for (int y = y0; y < y1; ++y) {
            const std::uint32_t* in = row(pixels, from.top + y) + from.left;
            std::uint32_t* out = row(surface_, to.top + y) + to.left;
            for (int x = x0; x < x1; ++x)
                out[x] = 0xFF000000u | (epiPixel::toStraight(in[x]) & 0xFFFFFFu);
        }
        cairo_surface_mark_dirty(surface_);
    }
    if (pixels != source.surface_)
        cairo_surface_destroy(pixels);
}

std::uint32_t epiBitmap::getPixel(int x, int y, std::uint32_t* out) const
{
    std::uint32_t value = 0;
    if (surface_ && x >= 0 && y >= 0 && x < size_.x && y < size_.y) {
        cairo_surface_flush(surface_);
        value = epiPixel::toStraight(row(surface_, y)[x]);
    }
    if (out)
        *out = value;
    return value;
}

void epiBitmap::setPixel(int x, int y, const epiColor& colour)
{
    if (!surface_ || x < 0 || y < 0 || x >= size_.x || y >= size_.y)
        return;
    cairo_surface_flush(surface_);
    row(surface_, y)[x] = epiPixel::pack(255, colour.red, colour.green, colour.blue);
    cairo_surface_mark_dirty_rectangle(surface_, x, y, 1, 1);
}

void epiBitmap::drawShape(const epiColor& colour, const epiRect* rect, const epiRect* clip,
                          int penWidth, bool fill, int shape, float start, float sweep)
{
    if (!surface_)
        return;
    const epiRect box = rect ? *rect : bounds_;
    cairo_t* cr = cairo_create(surface_);
    if (clip && !clip->contains(box))
        clipTo(cr, *clip);
    setColour(cr, colour);
    const double w = fill ? 0.0 : setPen(cr, penWidth);
    if (fill)
        cairo_set_antialias(cr, shape == kRectangle ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
    // Outlines lie inside the box: the path runs half a pen width in.
    const double l = box.left + w / 2.0;
    const double t = box.top + w / 2.0;
    const double bw = box.getWidth() - w;
    const double bh = box.getHeight() - w;
    switch (shape) {
    case kRectangle:
        if (bw >= 0 && bh >= 0)
            cairo_rectangle(cr, l, t, bw, bh);
        break;
    case kEllipse:
        ellipsePath(cr, l, t, bw, bh, 0.0, 360.0, false);
        break;
    default:
        ellipsePath(cr, l, t, bw, bh, start, sweep, shape == kPie);
        break;
    }
    if (fill)
        cairo_fill(cr);
    else
        cairo_stroke(cr);
    cairo_destroy(cr);
}

void epiBitmap::drawEllipse(const epiColor& colour, const epiRect& rect, int penWidth)
{
    epiDrawCommand command;
    command.command = epiCode("ovaP");
    command.target = &rect;
    command.colour = colour;
    command.penWidth = penWidth;
    drawCommand(command);
}

void epiBitmap::fillEllipse(const epiColor& colour, const epiRect& rect)
{
    epiDrawCommand command;
    command.command = epiCode("ovaF");
    command.target = &rect;
    command.colour = colour;
    drawCommand(command);
}

void epiBitmap::fillRectClipped(const epiColor& colour, const epiRect* rect, const epiRect& clip)
{
    drawShape(colour, rect, &clip, 0, true, kRectangle, 0, 0);
}

void epiBitmap::fillRect(const epiColor& colour, const epiRect* rect)
{
    drawShape(colour, rect, nullptr, 0, true, kRectangle, 0, 0);
}

void epiBitmap::frameRectClipped(const epiColor& colour, const epiRect* rect, const epiRect& clip,
                                 int penWidth)
{
    drawShape(colour, rect, &clip, penWidth, false, kRectangle, 0, 0);
}

void epiBitmap::frameRect(const epiColor& colour, const epiRect* rect, int penWidth)
{
    drawShape(colour, rect, nullptr, penWidth, false, kRectangle, 0, 0);
}

void epiBitmap::strokeLine(int x1, int y1, int x2, int y2, const epiRect* clip,
                           const epiColor& colour, int width)
{
    if (!surface_)
        return;
    cairo_t* cr = cairo_create(surface_);
    // The clip applies only when an end point lies outside it.
    if (clip && !(clip->containsPoint({x1, y1}) && clip->containsPoint({x2, y2})))
        clipTo(cr, *clip);
    setColour(cr, colour);
    linePath(cr, x1, y1, x2, y2, setPen(cr, width));
    cairo_stroke(cr);
    cairo_destroy(cr);
}

void epiBitmap::drawLineClipped(int x1, int y1, int x2, int y2, const epiRect& clip,
                                const epiColor& colour, int width)
{
    strokeLine(x1, y1, x2, y2, &clip, colour, width);
}

void epiBitmap::drawLine(int x1, int y1, int x2, int y2, const epiColor& colour, int width)
{
    strokeLine(x1, y1, x2, y2, nullptr, colour, width);
}

void epiBitmap::drawArc(const epiColor& colour, const epiRect* rect, float startAngle,
                        float sweepAngle)
{
    drawShape(colour, rect, nullptr, 1, false, kArc, startAngle, sweepAngle);
}

void epiBitmap::fillPie(const epiColor& colour, const epiRect* rect, float startAngle,
                        float sweepAngle)
{
    drawShape(colour, rect, nullptr, 0, true, kPie, startAngle, sweepAngle);
}

void epiBitmap::drawTextInRect(const char* text, float size, const char* family,
                               const epiRect& rect, const epiColor& colour, int flags)
{
    epiDrawCommand command;
    command.command = epiCode("ntxt");
    command.target = &rect;
    command.colour = colour;
    command.text.assign(text);
    command.fontSize = size;
    command.family.assign(family);
    command.flags = flags;
    drawCommand(command);
}

void epiBitmap::drawTextAt(const char* text, float size, const char* family, int x, int y,
                           const epiColor& colour, int flags)
{
    const epiRect box(x, y, x + x + 300, y + static_cast<int>(size * 2.0f));
    drawTextInRect(text, size, family, box, colour, flags);
}

void epiBitmap::drawCommand(epiDrawCommand& command)
{
    if (!surface_)
        return;
    const epiRect target = command.target ? *command.target : bounds_;
    const char* family = command.family.getCStr();
    if (command.command == epiCode("ntxL")) {
        command.measuredWidth = static_cast<float>(
            epiTextFace::measure(command.text.getCStr(), family, command.fontSize, command.flags));
        return;
    }
    cairo_t* cr = cairo_create(surface_);
    if (command.clip && !command.clip->contains(target))
        clipTo(cr, *command.clip);
    setColour(cr, command.colour);
    const double cx = target.left + target.widthF() / 2.0;
    const double cy = target.top + target.heightF() / 2.0;
    auto rotateAboutCentre = [&] {
        if (command.angle != 0.0f) {
            cairo_translate(cr, cx, cy);
            cairo_rotate(cr, command.angle * kPi / 180.0);
            cairo_translate(cr, -cx, -cy);
        }
    };
    switch (command.command) {
    case epiCode("bitm"):
        if (command.image && command.image->surface_) {
            const epiRect from = command.source ? *command.source : command.image->bounds_;
            if (from.getWidth() > 0 && from.getHeight() > 0) {
                rotateAboutCentre();
                cairo_rectangle(cr, target.left, target.top, target.getWidth(), target.getHeight());
                cairo_translate(cr, target.left, target.top);
                cairo_scale(cr, target.widthF() / from.widthF(), target.heightF() / from.heightF());
                cairo_set_source_surface(cr, command.image->surface_, -from.left, -from.top);
                cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
                cairo_fill(cr);
            }
        }
        break;
    case epiCode("line"):
    case epiCode("dlin"):
        if (command.command == epiCode("dlin") && command.dashLength > 0) {
            const double dashes[2] = {command.dashLength, command.dashLength};
            cairo_set_dash(cr, dashes, 2, 0);
        }
        linePath(cr, target.left, target.top, target.right, target.bottom,
                 setPen(cr, std::abs(command.penWidth)));
        cairo_stroke(cr);
        break;
    case epiCode("recP"): {
        const double w = setPen(cr, std::abs(command.penWidth));
        rotateAboutCentre();
        cairo_rectangle(cr, target.left + w / 2, target.top + w / 2, target.getWidth() - w,
                        target.getHeight() - w);
        cairo_stroke(cr);
        break;
    }
    case epiCode("ovaP"): {
        const double w = setPen(cr, std::abs(command.penWidth));
        ellipsePath(cr, target.left + w / 2, target.top + w / 2, target.getWidth() - w,
                    target.getHeight() - w, 0.0, 360.0, false);
        cairo_stroke(cr);
        break;
    }
    case epiCode("ovaF"):
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
        ellipsePath(cr, target.left, target.top, target.getWidth(), target.getHeight(), 0.0, 360.0,
                    false);
        cairo_fill(cr);
        break;
    case epiCode("ntxt"): {
        // The text stays inside its rectangle.
        clipTo(cr, target);
        const bool vertical = command.angle == 90.0f || command.angle == 270.0f;
        if (vertical) {
            // Top to bottom, the glyphs turned a quarter clockwise, starting at
            // the rectangle's right edge.
            cairo_translate(cr, target.right, target.top);
            cairo_rotate(cr, kPi / 2.0);
            epiTextFace::drawInBox(cr, command.text.getCStr(), family, command.fontSize,
                                   command.flags, 0, 0, target.heightF());
        } else {
            epiTextFace::drawInBox(cr, command.text.getCStr(), family, command.fontSize,
                                   command.flags, target.left, target.top, target.widthF());
        }
        break;
    }
    default:
        break;
    }
    cairo_destroy(cr);
}

void epiBitmap::tintFromMask(const epiBitmap& mask, const epiRect* maskRect,
                             const epiRect* targetRect, epiRect* combined, const epiColor& colour)
{
    if (!surface_ || !mask.surface_)
        return;
    const epiRect from = maskRect ? *maskRect : mask.bounds_;
    epiRect to = targetRect ? *targetRect : epiRect(0, 0, from.getWidth(), from.getHeight());
    if (combined) {
        *combined = from;
        combined->unite(to);
    }
    cairo_surface_flush(surface_);
    cairo_surface_flush(mask.surface_);
    // Every pixel on both sides lies inside its bitmap: a mask rectangle
    // beyond the mask, or a target across this bitmap's edge, is cut.
    const int x0 = std::max({0, -from.left, -to.left});
    const int y0 = std::max({0, -from.top, -to.top});
    const int x1 = std::min({from.getWidth(), mask.size_.x - from.left, size_.x - to.left});
    const int y1 = std::min({from.getHeight(), mask.size_.y - from.top, size_.y - to.top});
    const double tint[3] = {colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0};
    for (int y = y0; y < y1; ++y) {
        const std::uint32_t* in = row(mask.surface_, from.top + y) + from.left;
        std::uint32_t* out = row(surface_, to.top + y) + to.left;
        for (int x = x0; x < x1; ++x) {
            const double m = epiPixel::channel(epiPixel::toStraight(in[x]), 16) / 255.0;
            const std::uint32_t old = epiPixel::toStraight(out[x]);
            std::uint32_t channels[3];
            for (int c = 0; c < 3; ++c) {
                const double o = epiPixel::channel(old, 16 - 8 * c) / 255.0;
                channels[c] =
                    static_cast<std::uint32_t>(std::lround((o * (1.0 - m) + tint[c] * m) * 255.0));
            }
            out[x] = epiPixel::pack(255, channels[0], channels[1], channels[2]);
        }
    }
    cairo_surface_mark_dirty(surface_);
}

void epiBitmap::showOnWindowAlt(epiObject*, const epiRect&, const epiRect&)
{
}

void epiBitmap::showOnWindow(epiObject* window, const epiRect& source, const epiRect& destination)
{
    auto* target = dynamic_cast<epiBitmapShowTarget*>(window);
    epiBitmap* back = target ? target->getBackBuffer() : nullptr;
    if (back && back != this)
        back->drawScaled(surface_, source, destination, CAIRO_OPERATOR_OVER);
}

void epiBitmap::setAlpha(float alpha, const epiRect* rect)
{
    if (!surface_)
        return;
    epiRect area = rect ? *rect : bounds_;
    area.intersect(bounds_);
    const float clamped = std::clamp(alpha, 0.0f, 1.0f);
    const std::uint32_t a = static_cast<std::uint32_t>(clamped * 255.0f + 0.5f);
    cairo_surface_flush(surface_);
    for (int y = area.top; y < area.bottom; ++y) {
        std::uint32_t* pixels = row(surface_, y);
        for (int x = area.left; x < area.right; ++x)
            pixels[x] =
                epiPixel::toPremultiplied(a << 24 | (epiPixel::toStraight(pixels[x]) & 0xFFFFFFu));
    }
    cairo_surface_mark_dirty(surface_);
}

bool epiBitmap::lockPixels(unsigned char*& firstRow, int& stride)
{
    if (!surface_)
        return false;
    cairo_surface_flush(surface_);
    firstRow = cairo_image_surface_get_data(surface_);
    stride = cairo_image_surface_get_stride(surface_);
    return firstRow != nullptr;
}

void epiBitmap::unlockPixels()
{
    if (surface_)
        cairo_surface_mark_dirty(surface_);
}

void epiBitmap::clearBlack()
{
    epiColor black;
    black.setBlack();
    fillRect(black, nullptr);
}
