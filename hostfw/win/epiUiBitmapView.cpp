#include "hostfw/win/epiUiBitmapView.h"

#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/win/epiSurface.h"

epiUiBitmapView::epiUiBitmapView() = default;

epiUiBitmapView::~epiUiBitmapView() = default;

std::vector<epiFourCC> epiUiBitmapView::allowedParentKinds() const
{
    return {epiCode("iWin"), epiCode("iSco"), epiCode("iBco"), epiCode("iCon")};
}

void epiUiBitmapView::makeSurface(int width, int height)
{
    if (!surface_) {
        epiObject* made = createObject(epiCode("GrUi"), epiCode("iBmD"), nullptr);
        auto* bitmap = dynamic_cast<epiBitmap*>(made);
        if (!bitmap) {
            delete made;
            return;
        }
        surface_.reset(bitmap);
    }
    surface_->create(width, height);
}

void epiUiBitmapView::create()
{
    makeSurface(getFrame().getWidth(), getFrame().getHeight());
    epiUbo::create();
}

void epiUiBitmapView::setRect(const epiRect& rect)
{
    if (surface_ &&
        (rect.getWidth() != getBounds().getWidth() || rect.getHeight() != getBounds().getHeight()))
        makeSurface(rect.getWidth(), rect.getHeight());
    epiUbo::setRect(rect);
}

void epiUiBitmapView::exit()
{
    surface_.reset();
    epiUbo::exit();
}

void epiUiBitmapView::fillRect(const epiRect& rect, const epiColor& colour)
{
    if (surface_)
        epiSurface::fillRect(*surface_, rect, colour);
}

void epiUiBitmapView::frameRect(const epiRect& rect, const epiColor& colour)
{
    if (surface_)
        epiSurface::frameRect(*surface_, rect, colour);
}

void epiUiBitmapView::drawLine(int x1, int y1, int x2, int y2, const epiRect& clip,
                               const epiColor& colour, int width)
{
    if (surface_)
        epiSurface::drawLine(*surface_, x1, y1, x2, y2, clip, colour, width);
}

void epiUiBitmapView::drawBitmap(const epiBitmap& bitmap, const epiRect& source,
                                 const epiRect& destination, const epiRect& clip)
{
    if (surface_)
        epiSurface::drawBitmap(*surface_, bitmap, source, destination, clip, false);
}

void epiUiBitmapView::blendBitmap(const epiBitmap& bitmap, const epiRect& source,
                                  const epiRect& destination, const epiRect& clip, epiFourCC mode,
                                  float)
{
    if (surface_ && mode == epiCode("blen"))
        epiSurface::drawBitmap(*surface_, bitmap, source, destination, clip, true);
}

void epiUiBitmapView::drawText(epiFourCC fontId, int alignment, const epiRect& rect,
                               const epiRect& clip, const char* text, const epiColor& colour)
{
    if (surface_)
        epiSurface::drawText(*surface_, resources(), fontId, alignment, rect, clip, text, colour);
}

int epiUiBitmapView::measureText(epiFourCC fontId, int alignment, const char* text)
{
    if (!getParent())
        return 0;
    return epiSurface::measureText(surface_.get(), resources(), fontId, alignment, text);
}

void epiUiBitmapView::drawSystemText(const char* text, int height, const char* fontName,
                                     const epiRect& rect, const epiColor& colour, int alignment)
{
    if (surface_)
        epiSurface::drawSystemText(*surface_, text, height, fontName, rect, colour, alignment);
}

void epiUiBitmapView::drawShape(epiDrawCommand& record)
{
    if (surface_)
        epiSurface::drawShape(*surface_, record);
}

void epiUiBitmapViewContainer::create()
{
    lockCount_ = 0;
    dirty_ = false;
    firstDraw_ = true;
    epiUiBitmapView::create();
    loadLayoutFile(childLayout_.getCStr());
}

void epiUiBitmapViewContainer::setAttributeText(epiFourCC code, const epiText& text)
{
    if (code != epiCode("chil")) {
        epiUiBitmapView::setAttributeText(code, text);
        return;
    }
    childLayout_.assign(text.getCStr());
    if (wasOpened())
        loadLayoutFile(childLayout_.getCStr());
}

bool epiUiBitmapViewContainer::getAttributeText(epiFourCC code, epiText& text) const
{
    if (code == epiCode("chil")) {
        text.assign(childLayout_.getCStr());
        return true;
    }
    return epiUiBitmapView::getAttributeText(code, text);
}

void epiUiBitmapViewContainer::lockRedraw(bool lock)
{
    if (lock) {
        if (lockCount_++ == 0) {
            dirty_ = false;
            dirtyRect_.clear();
        }
        return;
    }
    if (lockCount_ == 0)
        return;
    if (--lockCount_ == 0 && dirty_) {
        dirty_ = false;
        const epiRect gathered = dirtyRect_;
        dirtyRect_.clear();
        // Geometry alone leaves nothing gathered: then all of it.
        if (epiSurface::hasArea(gathered))
            invalidate(gathered);
        else
            redraw();
    }
}

void epiUiBitmapViewContainer::setRect(const epiRect& rect)
{
    epiUiBitmapView::setRect(rect);
    if (lockCount_ > 0)
        dirty_ = true;
}

void epiUiBitmapViewContainer::invalidate(const epiRect& rect)
{
    if (lockCount_ > 0) {
        dirty_ = true;
        epiSurface::addArea(dirtyRect_, rect);
        return;
    }
    epiBitmap* surface = getSurface();
    if (!surface)
        return;
    epiRect area(rect);
    area.intersect(surface->getBounds());
    if (!epiSurface::hasArea(area))
        return;
    surface->fillRect(background_, &area);
    const std::vector<epiUbo*> children = this->children();
    for (epiUbo* child : children)
        if (child->isVisible())
            child->drawChild(area);
    if (isVisible())
        epiUbo::drawBitmap(*surface, area, area, clipToVisible(getBounds()));
}

void epiUiBitmapViewContainer::draw(const epiRect& clip)
{
    if (lockCount_ > 0)
        dirty_ = true;
    if (firstDraw_) {
        firstDraw_ = false;
        redraw();
        return;
    }
    if (epiBitmap* surface = getSurface())
        epiUbo::drawBitmap(*surface, clip, clip, clipToVisible(getBounds()));
}
