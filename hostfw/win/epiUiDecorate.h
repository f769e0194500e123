#pragma once

#include "hostfw/app/epiColor.h"
#include "hostfw/win/epiUiContainer.h"
#include "hostfw/win/epiUiSystemContainer.h"

// A frame and a fill around a container, in an on and an off look: which
// edges are drawn, their widths and colours. Colours are texts such as
// "140,140,140"; an unset colour draws nothing.
class epiUiDecorateHelper {
public:
    struct Colour {
        epiColor value;
        bool set = false;
    };

    // Fill, then the enabled edges, inside the rectangle (null: the owner's
    // bounds).
    void draw(epiUbo& owner, const epiRect& clip, const epiRect* rect) const;
    void setState(bool on) { on_ = on; }
    bool getState() const { return on_; }
    // True when the code is one of the helper's ten.
    bool setAttribute(epiFourCC code, const epiText& text);

private:
    int offWidth_ = 1;
    int onWidth_ = 1;
    Colour onFrame_;
    Colour offFrame_;
    Colour onFill_;
    Colour offFill_;
    bool top_ = false;
    bool bottom_ = false;
    bool right_ = false;
    bool left_ = false;
    bool on_ = false;
};

// A container drawn with a decoration over its children; its value switches
// the decoration's look.
template <class Container> class epiUiDecorated : public Container {
public:
    void draw(const epiRect& clip) override
    {
        Container::draw(clip);
        helper_.draw(*this, clip, nullptr);
    }
    // The helper's codes first, then the container's.
    void setAttributeText(epiFourCC code, const epiText& text) override
    {
        if (!helper_.setAttribute(code, text))
            Container::setAttributeText(code, text);
    }
    void setValue(int value) override
    {
        helper_.setState(value != 0);
        this->redraw();
    }
    int getValue() const override { return helper_.getState() ? 1 : 0; }

private:
    epiUiDecorateHelper helper_;
};

class epiUiDecorate : public epiUiDecorated<epiUiContainer> {
public:
    epiFourCC getKind() const override { return epiCode("iBde"); }
};

// The decorated form of the system container.
class epiUiSystemDecorate : public epiUiDecorated<epiUiSystemContainer> {
public:
    epiFourCC getKind() const override { return epiCode("iSde"); }
};
