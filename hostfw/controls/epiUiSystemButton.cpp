#include "hostfw/controls/epiUiSystemButton.h"

#include "hostfw/app/epiKeyboard.h"
#include "hostfw/controls/epiControlLook.h"
#include "hostfw/controls/epiUiSystemEditText.h"

#include <algorithm>
#include <utility>

namespace look = epiControlLook;

namespace {

constexpr int kKeyReturn = 13;
constexpr int kKeyEnter = 3;
constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyTab = 9;

// The visible objects of the tree in drawing order, depth first.
void collectNodes(epiUbo& node, std::vector<epiUbo*>& out)
{
    for (epiUbo* child : node.children()) {
        if (!child->isVisible())
            continue;
        out.push_back(child);
        collectNodes(*child, out);
    }
}

} // namespace

epiUiSystemButton::epiUiSystemButton()
{
    setRect(epiRect(10, 10, 100, 35));
}

epiUiSystemButton::~epiUiSystemButton() = default;

std::vector<epiFourCC> epiUiSystemButton::allowedParentKinds() const
{
    return {epiCode("iWin"), epiCode("iSco"), epiCode("iSde")};
}

void epiUiSystemButton::create()
{
    epiUbo::create();
    createControl();
    afterCreate();
    created_ = true;
    redraw();
}

void epiUiSystemButton::afterCreate()
{
    if ((isDefault_ || isCancel_) && getParent() && !keysParent_) {
        keysParent_ = getParent();
        keysParent_->registerListener(epiCode("kedo"), this, 0);
    }
}

void epiUiSystemButton::unregisterKeys()
{
    if (epiUbo* parent = std::exchange(keysParent_, nullptr))
        parent->unregisterListener(epiCode("kedo"), this);
}

void epiUiSystemButton::close()
{
    loseFocus();
    unregisterKeys();
    if (pressed_)
        releaseCapture();
    pressed_ = false;
    created_ = false;
    epiUbo::close();
}

void epiUiSystemButton::exit()
{
    loseFocus();
    unregisterKeys();
    epiUbo::exit();
}

void epiUiSystemButton::onMessage(epiFourCC key, epiUbo*, void* argument)
{
    if (key != epiCode("kedo") || !enabled_)
        return;
    const auto code = reinterpret_cast<std::intptr_t>(argument);
    if ((isDefault_ && (code == kKeyReturn || code == kKeyEnter)) ||
        (isCancel_ && code == kKeyEscape))
        press();
}

void epiUiSystemButton::press()
{
    reportHit();
}

void epiUiSystemButton::setEnabled(bool enabled)
{
    if (!enabled)
        loseFocus();
    enabled_ = enabled;
    epiUbo::setEnabled(enabled);
    redraw();
}

void epiUiSystemButton::onVisibilityChanged()
{
    if (!isVisible())
        loseFocus();
    epiUbo::onVisibilityChanged();
}

void epiUiSystemButton::setAttribute(epiFourCC code, std::intptr_t value)
{
    if (code == epiCode("enab"))
        setEnabled(value != 0);
    else
        epiUbo::setAttribute(code, value);
}

void epiUiSystemButton::setAttributeText(epiFourCC code, const epiText& text)
{
    if (code == epiCode("defa")) {
        const long value = text.toLong();
        isDefault_ = value == 1;
        isCancel_ = value == 2;
        return;
    }
    epiUbo::setAttributeText(code, text);
}

bool epiUiSystemButton::getAttributeText(epiFourCC code, epiText& text) const
{
    if (code == epiCode("defa")) {
        text.assignLong(isDefault_ ? 1 : isCancel_ ? 2 : 0);
        return true;
    }
    if (code == epiCode("enab")) {
        text.assignLong(enabled_ ? 1 : 0);
        return true;
    }
    return epiUbo::getAttributeText(code, text);
}

// -------------------------------------------------------------------- input

