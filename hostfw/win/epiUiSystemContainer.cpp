#include "hostfw/win/epiUiSystemContainer.h"

void epiUiSystemContainer::create()
{
    epiUbo::create();
    loadLayoutFile(childLayout_.getCStr());
}

void epiUiSystemContainer::draw(const epiRect& clip)
{
    epiUbo::draw(clip);
    if (!groupBox_)
        return;
    // The group box's etched frame, below the caption's middle line.
    epiColor shade;
    shade.setGrey(160);
    epiRect frame(getBounds());
    frame.top = std::min(frame.top + 6, frame.bottom);
    frameRect(frame, shade);
}

void* epiUiSystemContainer::nativeHandle() const
{
    return getParent() ? getParent()->nativeHandle() : nullptr;
}

void epiUiSystemContainer::setAttribute(epiFourCC code, std::intptr_t value)
{
    if (code == epiCode("Grup"))
        groupBox_ = value != 0;
    else
        epiUbo::setAttribute(code, value);
}

void epiUiSystemContainer::setAttributeText(epiFourCC code, const epiText& text)
{
    if (code == epiCode("chil"))
        childLayout_.assign(text.getCStr());
    else
        epiUbo::setAttributeText(code, text);
}

bool epiUiSystemContainer::getAttributeText(epiFourCC code, epiText& text) const
{
    if (code == epiCode("chil")) {
        text.assign(childLayout_.getCStr());
        return true;
    }
    if (code == epiCode("Grup")) {
        text.assignLong(groupBox_ ? 1 : 0);
        return true;
    }
    return epiUbo::getAttributeText(code, text);
}
