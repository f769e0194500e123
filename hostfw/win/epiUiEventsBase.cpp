#include "hostfw/win/epiUiEventsBase.h"

#include "hostfw/app/epiWindowManager.h"
#include "hostfw/win/epiPopupList.h"
#include "hostfw/win/epiSurface.h"

using platform::ui::PointerAction;

epiUiEventsBase::epiUiEventsBase()
{
    background_.setWhite();
}

epiUiEventsBase::~epiUiEventsBase()
{
    epiPopupList::windowDeactivated(*this);
    timer_.stop();
    dropNative();
}

platform::ui::WindowSystem* epiUiEventsBase::windowSystem() const
{
    epiWindowManager* manager = windowManager();
    return manager ? dynamic_cast<platform::ui::WindowSystem*>(&manager->pump()) : nullptr;
}

void epiUiEventsBase::adoptNative(std::unique_ptr<platform::ui::HostWindow> native)
{
    native_ = std::move(native);
    if (!native_)
        return;
    resizeBuffer();
    if (epiWindowManager* manager = windowManager(); manager && !paintHook_)
        paintHook_ = manager->addTurnHook([this] { paintNow(); });
}

void epiUiEventsBase::dropNative()
{
    if (paintHook_) {
        if (epiWindowManager* manager = windowManager())
            manager->removeTurnHook(paintHook_);
        paintHook_ = 0;
    }
    // The strip's content goes with the window (a drop-down it holds open
    // closes with it).
    strip_.reset();
    native_.reset();
    buffer_.reset();
    stripBuffer_.reset();
    dirty_.clear();
    unpresented_.clear();
}

void epiUiEventsBase::resizeBuffer()
{
    const int width = getBounds().getWidth(), height = getBounds().getHeight();
    if (!native_ || width <= 0 || height <= 0) {
        buffer_.reset();
        return;
    }
    if (!buffer_ || buffer_->getWidth() != width || buffer_->getHeight() != height) {
        buffer_ = std::make_unique<epiBitmap>();
        buffer_->create(width, height);
        // What a new buffer shows before anything is drawn.
        if (fillBackground_)
            buffer_->fillRect(background_, nullptr);
    }
    epiSurface::addArea(dirty_, getBounds());
}

void epiUiEventsBase::invalidate(const epiRect& rect)
{
    if (!native_)
        return;
    epiRect part(rect);
    part.intersect(getBounds());
    epiSurface::addArea(dirty_, part);
}

void epiUiEventsBase::markPresent(const epiRect& rect)
{
    epiRect part(rect);
    part.intersect(getBounds());
    epiSurface::addArea(unpresented_, part);
}

void epiUiEventsBase::setStrip(std::unique_ptr<epiWindowStrip> strip)
{
    strip_ = std::move(strip);
    stripDirty_ = strip_ != nullptr;
}

void epiUiEventsBase::paintNow()
{
    if (!native_ || !buffer_)
        return;
    if (strip_ && stripDirty_ && native_->options().menuStrip) {
        stripDirty_ = false;
        const int width = std::max(getBounds().getWidth(), 1);
        const int height = platform::ui::WindowSystem::kMenuStripHeight;
        if (!stripBuffer_ || stripBuffer_->getBounds().getWidth() != width) {
            stripBuffer_ = std::make_unique<epiBitmap>();
            stripBuffer_->create(width, height);
        }
        strip_->drawStrip(*stripBuffer_);
        unsigned char* row = nullptr;
        int stride = 0;
        if (stripBuffer_->lockPixels(row, stride)) {
            native_->presentStrip(reinterpret_cast<const std::uint32_t*>(row), stride / 4);
            stripBuffer_->unlockPixels();
        }
    }
    if (epiSurface::hasArea(dirty_)) {
        const epiRect clip = dirty_;
        dirty_.clear();
        if (fillBackground_)
            buffer_->fillRect(background_, &clip);
        markPresent(clip);
        draw(clip);
    }
    if (!epiSurface::hasArea(unpresented_) || !native_ || !buffer_)
        return;
    const epiRect area = unpresented_;
    unpresented_.clear();
    // cairo keeps premultiplied pixels: the window shows them on black, as
    // the screen has no alpha.
    unsigned char* row = nullptr;
    int stride = 0;
    if (!buffer_->lockPixels(row, stride))
        return;
    native_->present(reinterpret_cast<const std::uint32_t*>(row), stride / 4,
                     {area.left, area.top, area.getWidth(), area.getHeight()});
    buffer_->unlockPixels();
}

void epiUiEventsBase::setEnabled(bool enabled)
{
    if (native_)
        native_->setEnabled(enabled);
}

