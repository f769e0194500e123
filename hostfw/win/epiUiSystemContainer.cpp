#include "hostfw/win/epiUiSystemContainer.h"

#include "hostfw/gfx/epiDrawCommand.h"
#include "hostfw/gfx/epiTextFace.h"

#include <algorithm>

void epiUiSystemContainer::create()
{
    epiUbo::create();
    loadLayoutFile(childLayout_.getCStr());
}

void epiUiSystemContainer::draw(const epiRect& clip)
{
    if (groupBox_)
        drawGroupBox(clip);
    epiUbo::draw(clip);
}

void epiUiSystemContainer::drawGroupBox(const epiRect& clip)
{
    // The frame below the caption's middle line, the caption over it
    // on the dialog's face, in the controls' font.
    constexpr int kCaptionHeight = 13;
    constexpr float kCaptionPixels = 8.0f * 96.0f / 72.0f;
    epiColor shade;
    shade.setGrey(160);
    epiRect frame(getBounds());
    frame.top = std::min(frame.top + kCaptionHeight / 2, frame.bottom);
    frameRect(frame, shade);
    if (getText().isEmpty())
        return;
    const int width = static_cast<int>(epiTextFace::measure(getTextCStr(), "DejaVu Sans", 8.0, 0));
    const epiRect caption(6, 0, std::min(6 + width + 4, getBounds().right), kCaptionHeight + 2);
    epiColor face;
    face.setGrey(240);
    epiRect gap(caption);
    gap.intersect(clip);
    if (gap.getWidth() > 0 && gap.getHeight() > 0)
        fillRect(gap, face);
    epiDrawCommand record;
    record.command = epiCode("ntxt");
    const epiRect box(caption.left + 2, caption.top, caption.right, caption.bottom);
    record.target = &box;
    record.clip = &clip;
    record.colour.setBlack();
    record.text.assign(getTextCStr());
    record.fontSize = kCaptionPixels;
    record.family.assign("DejaVu Sans");
    drawShape(record);
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
