#include "hostfw/win/epiUiContainer.h"

#include "hostfw/win/epiSurface.h"

std::vector<epiFourCC> epiUiContainer::allowedParentKinds() const
{
    return {epiCode("iWin"), epiCode("iCon"), epiCode("iSco"),
            epiCode("iBco"), epiCode("iCos"), epiCode("iBde")};
}

void epiUiContainer::create()
{
    enabled_ = true;
    epiUbo::create();
    loadLayoutFile(childLayout_.getCStr());
}

void epiUiContainer::onMouseDown(const epiPoint& point)
{
    if (enabled_)
        epiUbo::onMouseDown(point);
}

void epiUiContainer::setAttributeText(epiFourCC code, const epiText& text)
{
    if (code != epiCode("chil")) {
        epiUbo::setAttributeText(code, text);
        return;
    }
    childLayout_.assign(text.getCStr());
    if (wasOpened())
        loadLayoutFile(childLayout_.getCStr());
}

bool epiUiContainer::getAttributeText(epiFourCC code, epiText& text) const
{
    if (code == epiCode("chil")) {
        text.assign(childLayout_.getCStr());
        return true;
    }
    return epiUbo::getAttributeText(code, text);
}

void* epiUiScrollableContainer::notify(epiFourCC code, void* data, void* argument)
{
    switch (code) {
    case epiCode("scXY"):
        if (data)
            scroll_.copy(*static_cast<const epiPoint*>(data));
        break;
    case epiCode("scrX"):
        scroll_.x = static_cast<int>(reinterpret_cast<std::intptr_t>(data));
        break;
    case epiCode("scrY"):
        scroll_.y = static_cast<int>(reinterpret_cast<std::intptr_t>(data));
        break;
    default:
        return epiUiContainer::notify(code, data, argument);
    }
    redraw();
    return nullptr;
}

void epiUiScrollableContainer::redraw()
{
    if (getParent())
        getParent()->invalidate(getFrame());
}

epiRect epiUiScrollableContainer::rectToParent(const epiRect& rect) const
{
    epiRect moved(rect);
    moved.offset(getFrame().left - scroll_.x, getFrame().top - scroll_.y);
    return moved;
}

epiRect epiUiScrollableContainer::rectFromParent(const epiRect& rect) const
{
    epiRect moved(rect);
    moved.offset(scroll_.x - getFrame().left, scroll_.y - getFrame().top);
    return moved;
}

epiPoint epiUiScrollableContainer::pointToParent(const epiPoint& point) const
{
    return {point.x + getFrame().left - scroll_.x, point.y + getFrame().top - scroll_.y};
}

epiPoint epiUiScrollableContainer::pointFromParent(const epiPoint& point) const
{
    return {point.x - getFrame().left + scroll_.x, point.y - getFrame().top + scroll_.y};
}

bool epiUiScrollableContainer::clipToFrame(epiRect& clip) const
{
    clip.intersect(getFrame());
    return epiSurface::hasArea(clip);
}

void epiUiScrollableContainer::drawText(epiFourCC fontId, int alignment, const epiRect& rect,
                                        const epiRect& clip, const char* text,
                                        const epiColor& colour)
{
    epiRect cut = rectToParent(clip);
    if (getParent() && clipToFrame(cut))
        getParent()->drawText(fontId, alignment, rectToParent(rect), cut, text, colour);
}

void epiUiScrollableContainer::drawBitmap(const epiBitmap& bitmap, const epiRect& source,
                                          const epiRect& destination, const epiRect& clip)
{
    epiRect cut = rectToParent(clip);
    if (getParent() && clipToFrame(cut))
        getParent()->drawBitmap(bitmap, source, rectToParent(destination), cut);
}

void epiUiScrollableContainer::blendBitmap(const epiBitmap& bitmap, const epiRect& source,
                                           const epiRect& destination, const epiRect& clip,
                                           epiFourCC mode, float alpha)
{
    epiRect cut = rectToParent(clip);
    if (getParent() && clipToFrame(cut))
        getParent()->blendBitmap(bitmap, source, rectToParent(destination), cut, mode, alpha);
}
