#pragma once

#include "hostfw/app/epiColor.h"
#include "hostfw/ui/epiUbo.h"
#include "hostfw/widgets/epiUiBitmapWidgets.h"

#include <memory>
#include <string>
#include <vector>

// Text in a font of the font list: 'teCl' colour, 'teFo' font, 'txAl'
// alignment; 'Clik' 1 makes a press report a hit.
class epiUiBitmapText : public epiUbo {
public:
    epiFourCC getKind() const override { return epiCode("iBst"); }
    std::vector<epiFourCC> savedAttributes() const override;
    void setAttributeText(epiFourCC code, const epiText& text) override;
    void onTextChanged() override { redraw(); }
    void draw(const epiRect& clip) override;
    void onMouseDown(const epiPoint& point) override;
    bool isClickable() const { return clickable_; }

private:
    epiColor colour_;
    epiFourCC fontId_ = epiCode("gen9");
    int alignment_ = 0;
    bool clickable_ = false;
};

// Shows one line of its content ('cont'); dragging moves through the lines,
// one for every two pixels, up for the next.
class epiUiBitmapTextRolling : public epiUiBitmapText {
public:
    epiFourCC getKind() const override { return epiCode("iBtr"); }
    void setAttributeText(epiFourCC code, const epiText& text) override;
    // Shows line i of the content; other values are ignored.
    void setValue(int index) override;
    int getValue() const override { return index_; }
    void onMouseDown(const epiPoint& point) override;
    void onMouseDrag(const epiPoint& point) override;
    void onMouseUp(const epiPoint&) override { releaseCapture(); }
    int lineCount() const { return lines_; }

private:
    epiText content_;
    int lines_ = -1;
    int index_ = 0;
    epiPoint dragStart_;
};

// A label drawn over a bitmap button's face, moved by 'teOx', 'teOy': the
// disabled colour when disabled ('tCdi', buttons only), else the on colour
// while the button shows itself on (pressed or checked) and the off colour
// otherwise.
class epiUiBitmapButtonWithText : public epiUiBitmapButton {
public:
    epiFourCC getKind() const override { return epiCode("iBwt"); }
    void draw(const epiRect& clip) override;
    void onTextChanged() override { redraw(); }
    void setAttributeText(epiFourCC code, const epiText& text) override;
    epiColor labelColour() const;

private:
    epiBitmapLabel label_{epiCode("gen9")};
};

// A radio with a label: the on colour when selected, else the off colour.
class epiUiBitmapRadioWithText : public epiUiBitmapRadio {
public:
    epiFourCC getKind() const override { return epiCode("iBrs"); }
    void draw(const epiRect& clip) override;
    void onTextChanged() override { redraw(); }
    void setAttributeText(epiFourCC code, const epiText& text) override;
    epiColor labelColour() const;

private:
    epiBitmapLabel label_{epiCode("AB10")};
};

// One item of a pop-up list: its text and its sub-list, when it has one.
class epiUiPopupMenuList;
struct epiUiPopupMenuItem {
    std::string text;
    std::unique_ptr<epiUiPopupMenuList> subList;
};

// The items of a pop-up list, each owning its sub-list.
class epiUiPopupMenuList {
public:
    // Line breaks and "|" separate items. Flat: every item as it stands.
    // Nested: an item "parent/rest" puts rest (by the same rule) into the
    // sub-list of the first item named parent, made at the end when absent.
    void setContent(const epiText& content, bool nested);
    void append(const std::string& text, bool nested);
    void clear() { items_.clear(); }
    const std::vector<epiUiPopupMenuItem>& items() const { return items_; }
    std::size_t size() const { return items_.size(); }

private:
    std::vector<epiUiPopupMenuItem> items_;
};
