#include "hostfw/widgets/epiUiTextWidgets.h"

#include "hostfw/ui/epiUiBehaviour.h"
#include "hostfw/widgets/epiColourText.h"

#include <algorithm>

// -------------------------------------------------------------- bitmap text

std::vector<epiFourCC> epiUiBitmapText::savedAttributes() const
{
    return {epiCode("visi"), epiCode("teCl"), epiCode("teFo"), epiCode("txAl"), epiCode("text")};
}

void epiUiBitmapText::setAttributeText(epiFourCC code, const epiText& text)
{
    switch (code) {
    case epiCode("teCl"):
        epiColourFromText(text, colour_);
        break;
    case epiCode("teFo"):
        fontId_ = epiCodeFromText(text);
        break;
    case epiCode("txAl"):
        alignment_ = static_cast<int>(text.toLong());
        break;
    case epiCode("Clik"):
        clickable_ = text.toLong() != 0;
        break;
    default:
        epiUbo::setAttributeText(code, text);
        return;
    }
    redraw();
}

void epiUiBitmapText::draw(const epiRect& clip)
{
    if (getText().getLength() != 0)
        drawText(fontId_, alignment_, getBounds(), clip, getTextCStr(), colour_);
}

void epiUiBitmapText::onMouseDown(const epiPoint& point)
{
    if (clickable_)
        reportHit();
    else
        epiUbo::onMouseDown(point);
}

// ------------------------------------------------------------- rolling text

void epiUiBitmapTextRolling::setAttributeText(epiFourCC code, const epiText& text)
{
    if (code != epiCode("cont")) {
        epiUiBitmapText::setAttributeText(code, text);
        return;
    }
    content_ = text;
    lines_ = static_cast<int>(content_.countLines());
    index_ = -1;
    setValue(0);
}

void epiUiBitmapTextRolling::setValue(int index)
{
    if (index < 0 || index >= lines_)
        return;
    index_ = index;
    epiText line;
    content_.getLine(line, static_cast<std::size_t>(index));
    setTextCStr(line.getCStr());
}

void epiUiBitmapTextRolling::onMouseDown(const epiPoint& point)
{
    dragStart_ = point;
    captureMe();
}

void epiUiBitmapTextRolling::onMouseDrag(const epiPoint& point)
{
    const int offset = (dragStart_.y - point.y) / 2;
    if (offset == 0 || lines_ <= 0)
        return;
    setValue(std::clamp(index_ + offset, 0, lines_ - 1));
    dragStart_ = point;
}

// ------------------------------------------------------- labelled buttons

epiColor epiUiBitmapButtonWithText::labelColour() const
{
    if (!enabled_)
        return label_.disabledColour;
    const epiUiBehaviour* behaviour = getBehaviour();
    const bool on = behaviour && (behaviour->isPressed() || behaviour->isChecked());
    return on ? label_.onColour : label_.offColour;
}

void epiUiBitmapButtonWithText::draw(const epiRect& clip)
{
    epiUiBitmapButton::draw(clip);
    label_.draw(*this, clip, labelColour());
}

void epiUiBitmapButtonWithText::setAttributeText(epiFourCC code, const epiText& text)
{
    if (!label_.setAttributeText(code, text))
        epiUiBitmapButton::setAttributeText(code, text);
}

epiColor epiUiBitmapRadioWithText::labelColour() const
{
    const epiUiBehaviour* behaviour = getBehaviour();
    return behaviour && behaviour->isChecked() ? label_.onColour : label_.offColour;
}

void epiUiBitmapRadioWithText::draw(const epiRect& clip)
{
    epiUiBitmapButton::draw(clip);
    label_.draw(*this, clip, labelColour());
}

void epiUiBitmapRadioWithText::setAttributeText(epiFourCC code, const epiText& text)
{
    // Radios have no disabled caption colour.
    if (code == epiCode("tCdi") || !label_.setAttributeText(code, text))
        epiUiBitmapRadio::setAttributeText(code, text);
}

// ------------------------------------------------------------ pop-up items

void epiUiPopupMenuList::setContent(const epiText& content, bool nested)
{
    items_.clear();
    // Line breaks and "|" both end an item.
    std::string item;
    for (const char* c = content.getCStr(); *c; ++c) {
        if (*c == '\r')
            continue;
        if (*c == '\n' || *c == '|') {
            append(item, nested);
            item.clear();
        } else {
            item += *c;
        }
    }
    append(item, nested);
}

void epiUiPopupMenuList::append(const std::string& text, bool nested)
{
    if (text.empty())
        return;
    const std::size_t slash = nested ? text.find('/') : std::string::npos;
    if (slash == std::string::npos) {
        items_.push_back({text, nullptr});
        return;
    }
    const std::string parent = text.substr(0, slash);
    auto found = std::find_if(items_.begin(), items_.end(),
                              [&](const epiUiPopupMenuItem& item) { return item.text == parent; });
    if (found == items_.end()) {
        items_.push_back({parent, nullptr});
        found = items_.end() - 1;
    }
    if (!found->subList)
        found->subList = std::make_unique<epiUiPopupMenuList>();
    found->subList->append(text.substr(slash + 1), true);
}
