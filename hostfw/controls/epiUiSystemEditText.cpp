#include "hostfw/controls/epiUiSystemEditText.h"

#include "hostfw/app/epiKeyboard.h"
#include "hostfw/controls/epiControlLook.h"
#include "platform/EventPump.h"

#include <algorithm>
#include <cmath>

namespace look = epiControlLook;

namespace {

constexpr int kTab = 9;
constexpr int kBackspace = 8;
constexpr int kMargin = 3;

bool isContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t previousOffset(const std::string& text, std::size_t at)
{
    if (at == 0)
        return 0;
    --at;
    while (at > 0 && isContinuation(text[at]))
        --at;
    return at;
}

std::size_t nextOffset(const std::string& text, std::size_t at)
{
    if (at >= text.size())
        return text.size();
    ++at;
    while (at < text.size() && isContinuation(text[at]))
        ++at;
    return at;
}

std::size_t characterCount(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return !isContinuation(c); }));
}

// The key's character as UTF-8 (the keys give Latin-1); empty when it types
// nothing.
std::string typedCharacter(int code)
{
    if (code >= 32 && code < 127)
        return std::string(1, static_cast<char>(code));
    if (code >= 160 && code < 256) {
        std::string out;
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
        return out;
    }
    return {};
}

} // namespace

std::vector<epiFourCC> epiUiSystemEditText::savedAttributes() const
{
    return {epiCode("visi"), epiCode("enab"), epiCode("txAl"), epiCode("filC"), epiCode("uprC"),
            epiCode("maxC"), epiCode("autT"), epiCode("teSi"), epiCode("teBo")};
}

void epiUiSystemEditText::setAttribute(epiFourCC code, std::intptr_t value)
{
    switch (code) {
    case epiCode("autT"):
        autoTab_ = value != 0;
        filterOn_ = true;
        break;
    case epiCode("uprC"):
        upperCase_ = value != 0;
        filterOn_ = true;
        break;
    case epiCode("maxC"):
        maxChars_ = std::max(0, static_cast<int>(value));
        filterOn_ = maxChars_ != 0;
        break;
    default:
        epiUiSystemStaticText::setAttribute(code, value);
        break;
    }
}

void epiUiSystemEditText::setAttributeText(epiFourCC code, const epiText& text)
{
    if (code == epiCode("filC")) {
        filter_.assign(text.getCStr());
        filterOn_ = !filter_.isEmpty();
        return;
    }
    epiUiSystemStaticText::setAttributeText(code, text);
}

bool epiUiSystemEditText::getAttributeText(epiFourCC code, epiText& text) const
{
    switch (code) {
    case epiCode("filC"):
        text.assign(filter_.getCStr());
        return true;
    case epiCode("uprC"):
        text.assignLong(upperCase_ ? 1 : 0);
        return true;
    case epiCode("maxC"):
        text.assignLong(maxChars_);
        return true;
    case epiCode("autT"):
        text.assignLong(autoTab_ ? 1 : 0);
        return true;
    default:
        return epiUiSystemStaticText::getAttributeText(code, text);
    }
}

void epiUiSystemEditText::onTextChanged()
{
    if (suppressChange_ == 0) {
        caret_ = anchor_ = getText().getLength();
        lengthBefore_ = caret_;
        scroll_ = 0;
    }
    redraw();
}

void epiUiSystemEditText::setValue(int value)
{
    epiText number;
    number.assignLong(value);
    setText(number);
}

void* epiUiSystemEditText::notify(epiFourCC code, void* data, void* argument)
{
    if (code == epiCode("Flpa")) {
        normalise();
        return nullptr;
    }
    return epiUiSystemStaticText::notify(code, data, argument);
}

void epiUiSystemEditText::normalise()
{
    const std::size_t before = lengthBefore_;
    std::string copy = getText().str();
    if (maxChars_ > 0 && characterCount(copy) > static_cast<std::size_t>(maxChars_)) {
        std::size_t cut = 0;
        for (int i = 0; i < maxChars_; ++i)
            cut = nextOffset(copy, cut);
        copy.resize(cut);
    }
    if (upperCase_) {
        for (char& c : copy) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        }
    }
    if (!filter_.isEmpty()) {
        std::string kept;
        for (char c : copy) {
            if (filter_.containsChar(c))
                kept += c;
        }
        copy = kept;
    }
    if (copy != getText().str())
        setText(epiText(copy));
    const auto length = static_cast<int>(characterCount(copy));
    if (autoTab_ && maxChars_ > 0 && length == maxChars_ &&
        maxChars_ == static_cast<int>(before) + 1)
        focusNext(*keyRoot());
}

void epiUiSystemEditText::selectAll()
{
    anchor_ = 0;
    caret_ = getText().getLength();
    redraw();
}

// -------------------------------------------------------------------- edits

void epiUiSystemEditText::edited(std::string text, std::size_t caret)
{
    lengthBefore_ = characterCount(getText().str());
    ++suppressChange_;
    setText(epiText(std::move(text)));
    --suppressChange_;
    caret_ = anchor_ = caret;
    redraw();
    activate();
}

bool epiUiSystemEditText::typeText(const std::string& characters)
{
    if (filterOn_ && !filter_.isEmpty()) {
        for (char c : characters) {
            if (!filter_.containsChar(c))
                return false;
        }
    }
    std::string text = getText().str();
    const std::size_t from = selectionStart();
    const std::size_t to = selectionEnd();
    const std::size_t remaining =
        characterCount(text) - characterCount(text.substr(from, to - from));
    if (maxChars_ > 0 &&
        remaining + characterCount(characters) > static_cast<std::size_t>(maxChars_))
        return false;
    text.replace(from, to - from, characters);
    edited(std::move(text), from + characters.size());
    return true;
}

