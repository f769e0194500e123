#pragma once

#include "hostfw/app/epiColor.h"
#include "hostfw/ui/epiUbo.h"

#include <array>

class epiBitmap;

// A still image with up to five faces from the resource service: 0 'irOf'
// released off, 1 'ipOf' pressed off, 2 'irOn' released on, 3 'ipOn' pressed
// on, 4 'irDi' disabled. The resource service owns the bitmaps.
class epiUiBitmapImage : public epiUbo {
public:
    static constexpr int kFaces = 5;

    epiFourCC getKind() const override { return epiCode("iBim"); }
    std::vector<epiFourCC> allowedParentKinds() const override;
    std::vector<epiFourCC> savedAttributes() const override;

    // The face's index for its code, -1 for other codes.
    static int faceIndex(epiFourCC code);

    // A face code with a name loads that image (an empty name changes
    // nothing); 'autS' gives the frame face 0's size.
    void setAttributeText(epiFourCC code, const epiText& text) override;
    void setAttribute(epiFourCC code, std::intptr_t value) override;
    bool getAttributeText(epiFourCC code, epiText& text) const override;
    void setAttributeBitmap(epiFourCC code, epiBitmap* bitmap);
    epiBitmap* getAttributeBitmap(epiFourCC code) const;
    epiBitmap* getFace(int index) const;

    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return enabled_; }
    bool hasPressedLook() const override;
    // 'Face' (face code or index 0-4) selects the face shown; 'ArOf' with
    // data 1 and a bitmap replaces face 0 and recentres the frame on its old
    // centre at the bitmap's size (other data: only the face).
    void* notify(epiFourCC code, void* data, void* argument) override;
    int getCurrentFace() const { return currentFace_; }
    void draw(const epiRect& clip) override;
    virtual void onFaceChanged(int) {}

protected:
    // The bitmap of that name from the resource service; null without one.
    epiBitmap* loadImage(const epiText& name) const;
    void drawFace(const epiBitmap* face, const epiRect& clip);

    std::array<epiBitmap*, kFaces> faces_{};
    std::array<epiText, kFaces> faceNames_;
    bool enabled_ = true;
    int currentFace_ = 0;
};

// A film strip: face 0 holds 'frms' frames stacked vertically, and the value
// is the frame shown. Fewer than one frame counts as one.
class epiUiBitmapFilmImage : public epiUiBitmapImage {
public:
    epiFourCC getKind() const override { return epiCode("iBfi"); }
    std::vector<epiFourCC> savedAttributes() const override;
    void draw(const epiRect& clip) override;
    void setValue(int value) override;
    int getValue() const override { return frame_; }
    void setAttribute(epiFourCC code, std::intptr_t value) override;
    bool getAttributeText(epiFourCC code, epiText& text) const override;
    int getFrames() const { return frames_; }

protected:
    void showFrame(int frame);
    void drawFilm(const epiBitmap* film, const epiRect& clip);

    int frame_ = 0;
    int frames_ = 1;
};

// A knob on a film strip: dragging up raises the value by 'Sens' / 100 a
// pixel; the smoothing dragger's position picks the frame.
class epiUiBitmapRotary : public epiUiBitmapFilmImage {
public:
    epiFourCC getKind() const override { return epiCode("iBrt"); }
    epiUiBehaviour* createBehaviour() override;
    void setValue(int value) override;
    int getValue() const override;
    void onStateChanged() override;
    void draw(const epiRect& clip) override;
    void setEnabled(bool enabled) override;
    bool isInteractive() const override { return enabled_; }
    void setAttribute(epiFourCC code, std::intptr_t value) override;
    void setAttributeText(epiFourCC code, const epiText& text) override;
    void onMouseDown(const epiPoint& point) override;
    void onMouseDrag(const epiPoint& point) override;
    void onMouseUp(const epiPoint& point) override;
    void onMouseWheel(const epiPoint& point, int notches) override;
    virtual int dragDistance(const epiPoint& point) const { return dragStart_.y - point.y; }
    float getSensitivity() const { return sensitivity_; }

private:
    epiPoint dragStart_;
    float startValue_ = 0.0f;
    float sensitivity_ = 1.0f;
    epiBitmap* disabledFace_ = nullptr;
};

// A rotary that steps between the positions 'FrP0' to 'FrP9'.
class epiUiBitmapTriggeredRotary : public epiUiBitmapRotary {
public:
    epiFourCC getKind() const override { return epiCode("iBrr"); }
    epiUiBehaviour* createBehaviour() override;
};

