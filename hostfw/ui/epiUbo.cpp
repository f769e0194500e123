#include "hostfw/ui/epiUbo.h"

#include "hostfw/app/epiApplication.h"
#include "hostfw/app/epiWindowManager.h"
#include "hostfw/gfx/epiDrawCommand.h"
#include "hostfw/res/epiResources.h"
#include "hostfw/res/epiXmlChunk.h"
#include "hostfw/ui/epiUiBehaviour.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

void epiKeyRegistrations::registerKey(epiFourCC key, epiUbo* listener, std::intptr_t value)
{
    for (Entry& entry : entries_) {
        if (entry.key == key && entry.listener == listener) {
            entry.value = value;
            return;
        }
    }
    for (Entry& entry : entries_) {
        if (entry.key == 0) {
            entry = {key, listener, value};
            return;
        }
    }
    entries_.push_back({key, listener, value});
}

void epiKeyRegistrations::unregisterKey(epiFourCC key, epiUbo* listener)
{
    for (Entry& entry : entries_) {
        if (entry.key == key && (!listener || entry.listener == listener))
            entry = {};
    }
}

void epiKeyRegistrations::broadcast(epiFourCC key, epiUbo* owner, void* argument)
{
    if (key == 0)
        return;
    // By index: a listener may register others while it is notified.
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].key != key)
            continue;
        epiUbo* listener = entries_[i].listener;
        listener->retain();
        listener->onMessage(key, owner, argument);
        listener->release();
    }
}

namespace {

std::string vformatted(const char* format, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// The four characters of a code; zero bytes are left out, so that code 0
// reads back as 0.
std::string fourChars(epiFourCC code)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((code >> shift) & 0xFF);
        if (c != '\0')
            text += c;
    }
    return text;
}

// "x,y" as two integers; false when the element is absent.
bool readPair(const epiXmlChunk& parent, const char* name, epiPoint& pair)
{
    epiXmlChunk content, tag;
    if (!parent.findChild(name, content, tag))
        return false;
    const std::string text = content.getText().str();
    const std::size_t comma = text.find(',');
    pair.x = std::atoi(text.c_str());
    pair.y = comma == std::string::npos ? 0 : std::atoi(text.c_str() + comma + 1);
    return true;
}

void appendElement(epiText& out, const char* tag, const std::string& value)
{
    out.storage() += std::string("<") + tag + ">" + value + "</" + tag + ">\r\n";
}

epiApplication* applicationOf(const epiApplicationObject& object)
{
    return dynamic_cast<epiApplication*>(object.getApplication());
}

} // namespace

epiUbo::~epiUbo()
{
    for (epiUbo* child : children_) {
        if (child->parent_ == this)
            child->parent_ = nullptr;
    }
    // A child deleted before its parent leaves no dangling entry behind.
    if (parent_)
        parent_->removeChild(this);
    delete nullChild_;
    dropBehaviour();
}

bool epiUbo::init()
{
    behaviour_ = createBehaviour();
    if (behaviour_) {
        behaviour_->enableReferenceCount();
        behaviour_->attach(getApplication());
        behaviour_->setOwner(this);
        behaviour_->init();
    }
    return true;
}

void epiUbo::dropBehaviour()
{
    if (epiUiBehaviour* behaviour = std::exchange(behaviour_, nullptr)) {
        behaviour->exit();
        behaviour->release();
    }
}

void epiUbo::setEnabled(bool enabled)
{
    if (behaviour_)
        behaviour_->setEnabled(enabled);
}

void epiUbo::setBehaviourValue(int value)
{
    if (behaviour_)
        behaviour_->setChecked(value != 0);
}

int epiUbo::getBehaviourValue() const
{
    return behaviour_ && behaviour_->isChecked() ? 1 : 0;
}

void epiUbo::activate()
{
    if (!behaviour_ || !behaviour_->activate())
        reportHit();
}

void epiUbo::press()
{
    if (behaviour_)
        behaviour_->press();
}

// ---------------------------------------------------------------- life cycle

void epiUbo::create()
{
    broadcast(epiCode("uCrt"), nullptr);
}

void epiUbo::open()
{
    notOpened_ = false;
    const std::vector<epiUbo*> children = children_;
    for (epiUbo* child : children) {
        if (child->isVisible())
            child->open();
    }
}

void epiUbo::close()
{
    broadcast(epiCode("uDsr"), nullptr);
    unregisterListener(epiCode("uDsr"), nullptr);
}

