#pragma once

#include "hostfw/app/epiColor.h"
#include "hostfw/app/epiUiTimered.h"
#include "hostfw/core/epiText.h"
#include "hostfw/ui/epiRect.h"

#include <cstdint>
#include <list>
#include <vector>

class epiUbo;
class epiUiBehaviour;
class epiBitmap;
struct epiDrawCommand;
class epiWindowManager;
class epiKeyboard;
class epiMenu;
class epiResources;
class epiXmlChunk;

// Key registrations of one owner: other objects register for a four-character
// key and the owner broadcasts keys to them. A freed entry (key 0) is reused
// before the list grows.
class epiKeyRegistrations {
public:
    struct Entry {
        epiFourCC key = 0;
        epiUbo* listener = nullptr;
        std::intptr_t value = 0;
    };

    // Same key and listener: the value is updated.
    void registerKey(epiFourCC key, epiUbo* listener, std::intptr_t value);
    // Frees every entry of the key (and of that listener, unless null).
    void unregisterKey(epiFourCC key, epiUbo* listener);
    // Each listener of the key is retained around its notification, so that
    // a listener dropping its last reference in the call stays alive until
    // the call returns. Entries added during the broadcast are reached too.
    void broadcast(epiFourCC key, epiUbo* owner, void* argument);

    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

// The user-interface object: one node of the tree of windows and widgets.
// Children are kept in drawing order (later children on top) and each knows
// its index in its parent's array. Geometry is in the parent's coordinates
// (frame) and the object's own (bounds, always at the origin). A lookup of a
// missing id answers the object's inert null child, so callers need no test;
// the null child lives and dies with its owner and lookups do not count
// references on it.
class epiUbo : public epiUiTimered {
public:
    epiUbo() = default;
    ~epiUbo() override;

    epiFourCC getKind() const override { return epiCode("ubob"); }
    // Creates the behaviour (createBehaviour), counts it, attaches it to
    // this object's application and makes this object its owner.
    bool init() override;
    // Tears the subtree down: close, children, null child, timed tasks, out
    // of the parent, then releases the object (a counted object goes).
    void exit() override;

    // Life cycle: after addChild, create ('uCrt'), open, onReady, show.
    virtual void create();
    virtual void open();
    // Broadcasts 'uDsr', then forgets every 'uDsr' listener.
    virtual void close();
    virtual void onReady() {}
    virtual void onClosing() {}
    virtual void onResized() {}

    // Tree.
    virtual bool canHaveChildren() const { return false; }
    // The kinds of parent this object may be added to; empty: any.
    virtual std::vector<epiFourCC> allowedParentKinds() const { return {}; }
    bool acceptsParentKind(epiFourCC kind) const;
    // Appends the child, attaches it to this object's application and runs
    // its init when it had no application before. False for a null child, a
    // duplicate, an unaccepted kind or an object without children.
    virtual bool addChild(epiUbo* child);
    // Erases the child and renumbers the children after it; the child's
    // parent link stays.
    virtual void removeChild(epiUbo* child);
    void deleteChild(epiFourCC id);
    void clearChildren();
    void removeAllChildren() { clearChildren(); }
    bool addAndCreate(epiUbo* child);
    bool attachTo(epiUbo* parent) { return parent && parent->addAndCreate(this); }
    // Creates an object of the kind through the application's factory and
    // adds, places, names and shows it; the null child when that fails.
    epiUbo* addNewChild(epiFourCC kind, epiFourCC id, int left, int top, int width, int height,
                        int group, int groupIndex, const char* text, bool show);
    // The factory's 'GrUi' object of that kind when it is a UI object.
    virtual epiUbo* createChildObject(epiFourCC kind, epiFourCC id);
    virtual void setIndex(int index) { index_ = index; }
    int getIndex() const { return index_; }
    int childCount() const { return static_cast<int>(children_.size()); }
    epiUbo* childAt(int index) const;
    epiUbo* findChild(epiFourCC id) const;
    epiUbo* getChild(epiFourCC id);
    epiUbo* getChildAt(int index);
    epiUbo* getNullChild();
    epiUbo* getParent() const { return parent_; }
    const std::vector<epiUbo*>& children() const { return children_; }
    epiFourCC getId() const { return id_; }
    void setId(epiFourCC id) { id_ = id; }
    epiUbo* findAncestorOfKind(epiFourCC kind);
    epiUbo* findAncestorById(epiFourCC id);