void epiUiSystemEditText::eraseSelection(bool forward)
{
    std::string text = getText().str();
    std::size_t from = selectionStart();
    std::size_t to = selectionEnd();
    if (from == to) {
        if (forward)
            to = nextOffset(text, to);
        else
            from = previousOffset(text, from);
    }
    if (from == to)
        return;
    text.erase(from, to - from);
    edited(std::move(text), from);
}

void epiUiSystemEditText::moveCaret(std::size_t to, bool extend)
{
    caret_ = std::min(to, getText().getLength());
    if (!extend)
        anchor_ = caret_;
    redraw();
}

// -------------------------------------------------------------------- input

void epiUiSystemEditText::onKeyDown(int code)
{
    if (!enabled_) {
        passKey(code);
        return;
    }
    const epiKeyboard* keys = keyboard();
    const bool shift = keys && keys->getShift();
    const std::string& text = getText().str();
    switch (code) {
    case kTab:
        focusNext(*keyRoot(), !shift);
        return;
    case kBackspace:
        eraseSelection(keys && keys->lastKeySymbol() == platform::kKeyDelete);
        return;
    case epiKeyboard::kLeft:
        if (!shift && selectionStart() != selectionEnd())
            moveCaret(selectionStart(), false);
        else
            moveCaret(previousOffset(text, caret_), shift);
        return;
    case epiKeyboard::kRight:
        if (!shift && selectionStart() != selectionEnd())
            moveCaret(selectionEnd(), false);
        else
            moveCaret(nextOffset(text, caret_), shift);
        return;
    case epiKeyboard::kHome:
        moveCaret(0, shift);
        return;
    case epiKeyboard::kEnd:
        moveCaret(text.size(), shift);
        return;
    default:
        break;
    }
    const std::string typed = typedCharacter(code);
    if (!typed.empty() && !(keys && keys->anyCommandModifier())) {
        typeText(typed);
        return;
    }
    passKey(code);
}

int epiUiSystemEditText::textLeft() const
{
    return kMargin - scroll_;
}

int epiUiSystemEditText::xOf(std::size_t offset) const
{
    const std::string prefix = getText().str().substr(0, offset);
    return textLeft() + static_cast<int>(std::lround(look::measure(prefix.c_str(), bold_)));
}

std::size_t epiUiSystemEditText::offsetAt(int x) const
{
    // The nearest boundary between characters; the text is drawn one pixel
    // in from the inner edge of the bevel.
    const std::string& text = getText().str();
    std::size_t best = 0;
    int bestDistance = -1;
    for (std::size_t at = 0;; at = nextOffset(text, at)) {
        const int distance = std::abs(x - (1 + xOf(at)));
        if (bestDistance < 0 || distance < bestDistance) {
            best = at;
            bestDistance = distance;
        }
        if (at >= text.size())
            break;
    }
    return best;
}

void epiUiSystemEditText::onMouseDown(const epiPoint& point)
{
    if (!enabled_)
        return;
    takeFocus();
    const epiKeyboard* keys = keyboard();
    moveCaret(offsetAt(point.x), keys && keys->getShift());
    selecting_ = true;
    captureMe();
}

void epiUiSystemEditText::onMouseDrag(const epiPoint& point)
{
    if (selecting_)
        moveCaret(offsetAt(point.x), true);
}

void epiUiSystemEditText::onMouseUp(const epiPoint&)
{
    if (selecting_)
        releaseCapture();
    selecting_ = false;
}

void epiUiSystemEditText::draw(const epiRect& clip)
{
    const epiRect bounds = getBounds();
    look::fill(*this, bounds, clip, enabled_ ? look::kField : look::kFace);
    look::bevel(*this, bounds, clip, true);
    epiRect inner(bounds);
    inner.insetAll(2);
    // The caret stays inside the field: the text scrolls under it.
    const int width = inner.getWidth() - 2 * kMargin + 2;
    const int caretX = static_cast<int>(
        std::lround(look::measure(getText().str().substr(0, caret_).c_str(), bold_)));
    if (caretX - scroll_ > width)
        scroll_ = caretX - width;
    if (caretX < scroll_)
        scroll_ = caretX;
    const bool focused = hasFocus();
    epiRect cut(clip);
    cut.intersect(inner);
    const epiRect line(inner.left + textLeft() - 1, inner.top, inner.right + 400, inner.bottom);
    look::text(*this, getTextCStr(), line, cut, enabled_ ? look::kText : look::kDisabledText, 0,
               bold_);
    if (focused && selectionStart() != selectionEnd()) {
        // The selected part again, in the selection's text colour.
        const int from = inner.left - 1 + xOf(selectionStart());
        const int to = inner.left - 1 + xOf(selectionEnd());
        epiRect selected(from, inner.top, to, inner.bottom);
        selected.intersect(cut);
        look::fill(*this, epiRect(from, inner.top + 1, to, inner.bottom - 1), cut,
                   look::kSelection);
        look::text(*this, getTextCStr(), line, selected, look::kSelectedText, 0, bold_);
    }
    if (focused) {
        const int x = inner.left - 1 + xOf(caret_);
        look::fill(*this, epiRect(x, inner.top + 2, x + 1, inner.bottom - 2), cut, look::kText);
    }
}