void epiUbo::exit()
{
    close();
    dropBehaviour();
    clearChildren();
    if (epiUbo* placeholder = std::exchange(nullChild_, nullptr))
        placeholder->exit(); // counted once: its release deletes it
    epiApplicationObject::exit();
    if (epiApplication* app = applicationOf(*this))
        app->removeTimedTasks(this);
    if (epiUbo* parent = std::exchange(parent_, nullptr))
        parent->removeChild(this);
    release();
}

// ---------------------------------------------------------------------- tree

bool epiUbo::acceptsParentKind(epiFourCC kind) const
{
    const std::vector<epiFourCC> allowed = allowedParentKinds();
    return allowed.empty() || std::find(allowed.begin(), allowed.end(), kind) != allowed.end();
}

bool epiUbo::addChild(epiUbo* child)
{
    if (!canHaveChildren() || !child || !child->acceptsParentKind(getKind()))
        return false;
    if (std::find(children_.begin(), children_.end(), child) != children_.end())
        return false;
    const bool hadApplication = child->getApplication() != nullptr;
    children_.push_back(child);
    child->attach(getApplication());
    child->parent_ = this;
    child->setIndex(childCount() - 1);
    if (!hadApplication)
        child->init();
    return true;
}

void epiUbo::removeChild(epiUbo* child)
{
    auto found = std::find(children_.begin(), children_.end(), child);
    if (found == children_.end())
        return;
    const int from = static_cast<int>(found - children_.begin());
    children_.erase(found);
    if (capturedChild_ == child)
        capturedChild_ = nullptr;
    keyTargets_.remove(child);
    for (int i = from; i < childCount(); ++i)
        children_[static_cast<std::size_t>(i)]->setIndex(i);
}

void epiUbo::deleteChild(epiFourCC id)
{
    if (epiUbo* child = findChild(id))
        child->exit();
}

void epiUbo::clearChildren()
{
    while (!children_.empty()) {
        epiUbo* child = children_.back();
        child->exit();
        // Its exit normally took it out; the pointer is only compared.
        auto found = std::find(children_.begin(), children_.end(), child);
        if (found != children_.end())
            children_.erase(found);
    }
    children_.shrink_to_fit();
}

bool epiUbo::addAndCreate(epiUbo* child)
{
    if (!addChild(child))
        return false;
    child->create();
    child->open();
    child->onReady();
    child->setVisible(true, true);
    return true;
}

epiUbo* epiUbo::addNewChild(epiFourCC kind, epiFourCC id, int left, int top, int width, int height,
                            int group, int groupIndex, const char* text, bool show)
{
    epiUbo* child = createChildObject(kind, id);
    if (!child)
        return getNullChild();
    child->enableReferenceCount();
    if (!addChild(child)) {
        child->release();
        return getNullChild();
    }
    child->setRect(epiRect(left, top, left + width, top + height));
    child->setGroup(group, groupIndex);
    child->setId(id);
    child->setTextCStr(text);
    child->create();
    child->open();
    child->onReady();
    if (show)
        child->setVisible(true, true);
    return child;
}

epiUbo* epiUbo::createChildObject(epiFourCC kind, epiFourCC id)
{
    epiObject* made = createObject(epiCode("GrUi"), kind, nullptr);
    auto* child = dynamic_cast<epiUbo*>(made);
    if (!child) {
        delete made;
        return nullptr;
    }
    child->setId(id);
    return child;
}

epiUbo* epiUbo::childAt(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    return children_[static_cast<std::size_t>(index)];
}

epiUbo* epiUbo::findChild(epiFourCC id) const
{
    for (epiUbo* child : children_) {
        if (child->getId() == id)
            return child;
    }
    return nullptr;
}

epiUbo* epiUbo::getNullChild()
{
    if (!nullChild_) {
        nullChild_ = new epiUbo;
        nullChild_->enableReferenceCount();
        nullChild_->attach(getApplication());
    }
    // No reference is taken per lookup: the placeholder belongs to this
    // object alone, and a count taken on every miss would never come back.
    return nullChild_;
}

epiUbo* epiUbo::getChild(epiFourCC id)
{
    epiUbo* child = findChild(id);
    return child ? child : getNullChild();
}

epiUbo* epiUbo::getChildAt(int index)
{
    epiUbo* child = childAt(index);
    return child ? child : getNullChild();
}

epiUbo* epiUbo::findAncestorOfKind(epiFourCC kind)
{
    for (epiUbo* object = this; object; object = object->parent_) {
        if (object->getKind() == kind)
            return object;
    }
    return nullptr;
}

epiUbo* epiUbo::findAncestorById(epiFourCC id)
{
    for (epiUbo* object = this; object; object = object->parent_) {
        if (object->getId() == id)
            return object;
    }
    return nullptr;
}