// A scroll bar: face 0 is the thumb (face 1 while it is held), dragged along
// the longer side; vertical bars have position 0 at the bottom.
class epiUiBitmapScroll : public epiUiBitmapImage {
public:
    epiFourCC getKind() const override { return epiCode("iBsc"); }
    epiUiBehaviour* createBehaviour() override;
    void layoutThumb();
    void onBoundsChanged() override;
    void onFaceChanged(int index) override;
    void draw(const epiRect& clip) override;
    void setValue(int value) override;
    int getValue() const override;
    void setAttribute(epiFourCC code, std::intptr_t value) override;
    void onMouseDown(const epiPoint& point) override;
    void onMouseDrag(const epiPoint& point) override;
    void onMouseUp(const epiPoint& point) override;
    void onMouseWheel(const epiPoint& point, int notches) override;
    virtual int dragDistance(const epiPoint& point) const;
    // The thumb's rectangle at the behaviour's position.
    epiRect thumbRect() const;
    bool isVertical() const { return vertical_; }
    bool isThumbPressed() const { return thumbPressed_; }

private:
    epiPoint dragStart_;
    float startPosition_ = 0.0f;
    float sensitivity_ = 1.0f;
    bool thumbPressed_ = false;
    bool vertical_ = true;
};

// Buttons draw the face of their behaviour's state: checked * 2 + pressed,
// or the disabled face when disabled and there is one.
class epiUiBitmapButton : public epiUiBitmapImage {
public:
    epiFourCC getKind() const override { return epiCode("iBbt"); }
    epiUiBehaviour* createBehaviour() override;
    void draw(const epiRect& clip) override;
    // 0 released off, 1 pressed off, 2 released on, 3 pressed on.
    int stateFace() const;
};

class epiUiBitmapCheckBox : public epiUiBitmapButton {
public:
    epiFourCC getKind() const override { return epiCode("iBck"); }
    epiUiBehaviour* createBehaviour() override;
};

class epiUiBitmapRadio : public epiUiBitmapButton {
public:
    epiFourCC getKind() const override { return epiCode("iBrd"); }
    epiUiBehaviour* createBehaviour() override;
    std::vector<epiFourCC> savedAttributes() const override;
};

// The caption of a bitmap button: font ('teFo'), colours on, off and
// disabled ('tCon', 'tCof', 'tCdi'), alignment ('txAl') and offset ('teOx',
// 'teOy').
struct epiBitmapLabel {
    explicit epiBitmapLabel(epiFourCC font) : fontId(font) {}
    // True when the code is one of the label's.
    bool setAttributeText(epiFourCC code, const epiText& text);
    // The owner's text in its bounds moved by the offset.
    void draw(epiUbo& owner, const epiRect& clip, const epiColor& colour) const;

    epiFourCC fontId;
    epiColor onColour;
    epiColor offColour;
    epiColor disabledColour;
    int alignment = 0;
    epiPoint offset;
};

// A check box with a caption: the off colour while pressed, the on colour
// otherwise, the disabled colour when disabled.
class epiUiBitmapCheckBoxWithText : public epiUiBitmapCheckBox {
public:
    epiFourCC getKind() const override { return epiCode("iBct"); }
    void draw(const epiRect& clip) override;
    void onTextChanged() override { redraw(); }
    void setAttributeText(epiFourCC code, const epiText& text) override;
    // The colour the caption is drawn in now.
    epiColor captionColour() const;

private:
    epiBitmapLabel label_{epiCode("gen9")};
};

// A check box with an icon centred over its face (one pixel up): the off
// icon for states 0 and 3, the on icon for 1 and 2, when both exist.
class epiUiBitmapCheckWithIcon : public epiUiBitmapCheckBox {
public:
    epiFourCC getKind() const override { return epiCode("iBci"); }
    void draw(const epiRect& clip) override;
    void setAttributeText(epiFourCC code, const epiText& text) override;

private:
    epiBitmap* onIcon_ = nullptr;
    epiBitmap* offIcon_ = nullptr;
};

// A button with an icon centred over its face: the on icon while pressed.
class epiUiBitmapButtonWithIcon : public epiUiBitmapButton {
public:
    epiFourCC getKind() const override { return epiCode("iBbi"); }
    void draw(const epiRect& clip) override;
    void setAttributeText(epiFourCC code, const epiText& text) override;

private:
    epiBitmap* onIcon_ = nullptr;
    epiBitmap* offIcon_ = nullptr;
};

// A level shown by revealing part of face 0: from the bottom when taller than
// wide, else from the left, optionally in whole boxes ('lmBx'). It jumps up
// to a higher value at once and falls by 'lmSp' every 0.1 s on a timed task.
// A meter whose maximum equals its minimum shows nothing.
class epiUiBitmapLevMeter : public epiUiBitmapImage {
public:
    static constexpr double kFallSeconds = 0.1;

    epiFourCC getKind() const override { return epiCode("iBlm"); }
    std::vector<epiFourCC> savedAttributes() const override;
    void setValue(int value) override;
    int getValue() const override { return current_; }
    void setAttribute(epiFourCC code, std::intptr_t value) override;
    bool getAttributeText(epiFourCC code, epiText& text) const override;
    void onTimedTask() override;
    void onVisibilityChanged() override;
    void draw(const epiRect& clip) override;
    // The part of the bounds the level shows now (empty: none).
    epiRect shownRect() const;
    bool isFalling() const { return falling_; }

private:
    int minimum_ = 0;
    int maximum_ = 100;
    int fallStep_ = 10;
    int boxSize_ = 0;
    int current_ = 0;
    bool falling_ = false;
};