    // Child conveniences (a missing id acts on the null child).
    void setChildValue(epiFourCC id, int value) { getChild(id)->setValue(value); }
    int getChildValue(epiFourCC id) { return getChild(id)->getValue(); }
    const char* getChildTextCStr(epiFourCC id) { return getChild(id)->getTextCStr(); }
    void setChildText(epiFourCC id, const char* text) { getChild(id)->setTextCStr(text); }
    // Formats into a text of exactly the needed length.
    void formatChildText(epiFourCC id, const char* format, ...)
        __attribute__((format(printf, 3, 4)));
    void setChildVisible(epiFourCC id, bool visible) { getChild(id)->setVisible(visible, true); }
    void setChildAttribute(epiFourCC id, epiFourCC code, std::intptr_t value)
    {
        getChild(id)->setAttribute(code, value);
    }

    // Geometry.
    virtual void setRect(const epiRect& rect);
    virtual void setPosition(const epiPoint& point) { moveToXY(point.x, point.y); }
    virtual void moveToXY(int x, int y);
    void moveTo(int x, int y);
    void resizeTo(int width, int height);
    void setWidth(int width) { resizeTo(width, frame_.getHeight()); }
    void setHeight(int height) { resizeTo(frame_.getWidth(), height); }
    const epiRect& getFrame() const { return frame_; }
    const epiRect& getBounds() const { return bounds_; }
    int getWidth() const { return bounds_.right; }
    int getHeight() const { return bounds_.bottom; }
    epiPoint getPosition() const { return frame_.topLeft(); }
    const epiRect& getDesignRect() const { return designRect_; }
    // The design size from the layout when there is one, else the bounds.
    epiRect layoutReferenceRect() const;
    // Virtual: a scrolled container shifts its content.
    virtual epiRect rectToParent(const epiRect& rect) const;
    virtual epiRect rectFromParent(const epiRect& rect) const;
    virtual epiPoint pointToParent(const epiPoint& point) const;
    virtual epiPoint pointFromParent(const epiPoint& point) const;
    // Adds the frame origins of this object and of every ancestor below the
    // given one (null: up to the root), or of n levels.
    epiRect rectToAncestor(const epiRect& rect, const epiUbo* ancestor) const;
    epiPoint pointToAncestor(const epiPoint& point, const epiUbo* ancestor) const;
    epiRect rectUpLevels(const epiRect& rect, int levels) const;
    epiPoint pointUpLevels(const epiPoint& point, int levels) const;
    virtual epiRect localToRoot(const epiRect& rect) const { return rectToAncestor(rect, nullptr); }
    // The object that draws for this one (the root, or the first ancestor
    // with a surface of its own) and this object's bounds in its coordinates.
    virtual bool ownsSurface() const { return false; }
    const epiUbo* findSurface(epiRect& rect) const;
    // Gives the target child the largest rectangle of the ratio (width /
    // height) inside the source child's frame, centred on it.
    void fitChildAspect(epiFourCC targetId, epiFourCC sourceId, double ratio);
    virtual void onBoundsChanged() { broadcast(epiCode("boCh"), nullptr); }

    // Anchors: codes 0-8 of the parent's points (-1: none).
    void setAnchors(int topLeft, int bottomRight);
    void applyAnchors();
    int getTopLeftAnchor() const { return topLeftAnchor_; }
    int getBottomRightAnchor() const { return bottomRightAnchor_; }

    // Visibility, text, value.
    virtual void setVisible(bool visible, bool redraw);
    bool isVisible() const { return visible_; }
    virtual void onVisibilityChanged() {}
    virtual bool isInteractive() const { return true; }
    // Passed to the behaviour; nothing without one.
    virtual void setEnabled(bool enabled);
    virtual bool isEnabled() const { return true; }
    // Asked before a window closes on the user's request.
    virtual bool canClose() { return true; }
    // Nested disabling of a top-level window (modal runs); here the native
    // window is enabled or disabled at once.
    virtual void setWindowEnabled(bool enable);
    virtual void setTextCStr(const char* text);
    void setText(const epiText& text) { setTextCStr(text.getCStr()); }
    void formatText(const char* format, ...) __attribute__((format(printf, 2, 3)));
    const epiText& getText() const { return text_; }
    const char* getTextCStr() const { return text_.getCStr(); }
    virtual void onTextChanged() {}
    // The behaviour's checked state (0 or 1); widgets with a value of their
    // own override these.
    virtual void setValue(int value) { setBehaviourValue(value); }
    virtual int getValue() const { return getBehaviourValue(); }
    void setBehaviourValue(int value);
    int getBehaviourValue() const;
    // The behaviour's pressed, checked or position changed: redraw.
    virtual void onStateChanged() { redraw(); }