void epiUbo::formatChildText(epiFourCC id, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = vformatted(format, args);
    va_end(args);
    getChild(id)->setTextCStr(text.c_str());
}

// ------------------------------------------------------------------ geometry

void epiUbo::setFrameQuietly(const epiRect& rect)
{
    frame_.copy(rect);
    bounds_.setOriginSizeOf(rect);
}

void epiUbo::setRect(const epiRect& rect)
{
    setFrameQuietly(rect);
    invalidate(bounds_);
    broadcast(epiCode("boCh"), nullptr);
}

void epiUbo::moveToXY(int x, int y)
{
    if (frame_.left == x && frame_.top == y)
        return;
    redraw();
    epiRect moved(frame_);
    moved.moveTo(x, y);
    setRect(moved);
}

void epiUbo::moveTo(int x, int y)
{
    epiRect moved(frame_);
    moved.moveTo(x, y);
    setRect(moved);
}

void epiUbo::resizeTo(int width, int height)
{
    epiRect sized(frame_);
    sized.setSize(width, height);
    setRect(sized);
}

epiRect epiUbo::layoutReferenceRect() const
{
    return designRect_.isEmpty() ? bounds_ : designRect_;
}

epiRect epiUbo::rectToParent(const epiRect& rect) const
{
    epiRect moved(rect);
    moved.offset(frame_.left, frame_.top);
    return moved;
}

epiRect epiUbo::rectFromParent(const epiRect& rect) const
{
    epiRect moved(rect);
    moved.offset(-frame_.left, -frame_.top);
    return moved;
}

epiPoint epiUbo::pointToParent(const epiPoint& point) const
{
    return {point.x + frame_.left, point.y + frame_.top};
}

epiPoint epiUbo::pointFromParent(const epiPoint& point) const
{
    return {point.x - frame_.left, point.y - frame_.top};
}

epiRect epiUbo::rectToAncestor(const epiRect& rect, const epiUbo* ancestor) const
{
    epiRect moved(rect);
    for (const epiUbo* object = this; object && object != ancestor; object = object->parent_)
        moved.offset(object->frame_.left, object->frame_.top);
    return moved;
}

epiPoint epiUbo::pointToAncestor(const epiPoint& point, const epiUbo* ancestor) const
{
    const epiRect moved = rectToAncestor(epiRect(point.x, point.y, point.x, point.y), ancestor);
    return moved.topLeft();
}

epiRect epiUbo::rectUpLevels(const epiRect& rect, int levels) const
{
    epiRect moved(rect);
    const epiUbo* object = this;
    for (int level = 0; object && level < levels; ++level, object = object->parent_)
        moved.offset(object->frame_.left, object->frame_.top);
    return moved;
}

epiPoint epiUbo::pointUpLevels(const epiPoint& point, int levels) const
{
    return rectUpLevels(epiRect(point.x, point.y, point.x, point.y), levels).topLeft();
}

const epiUbo* epiUbo::findSurface(epiRect& rect) const
{
    if (!parent_ || ownsSurface()) {
        rect.copy(bounds_);
        return this;
    }
    const epiUbo* owner = parent_->findSurface(rect);
    rect = rectFromParent(rect);
    return owner;
}

void epiUbo::fitChildAspect(epiFourCC targetId, epiFourCC sourceId, double ratio)
{
    epiUbo* source = findChild(sourceId);
    epiUbo* target = findChild(targetId);
    if (!source || !target || ratio <= 0.0)
        return;
    const epiRect& frame = source->getFrame();
    const int width = frame.getWidth();
    const int height = frame.getHeight();
    epiRect fitted;
    if (height > 0 && ratio < static_cast<double>(width) / height)
        fitted.setOriginSize(static_cast<int>(height * ratio), height);
    else
        fitted.setOriginSize(width, static_cast<int>(width / ratio));
    fitted.alignTo(frame, 8);
    target->setRect(fitted);
    target->applyAnchors();
}

void epiUbo::setAnchors(int topLeft, int bottomRight)
{
    topLeftAnchor_ = topLeft;
    bottomRightAnchor_ = bottomRight;
    if (!parent_)
        return;
    const epiRect reference = parent_->layoutReferenceRect();
    if (topLeft != -1) {
        const epiPoint at = reference.pointAt(topLeft);
        topLeftMargin_.set(frame_.left - at.x, frame_.top - at.y);
    }
    if (bottomRight != -1) {
        const epiPoint at = reference.pointAt(bottomRight);
        bottomRightMargin_.set(frame_.right - at.x, frame_.bottom - at.y);
    }
}