void epiUiSystemButton::onMouseDown(const epiPoint&)
{
    if (!enabled_)
        return;
    takeFocus();
    pressed_ = true;
    inside_ = true;
    captureMe();
    redraw();
}

void epiUiSystemButton::onMouseDrag(const epiPoint& point)
{
    if (!pressed_)
        return;
    const bool inside = getBounds().containsPoint(point);
    if (inside != inside_) {
        inside_ = inside;
        redraw();
    }
}

void epiUiSystemButton::onMouseUp(const epiPoint& point)
{
    if (!pressed_)
        return;
    pressed_ = false;
    const bool inside = getBounds().containsPoint(point);
    releaseCapture();
    redraw();
    if (inside && enabled_)
        activate();
}

void epiUiSystemButton::onKeyDown(int code)
{
    if (enabled_ && (code == kKeySpace || code == kKeyReturn)) {
        activate();
        return;
    }
    if (code == kKeyTab) {
        const epiKeyboard* keys = keyboard();
        focusNext(*keyRoot(), !(keys && keys->getShift()));
        return;
    }
    passKey(code);
}

void epiUiSystemButton::onKeyRepeat(int)
{
}

void epiUiSystemButton::passKey(int code)
{
    for (epiUbo* up = getParent(); up; up = up->getParent()) {
        up->onKeyDown(code);
        if (up == keyRoot())
            break;
    }
}

void epiUiSystemButton::draw(const epiRect& clip)
{
    const epiRect bounds = getBounds();
    look::fill(*this, bounds, clip, look::kFace);
    epiRect inner(bounds);
    if (isDefault_) {
        // The default button's extra dark ring.
        look::frame(*this, bounds, clip, look::kText);
        inner.insetAll(1);
    }
    look::bevel(*this, inner, clip, pressedLook());
    epiRect textRect(inner);
    textRect.insetAll(3);
    if (pressedLook())
        textRect.offset(1, 1);
    look::text(*this, getTextCStr(), textRect, clip, enabled_ ? look::kText : look::kDisabledText,
               1);
    if (hasFocus()) {
        epiRect mark(inner);
        mark.insetAll(3);
        look::focusMark(*this, mark, clip);
    }
}

// -------------------------------------------------------------------- focus

epiUbo* epiUiSystemButton::keyRoot() const
{
    const epiUbo* node = this;
    while (node->getParent() && !node->ownsSurface())
        node = node->getParent();
    return const_cast<epiUbo*>(node);
}

bool epiUiSystemButton::hasFocus() const
{
    const epiUbo* root = keyRoot();
    return root != this && const_cast<epiUbo*>(root)->getKeyTarget() == this;
}

void epiUiSystemButton::takeFocus()
{
    if (!takesFocus() || hasFocus() || keyRoot() == this)
        return;
    if (auto* current = dynamic_cast<epiUiSystemButton*>(keyRoot()->getKeyTarget()))
        current->loseFocus();
    requestKeyFocus();
    onFocusChanged(true);
}

void epiUiSystemButton::loseFocus()
{
    if (!hasFocus())
        return;
    releaseKeyFocus();
    onFocusChanged(false);
}

void epiUiSystemButton::focusNext(epiUbo& root, bool forward)
{
    std::vector<epiUbo*> nodes;
    collectNodes(root, nodes);
    const int count = static_cast<int>(nodes.size());
    // From the focused field, or from the first object when none has the
    // focus, as the system's dialogs do.
    int from = 0;
    for (int i = 0; i < count; ++i) {
        auto* edit = dynamic_cast<epiUiSystemEditText*>(nodes[i]);
        if (edit && edit->hasFocus())
            from = i;
    }
    for (int step = 1; step <= count; ++step) {
        const int i = ((forward ? from + step : from - step) % count + count) % count;
        auto* edit = dynamic_cast<epiUiSystemEditText*>(nodes[i]);
        if (edit && edit->takesFocus()) {
            edit->takeFocus();
            edit->selectAll();
            return;
        }
    }
}