    // Behaviour: none here; widgets that take one create it.
    virtual epiUiBehaviour* createBehaviour() { return nullptr; }
    epiUiBehaviour* getBehaviour() const { return behaviour_; }
    // Offered to the behaviour first; when it does not take it, a hit.
    virtual void activate();
    // A programmatic press through the behaviour.
    virtual void press();
    // Whether the widget shows a pressed face (buttons then act on release).
    virtual bool hasPressedLook() const { return false; }

    // Hits and commands: hits bubble to the root; a child with an id makes
    // its parent run that id as a command.
    virtual void reportHit();
    virtual void onChildHit(int index);
    // 'clos' closes the object, 'quit' ends the message loop; true when the
    // command was one of these.
    virtual bool onCommand(epiFourCC id);
    int getHitIndex() const { return hitIndex_; }
    epiUbo* getHitChild();

    // Groups.
    void setGroup(int group, int groupIndex)
    {
        group_ = group;
        groupIndex_ = groupIndex;
    }
    int getGroup() const { return group_; }
    int getGroupIndex() const { return groupIndex_; }
    void selectInGroup(int group, int index, int value, bool notify);
    void selectInGroupOf(epiFourCC id, int index, int value, bool notify);
    int getGroupSelection(epiFourCC id);

    // Attributes.
    virtual void setAttribute(epiFourCC code, std::intptr_t value);
    virtual void setAttributeText(epiFourCC code, const epiText& text);
    virtual bool getAttributeText(epiFourCC code, epiText& text) const;
    virtual std::vector<epiFourCC> savedAttributes() const
    {
        return {epiCode("visi"), epiCode("enab")};
    }

    // Invalidation and drawing.
    virtual void invalidate(const epiRect& rect);
    void redraw() { invalidate(bounds_); }
    // The rectangle cut by the bounds of this object and of every ancestor up
    // to the one that owns the surface, in this object's coordinates.
    epiRect clipToVisible(const epiRect& rect) const;
    virtual void draw(const epiRect& clip);
    void drawChild(const epiRect& clip);
    void drawAll() { draw(bounds_); }
    // Primitives travel up to the object that owns the surface; without a
    // parent nothing is drawn.
    virtual void fillRect(const epiRect& rect, const epiColor& colour);
    virtual void frameRect(const epiRect& rect, const epiColor& colour);
    // Horizontal and vertical lines are clipped (or dropped) first.
    virtual void drawLine(int x1, int y1, int x2, int y2, const epiRect& clip,
                          const epiColor& colour, int width = 1);
    // The source part of the bitmap into the destination, cut by the clip;
    // blendBitmap mixes by the mode ('blen': alpha blending at alpha 0..1).
    virtual void drawBitmap(const epiBitmap& bitmap, const epiRect& source,
                            const epiRect& destination, const epiRect& clip);
    virtual void blendBitmap(const epiBitmap& bitmap, const epiRect& source,
                             const epiRect& destination, const epiRect& clip, epiFourCC mode,
                             float alpha);
    // Text in a font of the font list (by its code): alignment 0 left,
    // 1 centre, 2 right. measureText answers its width in pixels, 0 where no
    // surface answers.
    virtual void drawText(epiFourCC fontId, int alignment, const epiRect& rect, const epiRect& clip,
                          const char* text, const epiColor& colour);
    virtual int measureText(epiFourCC fontId, int alignment, const char* text);
    // Text in the system's font: height in pixels, alignment 0 left,
    // 1 centre, 2 right.
    virtual void drawSystemText(const char* text, int height, const char* fontName,
                                const epiRect& rect, const epiColor& colour, int alignment);
    // A drawing record ('Favo', 'Pavo', 'recP', 'ntxt', 'ntxL' ...) whose
    // target and clip travel with it; font sizes in pixels.
    virtual void drawShape(epiDrawCommand& record);
    void fillOval(const epiRect& rect, const epiRect& clip, const epiColor& colour);
    void strokeOval(const epiRect& rect, const epiRect& clip, const epiColor& colour, int width);
    // Passed up to the bitmap-view container that counts it.
    virtual void lockRedraw(bool lock);