void epiUbo::applyAnchors()
{
    if (parent_ && (topLeftAnchor_ != -1 || bottomRightAnchor_ != -1)) {
        epiRect anchored(frame_);
        if (topLeftAnchor_ != -1) {
            const epiPoint at = parent_->bounds_.pointAt(topLeftAnchor_);
            anchored.left = at.x + topLeftMargin_.x;
            anchored.top = at.y + topLeftMargin_.y;
        }
        if (bottomRightAnchor_ != -1) {
            const epiPoint at = parent_->bounds_.pointAt(bottomRightAnchor_);
            anchored.right = at.x + bottomRightMargin_.x;
            anchored.bottom = at.y + bottomRightMargin_.y;
        }
        setRect(anchored);
    }
    const std::vector<epiUbo*> children = children_;
    for (epiUbo* child : children)
        child->applyAnchors();
}

// --------------------------------------------------- visibility, text, value

void epiUbo::setVisible(bool visible, bool redrawNow)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    if (redrawNow) {
        onVisibilityChanged();
        redraw();
    }
}

void epiUbo::setTextCStr(const char* text)
{
    text_.assign(text ? text : "");
    onTextChanged();
}

void epiUbo::formatText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    text_.assign(vformatted(format, args).c_str());
    va_end(args);
    onTextChanged();
}

// ------------------------------------------------------------------- hits

void epiUbo::reportHit()
{
    if (!parent_)
        return;
    broadcast(epiCode("iHit"), nullptr);
    epiUbo* parent = parent_;
    parent->hitIndex_ = index_;
    parent->onChildHit(index_);
    parent->hitIndex_ = -1;
}

void epiUbo::onChildHit(int index)
{
    epiUbo* child = childAt(index);
    if (child && child->getId() != 0)
        onCommand(child->getId());
    if (parent_)
        reportHit();
}

bool epiUbo::onCommand(epiFourCC id)
{
    if (id == epiCode("clos")) {
        close();
        return true;
    }
    if (id == epiCode("quit")) {
        if (epiWindowManager* manager = windowManager())
            manager->quit();
        return true;
    }
    return false;
}

epiUbo* epiUbo::getHitChild()
{
    return getChildAt(hitIndex_);
}

void epiUbo::selectInGroup(int group, int index, int value, bool notify)
{
    epiUbo* reporter = nullptr;
    const std::vector<epiUbo*> children = children_;
    for (epiUbo* child : children) {
        if (child->group_ != group)
            continue;
        child->setValue(child->groupIndex_ == index ? value : 0);
        if (child->groupIndex_ < childCount() &&
            (!reporter || child->groupIndex_ < reporter->groupIndex_))
            reporter = child;
    }
    if (notify && reporter)
        reporter->reportHit();
}

void epiUbo::selectInGroupOf(epiFourCC id, int index, int value, bool notify)
{
    if (epiUbo* child = findChild(id))
        selectInGroup(child->group_, index, value, notify);
}

int epiUbo::getGroupSelection(epiFourCC id)
{
    epiUbo* child = findChild(id);
    if (!child || child->group_ == 0)
        return 0;
    for (epiUbo* member : children_) {
        if (member->group_ == child->group_ && member->getValue() != 0)
            return member->groupIndex_;
    }
    return 0;
}

// -------------------------------------------------------------- attributes

void epiUbo::setAttribute(epiFourCC code, std::intptr_t value)
{
    switch (code) {
    case epiCode("exhm"):
        hitAll_ = value != 0;
        break;
    case epiCode("fagr"):
        group_ = static_cast<int>(value);
        break;
    case epiCode("fain"):
        groupIndex_ = static_cast<int>(value);
        break;
    case epiCode("mgTL"):
        setAnchors(static_cast<int>(value) - 1, bottomRightAnchor_);
        break;
    case epiCode("mgBR"):
        setAnchors(topLeftAnchor_, static_cast<int>(value) - 1);
        break;
    case epiCode("visi"):
        visible_ = value != 0;
        break;
    default:
        break;
    }
    // Behaviour attributes ('dMin', 'uMax', 'Smoo' ...) may stand on the widget.
    if (behaviour_)
        behaviour_->setAttribute(code, value);
}

void epiUbo::setAttributeText(epiFourCC code, const epiText& text)
{
    if (code == epiCode("text") || code == epiCode("titl"))
        setTextCStr(text.getCStr());
    else if (!behaviour_ || !behaviour_->setAttributeText(code, text))
        setAttribute(code, text.toLong());
}