void epiUiEventsBase::onVisibilityChanged()
{
    if (native_)
        native_->show(isVisible());
}

void epiUiEventsBase::grabPointer()
{
    if (native_)
        native_->grabPointer();
}

void epiUiEventsBase::releaseCapture()
{
    if (native_)
        native_->releasePointer();
    epiUbo::releaseCapture();
}

void epiUiEventsBase::startTimer(double seconds, epiApplicationObject* target)
{
    epiApplicationObject* receiver = target ? target : this;
    timer_.start(seconds, [receiver] { receiver->onUiTimer(); });
}

void epiUiEventsBase::stopTimer()
{
    timer_.stop();
}

void epiUiEventsBase::fillRect(const epiRect& rect, const epiColor& colour)
{
    if (!buffer_)
        return;
    epiSurface::fillRect(*buffer_, rect, colour);
    markPresent(rect);
}

void epiUiEventsBase::frameRect(const epiRect& rect, const epiColor& colour)
{
    if (!buffer_)
        return;
    epiSurface::frameRect(*buffer_, rect, colour);
    markPresent(rect);
}

void epiUiEventsBase::drawLine(int x1, int y1, int x2, int y2, const epiRect& clip,
                               const epiColor& colour, int width)
{
    if (!buffer_)
        return;
    epiSurface::drawLine(*buffer_, x1, y1, x2, y2, clip, colour, width);
    markPresent(clip);
}

void epiUiEventsBase::drawBitmap(const epiBitmap& bitmap, const epiRect& source,
                                 const epiRect& destination, const epiRect& clip)
{
    if (buffer_)
        markPresent(epiSurface::drawBitmap(*buffer_, bitmap, source, destination, clip, false));
}

void epiUiEventsBase::blendBitmap(const epiBitmap& bitmap, const epiRect& source,
                                  const epiRect& destination, const epiRect& clip, epiFourCC mode,
                                  float)
{
    if (buffer_ && mode == epiCode("blen"))
        markPresent(epiSurface::drawBitmap(*buffer_, bitmap, source, destination, clip, true));
}

void epiUiEventsBase::drawText(epiFourCC fontId, int alignment, const epiRect& rect,
                               const epiRect& clip, const char* text, const epiColor& colour)
{
    if (buffer_)
        markPresent(epiSurface::drawText(*buffer_, resources(), fontId, alignment, rect, clip, text,
                                         colour));
}

int epiUiEventsBase::measureText(epiFourCC fontId, int alignment, const char* text)
{
    return epiSurface::measureText(buffer_.get(), resources(), fontId, alignment, text);
}

void epiUiEventsBase::drawSystemText(const char* text, int height, const char* fontName,
                                     const epiRect& rect, const epiColor& colour, int alignment)
{
    if (buffer_)
        markPresent(
            epiSurface::drawSystemText(*buffer_, text, height, fontName, rect, colour, alignment));
}

void epiUiEventsBase::drawShape(epiDrawCommand& record)
{
    if (buffer_)
        markPresent(epiSurface::drawShape(*buffer_, record));
}

void epiUiEventsBase::exposed(const platform::ui::Rect& area)
{
    if (area.y < 0) {
        stripDirty_ = true;
        return;
    }
    // The buffer still holds the picture: the screen only needs it again.
    markPresent(epiRect(area.x, area.y, area.x + area.width, area.y + area.height));
}

void epiUiEventsBase::pointer(PointerAction action, int x, int y, int wheelDelta)
{
    // Rows above the client area are the strip's.
    const int stripY = y + platform::ui::WindowSystem::kMenuStripHeight;
    if (y < 0 && strip_ && strip_->takesPointerFirst(action, x, stripY)) {
        strip_->stripPointer(action, x, stripY);
        return;
    }
    if (epiPopupList::filterPointer(*this, action, x, y))
        return;
    if (y < 0 && strip_) {
        strip_->stripPointer(action, x, stripY);
        return;
    }
    const epiPoint point(x, y);
    switch (action) {
    case PointerAction::Down:
        // The window keeps the pointer until the button comes up.
        grabPointer();
        onMouseDown(point);
        break;
    case PointerAction::Up:
        onMouseUp(point);
        if (native_)
            native_->releasePointer();
        break;
    case PointerAction::Move:
        onMouseMove(point);
        break;
    case PointerAction::Drag:
        onMouseDrag(point);
        break;
    case PointerAction::Wheel:
        // Whole notches of 120, truncated toward zero.
        onMouseWheel(point, wheelDelta / 120);
        break;
    }
}