    // Pointer routing (points in this object's coordinates).
    virtual void onMouseDown(const epiPoint& point);
    virtual void onMouseUp(const epiPoint& point);
    virtual void onMouseMove(const epiPoint& point);
    virtual void onMouseDrag(const epiPoint& point);
    virtual void onMouseWheel(const epiPoint& point, int notches);
    virtual void onTrackedDown(const epiPoint& point);
    virtual void onTrackedUp(const epiPoint& point);
    virtual void onTrackedMove(const epiPoint& point);
    virtual void onTrackedDrag(const epiPoint& point);
    virtual bool hitTest(const epiPoint& point);
    void parentMouseDown(const epiPoint& p) { onMouseDown(pointFromParent(p)); }
    void parentMouseUp(const epiPoint& p) { onMouseUp(pointFromParent(p)); }
    void parentMouseMove(const epiPoint& p) { onMouseMove(pointFromParent(p)); }
    void parentMouseDrag(const epiPoint& p) { onMouseDrag(pointFromParent(p)); }
    void parentMouseWheel(const epiPoint& p, int n) { onMouseWheel(pointFromParent(p), n); }
    void parentTrackedDown(const epiPoint& p) { onTrackedDown(pointFromParent(p)); }
    void parentTrackedUp(const epiPoint& p) { onTrackedUp(pointFromParent(p)); }
    void parentTrackedMove(const epiPoint& p) { onTrackedMove(pointFromParent(p)); }
    void parentTrackedDrag(const epiPoint& p) { onTrackedDrag(pointFromParent(p)); }
    // Counted on this object and every ancestor.
    void beginTracking();
    void endTracking();
    int getTrackingCount() const { return trackingCount_; }

    // Capture.
    virtual void captureChild(epiUbo* child);
    void captureMe();
    virtual void releaseCapture();
    epiUbo* getCapturedChild() const { return capturedChild_; }

    // Keyboard: the front of the key-target stack receives the keys.
    virtual void onKeyDown(int code);
    virtual void onKeyRepeat(int code);
    virtual void onKeyUp(int code);
    void dispatchKeyDown(int code);
    void dispatchKeyRepeat(int code);
    void dispatchKeyUp(int code);
    void pushKeyTarget(epiUbo* target);
    void popKeyTarget();
    void requestKeyFocus();
    void releaseKeyFocus();
    void setKeyTarget(epiUbo* target);
    epiUbo* getKeyTarget();

    // The native window behind the object; null for objects without one.
    virtual void* nativeHandle() const { return nullptr; }
    // The native window that child windows of this object go into.
    virtual void* childParentHandle() const { return nativeHandle(); }
    // A broadcast of a key this object registered for.
    virtual void onMessage(epiFourCC, epiUbo*, void*) {}

    // Key registrations with this object.
    void registerListener(epiFourCC key, epiUbo* listener, std::intptr_t value)
    {
        registrations_.registerKey(key, listener, value);
    }
    void unregisterListener(epiFourCC key, epiUbo* listener)
    {
        registrations_.unregisterKey(key, listener);
    }
    void broadcast(epiFourCC key, void* argument) { registrations_.broadcast(key, this, argument); }
    const epiKeyRegistrations& registrations() const { return registrations_; }

    // Layouts: the 'laya' resource of that name, or its text, builds this
    // object and its children.
    bool loadLayout(const char* name);
    bool loadLayoutText(const epiText& document);
    bool loadLayoutFile(const char* name);
    void applyLayout(const epiXmlChunk& content);
    void readItem(const epiXmlChunk& item);
    void readItems(const epiXmlChunk& content);
    // The children as an item list, one element a line (CR LF), each line
    // as long as its values need.
    void writeItems(epiText& out) const;
    void writeItemFields(epiText& out) const;
    void writeAttributes(epiText& out) const;

    // The application's services; null without an application. Resources
    // are asked of the parent first.
    epiWindowManager* windowManager() const;
    epiKeyboard* keyboard() const;
    epiMenu* menus() const;
    virtual epiResources* resources() const;

protected:
    // Frame and bounds without invalidation or broadcast (native windows
    // taking the geometry the system gave them).
    void setFrameQuietly(const epiRect& rect);
    bool wasOpened() const { return !notOpened_; }

private:
    epiUbo* topmostChildAt(const epiPoint& point) const;

    void dropBehaviour();

    epiUbo* parent_ = nullptr;
    epiUiBehaviour* behaviour_ = nullptr;
    int index_ = 0;
    bool visible_ = false;
    epiRect frame_;
    epiRect bounds_;
    epiRect designRect_;
    int group_ = 0;
    int groupIndex_ = 0;
    epiFourCC id_ = 0;
    epiText text_;
    epiUbo* nullChild_ = nullptr;
    int hitIndex_ = -1;
    bool notOpened_ = true;
    int topLeftAnchor_ = -1;
    epiPoint topLeftMargin_;
    int bottomRightAnchor_ = -1;
    epiPoint bottomRightMargin_;
    std::vector<epiUbo*> children_;
    epiUbo* capturedChild_ = nullptr;
    int trackingCount_ = 0;
    bool hitAll_ = false;
    std::list<epiUbo*> keyTargets_;
    epiKeyRegistrations registrations_;
};