bool epiUbo::getAttributeText(epiFourCC code, epiText& text) const
{
    switch (code) {
    case epiCode("fagr"):
        text.assignLong(group_);
        return true;
    case epiCode("fain"):
        text.assignLong(groupIndex_);
        return true;
    case epiCode("visi"):
        text.assignLong(visible_ ? 1 : 0);
        return true;
    case epiCode("text"):
        text.assign(text_.getCStr());
        return true;
    default:
        text.clear();
        return false;
    }
}

// -------------------------------------------------- invalidation, drawing

epiRect epiUbo::clipToVisible(const epiRect& rect) const
{
    epiRect clipped(rect);
    clipped.intersect(bounds_);
    int dx = 0, dy = 0;
    for (const epiUbo* object = this; object->parent_ && !object->ownsSurface();
         object = object->parent_) {
        clipped.offset(object->frame_.left, object->frame_.top);
        dx += object->frame_.left;
        dy += object->frame_.top;
        clipped.intersect(object->parent_->bounds_);
    }
    clipped.offset(-dx, -dy);
    return clipped;
}

void epiUbo::invalidate(const epiRect& rect)
{
    if (!parent_)
        return;
    const epiRect clipped = clipToVisible(rect);
    // Nothing of it shows: no ancestor has anything to repaint.
    if (clipped.getWidth() <= 0 || clipped.getHeight() <= 0)
        return;
    parent_->invalidate(rectToParent(clipped));
}

void epiUbo::draw(const epiRect& clip)
{
    const std::vector<epiUbo*> children = children_;
    for (epiUbo* child : children) {
        if (child->isVisible())
            child->drawChild(clip);
    }
    epiRect area(clip);
    broadcast(epiCode("upda"), &area);
}

void epiUbo::drawChild(const epiRect& clip)
{
    if (!clip.intersects(frame_))
        return;
    epiRect part(clip);
    part.intersect(frame_);
    draw(rectFromParent(part));
}

void epiUbo::fillRect(const epiRect& rect, const epiColor& colour)
{
    if (parent_)
        parent_->fillRect(rectToParent(rect), colour);
}

void epiUbo::frameRect(const epiRect& rect, const epiColor& colour)
{
    if (parent_)
        parent_->frameRect(rectToParent(rect), colour);
}

void epiUbo::drawLine(int x1, int y1, int x2, int y2, const epiRect& clip, const epiColor& colour,
                      int width)
{
    if (x1 == x2) {
        if (x1 < clip.left || x1 >= clip.right || (y1 < clip.top && y2 < clip.top) ||
            (y1 >= clip.bottom && y2 >= clip.bottom))
            return;
        y1 = std::clamp(y1, clip.top, clip.bottom - 1);
        y2 = std::clamp(y2, clip.top, clip.bottom - 1);
    } else if (y1 == y2) {
        if (y1 < clip.top || y1 >= clip.bottom || (x1 < clip.left && x2 < clip.left) ||
            (x1 >= clip.right && x2 >= clip.right))
            return;
        x1 = std::clamp(x1, clip.left, clip.right - 1);
        x2 = std::clamp(x2, clip.left, clip.right - 1);
    }
    if (parent_) {
        const epiPoint from = pointToParent({x1, y1});
        const epiPoint to = pointToParent({x2, y2});
        parent_->drawLine(from.x, from.y, to.x, to.y, rectToParent(clip), colour, width);
    }
}

void epiUbo::drawBitmap(const epiBitmap& bitmap, const epiRect& source, const epiRect& destination,
                        const epiRect& clip)
{
    if (parent_)
        parent_->drawBitmap(bitmap, source, rectToParent(destination), rectToParent(clip));
}

void epiUbo::blendBitmap(const epiBitmap& bitmap, const epiRect& source, const epiRect& destination,
                         const epiRect& clip, epiFourCC mode, float alpha)
{
    if (parent_)
        parent_->blendBitmap(bitmap, source, rectToParent(destination), rectToParent(clip), mode,
                             alpha);
}

void epiUbo::drawText(epiFourCC fontId, int alignment, const epiRect& rect, const epiRect& clip,
                      const char* text, const epiColor& colour)
{
    if (parent_)
        parent_->drawText(fontId, alignment, rectToParent(rect), rectToParent(clip), text, colour);
}

int epiUbo::measureText(epiFourCC fontId, int alignment, const char* text)
{
    return parent_ ? parent_->measureText(fontId, alignment, text) : 0;
}

void epiUbo::drawSystemText(const char* text, int height, const char* fontName, const epiRect& rect,
                            const epiColor& colour, int alignment)
{
    if (parent_)
        parent_->drawSystemText(text, height, fontName, rectToParent(rect), colour, alignment);
}

void epiUbo::drawShape(epiDrawCommand& record)
{
    if (!parent_)
        return;
    // The record borrows its rectangles: moved copies stand in for them on
    // the way up, and the caller's come back afterwards.
    const epiRect* target = record.target;
    const epiRect* clip = record.clip;
    const epiRect movedTarget = rectToParent(target ? *target : bounds_);
    epiRect movedClip;
    record.target = &movedTarget;
    if (clip) {
        movedClip = rectToParent(*clip);
        record.clip = &movedClip;
    }
    parent_->drawShape(record);
    record.target = target;
    record.clip = clip;
}

void epiUbo::fillOval(const epiRect& rect, const epiRect& clip, const epiColor& colour)
{
    epiDrawCommand record;
    record.command = epiCode("Favo");
    record.target = &rect;
    record.clip = &clip;
    record.colour = colour;
    drawShape(record);
}

void epiUbo::strokeOval(const epiRect& rect, const epiRect& clip, const epiColor& colour, int width)
{
    epiDrawCommand record;
    record.command = epiCode("Pavo");
    record.target = &rect;
    record.clip = &clip;
    record.colour = colour;
    record.penWidth = width;
    drawShape(record);
}

void epiUbo::lockRedraw(bool lock)
{
    if (parent_)
        parent_->lockRedraw(lock);
}

void epiUbo::setWindowEnabled(bool enable)
{
    if (epiWindowManager* manager = windowManager(); manager && nativeHandle())
        manager->pump().enableWindow(nativeHandle(), enable);
}

// ------------------------------------------------------------------ pointer

epiUbo* epiUbo::topmostChildAt(const epiPoint& point) const
{
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        epiUbo* child = *it;
        if (child->isInteractive() && child->isVisible() && child->frame_.containsPoint(point))
            return child;
    }
    return nullptr;
}

void epiUbo::onMouseDown(const epiPoint& point)
{
    if (behaviour_ && behaviour_->onMouseDown(point))
        return;
    const std::vector<epiUbo*> children = children_;
    if (capturedChild_) {
        capturedChild_->parentMouseDown(point);
    } else if (hitAll_) {
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            epiUbo* child = *it;
            if (!child->isInteractive() || !child->isVisible() ||
                !child->frame_.containsPoint(point))
                continue;
            child->parentMouseDown(point);
            if (capturedChild_)
                break;
        }
    } else if (epiUbo* child = topmostChildAt(point)) {
        child->parentMouseDown(point);
    }
    if (trackingCount_ > 0) {
        for (epiUbo* child : children)
            child->parentTrackedDown(point);
    }
}

void epiUbo::onMouseUp(const epiPoint& point)
{
    if (behaviour_ && behaviour_->onMouseUp(point))
        return;
    const std::vector<epiUbo*> children = children_;
    if (epiUbo* target = capturedChild_ ? capturedChild_ : topmostChildAt(point))
        target->parentMouseUp(point);
    if (trackingCount_ >= 1) {
        for (epiUbo* child : children)
            child->parentTrackedUp(point);
    }
}

void epiUbo::onMouseMove(const epiPoint& point)
{
    if (behaviour_ && behaviour_->onMouseMove(point))
        return;
    const std::vector<epiUbo*> children = children_;
    if (capturedChild_)
        capturedChild_->parentMouseMove(point);
    if (trackingCount_ > 0) {
        for (epiUbo* child : children)
            child->parentTrackedMove(point);
    }
}

void epiUbo::onMouseDrag(const epiPoint& point)
{
    if (behaviour_ && behaviour_->onMouseDrag(point))
        return;
    const std::vector<epiUbo*> children = children_;
    if (capturedChild_)
        capturedChild_->parentMouseDrag(point);
    if (trackingCount_ > 0) {
        for (epiUbo* child : children)
            child->parentTrackedDrag(point);
    }
}

void epiUbo::onMouseWheel(const epiPoint& point, int notches)
{
    if (behaviour_ && behaviour_->onMouseWheel(point, notches))
        return;
    if (epiUbo* target = capturedChild_ ? capturedChild_ : topmostChildAt(point))
        target->parentMouseWheel(point, notches);
}

void epiUbo::onTrackedDown(const epiPoint& point)
{
    if (trackingCount_ <= 0)
        return;
    const std::vector<epiUbo*> children = children_;
    for (epiUbo* child : children)
        child->parentTrackedDown(point);
}

void epiUbo::onTrackedUp(const epiPoint& point)
{
    if (trackingCount_ <= 0)
        return;
    const std::vector<epiUbo*> children = children_;
    for (epiUbo* child : children)
        child->parentTrackedUp(point);
}

void epiUbo::onTrackedMove(const epiPoint& point)
{
    if (trackingCount_ <= 0)
        return;
    const std::vector<epiUbo*> children = children_;
    for (epiUbo* child : children)
        child->parentTrackedMove(point);
}

void epiUbo::onTrackedDrag(const epiPoint& point)
{
    if (trackingCount_ <= 0)
        return;
    const std::vector<epiUbo*> children = children_;
    for (epiUbo* child : children)
        child->parentTrackedDrag(point);
}

bool epiUbo::hitTest(const epiPoint& point)
{
    if (!visible_)
        return false;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        epiUbo* child = *it;
        if (child->frame_.containsPoint(point) && child->hitTest(child->pointFromParent(point)))
            return true;
    }
    return false;
}

void epiUbo::beginTracking()
{
    for (epiUbo* object = this; object; object = object->parent_)
        ++object->trackingCount_;
}

void epiUbo::endTracking()
{
    for (epiUbo* object = this; object; object = object->parent_) {
        if (object->trackingCount_ > 0)
            --object->trackingCount_;
    }
}

void epiUbo::captureChild(epiUbo* child)
{
    if (!child) {
        releaseCapture();
        return;
    }
    captureMe();
    if (std::find(children_.begin(), children_.end(), child) != children_.end()) {
        capturedChild_ = child;
        child->broadcast(epiCode("sFoc"), nullptr);
    }
}

void epiUbo::captureMe()
{
    if (parent_)
        parent_->captureChild(this);
}

void epiUbo::releaseCapture()
{
    if (parent_)
        parent_->releaseCapture();
    capturedChild_ = nullptr;
    broadcast(epiCode("rFoc"), nullptr);
}

// ----------------------------------------------------------------- keyboard

void epiUbo::onKeyDown(int code)
{
    broadcast(epiCode("kedo"), reinterpret_cast<void*>(static_cast<std::intptr_t>(code)));
}

void epiUbo::onKeyRepeat(int code)
{
    broadcast(epiCode("kere"), reinterpret_cast<void*>(static_cast<std::intptr_t>(code)));
}

void epiUbo::onKeyUp(int code)
{
    broadcast(epiCode("keup"), reinterpret_cast<void*>(static_cast<std::intptr_t>(code)));
}

void epiUbo::dispatchKeyDown(int code)
{
    if (keyTargets_.empty())
        onKeyDown(code);
    else
        keyTargets_.front()->dispatchKeyDown(code);
}

void epiUbo::dispatchKeyRepeat(int code)
{
    if (keyTargets_.empty())
        onKeyRepeat(code);
    else
        keyTargets_.front()->dispatchKeyRepeat(code);
}

void epiUbo::dispatchKeyUp(int code)
{
    if (keyTargets_.empty())
        onKeyUp(code);
    else
        keyTargets_.front()->dispatchKeyUp(code);
}

void epiUbo::pushKeyTarget(epiUbo* target)
{
    if (!target)
        return;
    keyTargets_.push_front(target);
    requestKeyFocus();
}

void epiUbo::popKeyTarget()
{
    if (!keyTargets_.empty())
        keyTargets_.pop_front();
    releaseKeyFocus();
}

void epiUbo::requestKeyFocus()
{
    if (parent_)
        parent_->pushKeyTarget(this);
}

void epiUbo::releaseKeyFocus()
{
    if (parent_)
        parent_->popKeyTarget();
}

void epiUbo::setKeyTarget(epiUbo* target)
{
    epiUbo* current = keyTargets_.empty() ? nullptr : keyTargets_.front();
    if (current == target)
        return;
    if (current)
        current->releaseKeyFocus();
    pushKeyTarget(target);
}

epiUbo* epiUbo::getKeyTarget()
{
    if (keyTargets_.empty())
        return nullptr;
    epiUbo* front = keyTargets_.front();
    epiUbo* deeper = front->getKeyTarget();
    return deeper ? deeper : front;
}

// ------------------------------------------------------------------ layouts

bool epiUbo::loadLayout(const char* name)
{
    epiResources* source = resources();
    epiText document;
    if (!source || !name || !source->loadText(name, epiCode("laya"), document))
        return false;
    return loadLayoutText(document);
}

bool epiUbo::loadLayoutText(const epiText& document)
{
    epiXmlChunk root;
    root.setText(document);
    const epiXmlChunk content = root.getChild("epi").getChild("content");
    if (content.isEmpty())
        return false;
    id_ = content.getChild("name").getText().toFourCC();
    applyLayout(content);
    return true;
}

bool epiUbo::loadLayoutFile(const char* name)
{
    if (!name || !*name)
        return false;
    epiResources* source = resources();
    epiText document;
    if (!source || !source->loadText(name, epiCode("laya"), document))
        return false;
    epiXmlChunk root;
    root.setText(document);
    readItems(root.getChild("epi").getChild("content"));
    return true;
}

void epiUbo::applyLayout(const epiXmlChunk& content)
{
    readItem(content);
    create();
    readItems(content);
    open();
}

void epiUbo::readItem(const epiXmlChunk& item)
{
    epiXmlChunk text, tag;
    if (item.findChild("text", text, tag))
        setTextCStr(text.getText().getCStr());

    epiPoint position, relative, size;
    const bool hasPosition = readPair(item, "position", position);
    const bool hasRelative = !hasPosition && readPair(item, "relativeposition", relative);
    const bool hasSize = readPair(item, "size", size);
    if (hasRelative) {
        position = relative;
        if (parent_ && index_ > 0) {
            if (epiUbo* previous = parent_->childAt(index_ - 1))
                position.add(previous->getFrame().topLeft());
        }
    }
    if ((hasPosition || hasRelative) && hasSize) {
        epiRect frame(frame_);
        frame.moveTo(position.x, position.y);
        frame.setSize(size.x, size.y);
        setFrameQuietly(frame);
    } else if (hasPosition) {
        moveTo(position.x, position.y);
    } else if (hasRelative) {
        epiRect frame(frame_);
        frame.moveTo(position.x, position.y);
        setFrameQuietly(frame);
    } else if (hasSize) {
        epiRect frame(frame_);
        frame.setSize(size.x, size.y);
        setFrameQuietly(frame);
    }

    epiXmlChunkEnumerator attributes(item.getChild("attributes"));
    attributes.setName("attribute");
    epiXmlChunk attribute;
    while (attributes.next(attribute, tag)) {
        const epiFourCC code = attribute.getChild("name").getText().toFourCC();
        setAttributeText(code, attribute.getChild("value").getText());
    }
}

void epiUbo::readItems(const epiXmlChunk& content)
{
    epiPoint size;
    if (readPair(content, "size", size))
        designRect_.setOriginSize(size.x, size.y);
    epiXmlChunkEnumerator items(content.getChild("itemslist"));
    items.setName("item");
    epiXmlChunk item, tag;
    while (items.next(item, tag)) {
        const epiFourCC name = item.getChild("name").getText().toFourCC();
        const epiFourCC kind = item.getChild("kind").getText().toFourCC();
        epiUbo* child = createChildObject(kind, name);
        if (!child)
            continue;
        child->enableReferenceCount();
        child->setId(name);
        if (!addChild(child)) {
            child->release(); // not accepted here: the rest is still built
            continue;
        }
        child->readItem(item);
        child->create();
        child->open();
        child->onReady();
    }
}

void epiUbo::writeItems(epiText& out) const
{
    out.storage() += "<itemslist>\r\n";
    for (const epiUbo* child : children_) {
        out.storage() += "<item>\r\n";
        child->writeItemFields(out);
        child->writeAttributes(out);
        out.storage() += "</item>\r\n";
    }
    out.storage() += "</itemslist>\r\n";
}

void epiUbo::writeItemFields(epiText& out) const
{
    appendElement(out, "name", fourChars(id_));
    appendElement(out, "kind", fourChars(getKind()));
    appendElement(out, "position", std::to_string(frame_.left) + "," + std::to_string(frame_.top));
    appendElement(out, "size",
                  std::to_string(frame_.getWidth()) + "," + std::to_string(frame_.getHeight()));
    appendElement(out, "text", text_.str());
}

void epiUbo::writeAttributes(epiText& out) const
{
    out.storage() += "<attributes>\r\n";
    for (epiFourCC code : savedAttributes()) {
        epiText value;
        if (getAttributeText(code, value))
            out.storage() += "<attribute><name>" + fourChars(code) + "</name><value>" +
                             value.str() + "</value></attribute>\r\n";
    }
    out.storage() += "</attributes>\r\n";
}

// ----------------------------------------------------------------- services

epiWindowManager* epiUbo::windowManager() const
{
    epiApplication* app = applicationOf(*this);
    return app ? app->getWindowManager() : nullptr;
}

epiKeyboard* epiUbo::keyboard() const
{
    epiApplication* app = applicationOf(*this);
    return app ? app->getKeyboard() : nullptr;
}

epiMenu* epiUbo::menus() const
{
    epiApplication* app = applicationOf(*this);
    return app ? app->getMenu() : nullptr;
}

epiResources* epiUbo::resources() const
{
    if (parent_)
        return parent_->resources();
    epiApplication* app = applicationOf(*this);
    return app ? app->getResources() : nullptr;
}
