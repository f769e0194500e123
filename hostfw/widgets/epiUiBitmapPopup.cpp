#include "hostfw/widgets/epiUiBitmapPopup.h"

#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/widgets/epiColourText.h"

#include <algorithm>
#include <utility>

namespace {

constexpr double kSubListSeconds = 0.2;
// Room left of an item's text.
constexpr int kTextInset = 6;

enum Action { kDown, kUp, kMove };

// The image attributes and their slots.
struct ImageCode {
    epiFourCC code;
    int slot;
};
constexpr ImageCode kImageCodes[] = {
    {epiCode("iUns"), epiUiBitmapPopup::kUnselected},
    {epiCode("iSel"), epiUiBitmapPopup::kSelected},
    {epiCode("iUnS"), epiUiBitmapPopup::kUnselectedSub},
    {epiCode("iSlS"), epiUiBitmapPopup::kSelectedSub},
    {epiCode("iTop"), epiUiBitmapPopup::kTop},
    {epiCode("iBot"), epiUiBitmapPopup::kBottom},
    {epiCode("iSUp"), epiUiBitmapPopup::kScrollUp},
    {epiCode("iSUd"), epiUiBitmapPopup::kScrollUpDisabled},
    {epiCode("iSDn"), epiUiBitmapPopup::kScrollDown},
    {epiCode("iSDd"), epiUiBitmapPopup::kScrollDownDisabled},
};

int imageSlot(epiFourCC code)
{
    for (const ImageCode& entry : kImageCodes)
        if (entry.code == code)
            return entry.slot;
    return -1;
}

// A counted image child of the list showing the bitmap (and the disabled
// face, when given).
epiUiBitmapImage* addImage(epiUbo& list, epiFourCC id, epiBitmap* face, epiBitmap* disabled,
                           int top)
{
    if (!face)
        return nullptr;
    auto* image = new epiUiBitmapImage;
    image->enableReferenceCount();
    image->setId(id);
    if (!list.addChild(image)) {
        image->release();
        return nullptr;
    }
    image->setAttributeBitmap(epiCode("irOf"), face);
    if (disabled)
        image->setAttributeBitmap(epiCode("ipOf"), disabled);
    image->setRect(epiRect(0, top, face->getWidth(), top + face->getHeight()));
    image->setVisible(true, false);
    return image;
}

} // namespace

// ----------------------------------------------------------------- items

void epiUiBitmapSubPopup::makeItem(epiUiBitmapPopup* popup, epiUiOpenPopupContainer* list,
                                   int index, const epiUiPopupMenuList* subList)
{
    popup_ = popup;
    inList_ = list;
    index_ = index;
    list_ = subList;
    opensToSide_ = true;
}

void epiUiBitmapSubPopup::setHovered(bool hovered)
{
    if (hovered_ == hovered)
        return;
    hovered_ = hovered;
    redraw();
}

void epiUiBitmapSubPopup::draw(const epiRect& clip)
{
    if (!popup_ || !inList_) {
        epiUiBitmapButton::draw(clip);
        return;
    }
    const bool sub = list_ != nullptr;
    const int slot =
        sub ? (hovered_ ? epiUiBitmapPopup::kSelectedSub : epiUiBitmapPopup::kUnselectedSub)
            : (hovered_ ? epiUiBitmapPopup::kSelected : epiUiBitmapPopup::kUnselected);
    drawFace(popup_->image(slot), clip);
    if (getText().getLength() == 0)
        return;
    epiRect text(getBounds());
    text.left += kTextInset;
    drawText(popup_->fontId(), 0, text, clip, getTextCStr(), popup_->textColour());
}

void epiUiBitmapSubPopup::onTimedTask()
{
    if (popup_ && popup_->isOpen() && hovered_ && list_)
        openList();
}

void epiUiBitmapSubPopup::exit()
{
    closeList();
    epiUiBitmapButton::exit();
}

epiUiOpenPopupContainer* epiUiBitmapSubPopup::openList()
{
    epiUbo* host = popup_ ? popup_->host() : nullptr;
    if (!host || !host->canHaveChildren() || !popup_->isReady())
        return nullptr;
    closeList();
    // A sub-list replaces the one another item of its list had open.
    if (epiUiBitmapSubPopup* other =
            inList_ && inList_->subList() ? inList_->subList()->opener() : nullptr)
        other->closeList();
    const epiUiPopupMenuList& items = inList_ ? *list_ : popup_->items();
    if (items.size() == 0)
        return nullptr;

    auto* list = new epiUiOpenPopupContainer;
    list->enableReferenceCount();
    if (!host->addChild(list)) {
        list->release();
        return nullptr;
    }
    list->setEnabled(true);
    list->build(popup_, this, host->getHeight());
    // The pop-up's list covers it; a sub-list opens beside its item.
    epiPoint at;
    for (const epiUbo* object = this; object && object != host; object = object->getParent())
        at = object->pointToParent(at);
    if (opensToSide_) {
        at.x += getWidth() - 10;
        at.y += 5;
    }
    at.x = std::max(0, std::min(at.x, host->getWidth() - list->getWidth()));
    at.y = std::max(0, std::min(at.y, host->getHeight() - list->getHeight()));
    list->moveToXY(at.x, at.y);
    list->setVisible(true, true);
    opened_ = list;
    if (inList_)
        inList_->setSubList(list);
    redraw();
    return list;
}

void epiUiBitmapSubPopup::closeList()
{
    epiUiOpenPopupContainer* list = std::exchange(opened_, nullptr);
    if (!list)
        return;
    if (epiUiOpenPopupContainer* sub = list->subList(); sub && sub->opener())
        sub->opener()->closeList();
    if (inList_ && inList_->subList() == list)
        inList_->setSubList(nullptr);
    if (popup_)
        popup_->retire(list);
    redraw();
}

void epiUiBitmapSubPopup::forgetList(epiUiOpenPopupContainer* list)
{
    if (opened_ == list)
        opened_ = nullptr;
    if (inList_ && inList_->subList() == list)
        inList_->setSubList(nullptr);
}

// ---------------------------------------------------------------- pop-up

epiUiBitmapPopup::epiUiBitmapPopup()
{
    popup_ = this;
}

epiUiBitmapPopup::~epiUiBitmapPopup()
{
    buryRetired();
}

std::vector<epiFourCC> epiUiBitmapPopup::savedAttributes() const
{
    return {epiCode("visi"), epiCode("irOf"), epiCode("ipOf"), epiCode("irOn"),
            epiCode("ipOn"), epiCode("teCl"), epiCode("teFo"), epiCode("text")};
}

void epiUiBitmapPopup::setAttributeText(epiFourCC code, const epiText& text)
{
    if (const int slot = imageSlot(code); slot >= 0) {
        images_[static_cast<std::size_t>(slot)] = loadImage(text);
        ready_ = std::all_of(std::begin(kImageCodes), std::end(kImageCodes),
                             [this](const ImageCode& entry) {
                                 return images_[static_cast<std::size_t>(entry.slot)] != nullptr;
                             });
        return;
    }
    switch (code) {
    case epiCode("cont"):
    case epiCode("cnth"):
        closeAll();
        root_.setContent(text, code == epiCode("cnth"));
        return;
    case epiCode("teFo"):
        fontId_ = epiCodeFromText(text);
        break;
    case epiCode("teCl"):
        epiColourFromText(text, colour_);
        break;
    default:
        epiUiBitmapSubPopup::setAttributeText(code, text);
        return;
    }
    redraw();
}

void epiUiBitmapPopup::draw(const epiRect& clip)
{
    // The pressed face while the list is open, when there is one.
    drawFace(isOpen() && faces_[1] ? faces_[1] : faces_[0], clip);
    if (getText().getLength() == 0)
        return;
    epiRect text(getBounds());
    text.left += kTextInset;
    drawText(fontId_, 0, text, clip, getTextCStr(), colour_);
}

void epiUiBitmapPopup::onMouseDown(const epiPoint& point)
{
    buryRetired();
    if (!ready_ || !enabled_)
        return;
    if (isOpen()) {
        closeAll();
        return;
    }
    clickPoint_ = point;
    movedOverList_ = false;
    if (epiUiOpenPopupContainer* list = openList()) {
        list->captureMe();
        // The host lets go of the capture when the focus goes elsewhere.
        host()->registerListener(epiCode("rFoc"), list, 0);
    }
}

void epiUiBitmapPopup::choose(int index, const char* text)
{
    selected_ = index;
    setTextCStr(text);
    closeAll();
    reportHit();
}

void epiUiBitmapPopup::closeAll()
{
    epiUiOpenPopupContainer* list = opened_;
    if (!list)
        return;
    closeList();
    // Still linked to the host, the closed list hands the capture back.
    list->releaseCapture();
}

void epiUiBitmapPopup::retire(epiUiOpenPopupContainer* list)
{
    list->forgetOpener();
    list->removeTimedTask();
    for (epiUbo* part : list->children())
        for (epiUbo* item : part->children())
            item->removeTimedTask();
    if (epiUbo* host = list->getParent()) {
        host->unregisterListener(epiCode("rFoc"), list);
        const epiRect area = list->getFrame();
        host->removeChild(list);
        host->invalidate(area);
    }
    retired_.push_back(list);
}

void epiUiBitmapPopup::buryRetired()
{
    std::vector<epiUbo*> lists;
    lists.swap(retired_);
    for (epiUbo* list : lists)
        list->exit();
}

void epiUiBitmapPopup::close()
{
    closeAll();
    epiUiBitmapSubPopup::close();
}

void epiUiBitmapPopup::exit()
{
    closeAll();
    buryRetired();
    epiUiBitmapSubPopup::exit();
}

// ------------------------------------------------------------- open list

void epiUiOpenPopupContainer::build(epiUiBitmapPopup* popup, epiUiBitmapSubPopup* opener,
                                    int hostHeight)
{
    popup_ = popup;
    opener_ = opener;
    const epiUiPopupMenuList& items = opener == popup ? popup->items() : *opener->subList();
    const epiBitmap* row = popup->image(epiUiBitmapPopup::kUnselected);
    const int h = std::max(1, row->getHeight());
    const int width = row->getWidth();
    const int listHeight = static_cast<int>(items.size()) * h;
    const int available = hostHeight - h - 100;
    const bool scrolls = listHeight > available;
    if (scrolls) {
        // Two rows' room is left for the arrows; at least one row shows.
        const int rows = std::max(1, available / h - 2);
        visibleHeight_ = rows * h;
        maxScroll_ = std::max(0, listHeight - visibleHeight_);
    } else {
        visibleHeight_ = listHeight;
        maxScroll_ = 0;
    }
    int y = 0;
    if (epiUiBitmapImage* top =
            addImage(*this, epiCode("bord"), popup->image(epiUiBitmapPopup::kTop), nullptr, y))
        y = top->getFrame().bottom;
    if (scrolls) {
        up_ = addImage(*this, epiCode("scUp"), popup->image(epiUiBitmapPopup::kScrollUp),
                       popup->image(epiUiBitmapPopup::kScrollUpDisabled), y);
        if (up_)
            y = up_->getFrame().bottom;
    }
    items_ = new epiUiOpenPopupItemsContainer;
    items_->enableReferenceCount();
    if (addChild(items_)) {
        items_->setRect(epiRect(0, y, width, y + visibleHeight_));
        items_->fill(popup, this, items, h);
        items_->setVisible(true, false);
    } else {
        items_->release();
        items_ = nullptr;
    }
    y += visibleHeight_;
    if (scrolls) {
        down_ = addImage(*this, epiCode("scDn"), popup->image(epiUiBitmapPopup::kScrollDown),
                         popup->image(epiUiBitmapPopup::kScrollDownDisabled), y);
        if (down_)
            y = down_->getFrame().bottom;
    }
    if (epiUiBitmapImage* bottom =
            addImage(*this, epiCode("iBot"), popup->image(epiUiBitmapPopup::kBottom), nullptr, y))
        y = bottom->getFrame().bottom;
    setRect(epiRect(0, 0, width, y));
    showArrowFaces();
}

void epiUiOpenPopupContainer::exit()
{
    if (epiUiBitmapSubPopup* opener = std::exchange(opener_, nullptr))
        opener->forgetList(this);
    epiUiContainer::exit();
}

void epiUiOpenPopupContainer::onMessage(epiFourCC key, epiUbo*, void*)
{
    if (key == epiCode("rFoc") && popup_ && popup_->openedList() == this)
        popup_->closeAll();
}

void epiUiOpenPopupContainer::showArrowFaces()
{
    const auto face = [](epiUiBitmapImage* arrow, bool atEnd) {
        if (arrow)
            arrow->notify(epiCode("Face"),
                          reinterpret_cast<void*>(static_cast<std::intptr_t>(
                              atEnd ? epiCode("ipOf") : epiCode("irOf"))),
                          nullptr);
    };
    face(up_, scroll_ <= 0);
    face(down_, scroll_ >= maxScroll_);
}

int epiUiOpenPopupContainer::arrowAt(const epiPoint& point) const
{
    if (up_ && up_->getFrame().containsPoint(point))
        return -1;
    if (down_ && down_->getFrame().containsPoint(point))
        return 1;
    return 0;
}

void epiUiOpenPopupContainer::hoverArrow(int arrow)
{
    if (arrow == hoveredArrow_)
        return;
    hoveredArrow_ = arrow;
    removeTimedTask();
    scrolling_ = arrow != 0;
    if (scrolling_) {
        ticks_ = 5;
        addTimedTask(kScrollSeconds, false, false);
    }
}

void epiUiOpenPopupContainer::onTimedTask()
{
    if (!scrolling_ || hoveredArrow_ == 0) {
        removeTimedTask();
        return;
    }
    // Faster as the counter grows: 6 pixels a tick at first.
    const int step = ticks_ / 5 + 5;
    ++ticks_;
    scroll_ = std::clamp(scroll_ + hoveredArrow_ * step, 0, maxScroll_);
    if (items_)
        items_->notify(epiCode("scrY"),
                       reinterpret_cast<void*>(static_cast<std::intptr_t>(scroll_)), nullptr);
    showArrowFaces();
    if ((hoveredArrow_ < 0 && scroll_ <= 0) || (hoveredArrow_ > 0 && scroll_ >= maxScroll_)) {
        scrolling_ = false;
        removeTimedTask();
    }
}

epiUiOpenPopupContainer* epiUiOpenPopupContainer::listAt(const epiPoint& hostPoint)
{
    std::vector<epiUiOpenPopupContainer*> chain;
    for (epiUiOpenPopupContainer* list = popup_ ? popup_->openedList() : nullptr; list;
         list = list->subList())
        chain.push_back(list);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if ((*it)->getFrame().containsPoint(hostPoint))
            return *it;
    return nullptr;
}

void epiUiOpenPopupContainer::route(int action, const epiPoint& point)
{
    if (!popup_)
        return;
    const epiPoint hostPoint = pointToParent(point);
    epiUiOpenPopupContainer* target = listAt(hostPoint);
    // Scrolling stops on every list the pointer is not over.
    for (epiUiOpenPopupContainer* list = popup_->openedList(); list; list = list->subList())
        if (list != target)
            list->hoverArrow(0);
    if (!target) {
        // A press outside every open list closes them.
        if (action == kDown)
            popup_->closeAll();
        return;
    }
    target->handle(action, target->pointFromParent(hostPoint));
}

void epiUiOpenPopupContainer::handle(int action, const epiPoint& point)
{
    const int arrow = arrowAt(point);
    epiUiBitmapSubPopup* item = nullptr;
    if (arrow == 0 && items_ && items_->getFrame().containsPoint(point))
        item = items_->itemAt(items_->pointFromParent(point));
    switch (action) {
    case kMove:
        popup_->setMovedOverList();
        hoverArrow(arrow);
        if (items_ && arrow == 0)
            items_->hover(item);
        return;
    case kDown:
        if (items_)
            items_->setPressed(true);
        if (!item)
            return;
        if (item->subList())
            item->openList();
        else
            popup_->choose(item->itemIndex(), item->getTextCStr());
        return;
    case kUp:
        if (items_)
            items_->setPressed(false);
        if (item && !item->subList() && popup_->movedOverList())
            popup_->choose(item->itemIndex(), item->getTextCStr());
        return;
    default:
        return;
    }
}

void epiUiOpenPopupContainer::onMouseDown(const epiPoint& point)
{
    route(kDown, point);
}

void epiUiOpenPopupContainer::onMouseUp(const epiPoint& point)
{
    route(kUp, point);
}

void epiUiOpenPopupContainer::onMouseMove(const epiPoint& point)
{
    route(kMove, point);
}

// ------------------------------------------------------------ list items

void epiUiOpenPopupItemsContainer::fill(epiUiBitmapPopup* popup, epiUiOpenPopupContainer* list,
                                        const epiUiPopupMenuList& items, int itemHeight)
{
    const int width = getWidth();
    int index = 0;
    for (const epiUiPopupMenuItem& entry : items.items()) {
        auto* item = new epiUiBitmapSubPopup;
        item->enableReferenceCount();
        item->setId(epiCode("none"));
        if (!addChild(item)) {
            item->release();
            continue;
        }
        item->setRect(epiRect(0, index * itemHeight, width, (index + 1) * itemHeight));
        item->makeItem(popup, list, index, entry.subList.get());
        item->setTextCStr(entry.text.c_str());
        item->setVisible(true, false);
        ++index;
    }
}

epiUiBitmapSubPopup* epiUiOpenPopupItemsContainer::itemAt(const epiPoint& point) const
{
    for (epiUbo* child : children())
        if (child->getFrame().containsPoint(point) && point.y < child->getFrame().bottom)
            return dynamic_cast<epiUiBitmapSubPopup*>(child);
    return nullptr;
}

void epiUiOpenPopupItemsContainer::hover(epiUiBitmapSubPopup* item)
{
    if (item == hovered_)
        return;
    if (hovered_) {
        hovered_->setHovered(false);
        hovered_->removeTimedTask();
    }
    hovered_ = item;
    if (!item)
        return;
    item->setHovered(true);
    if (item->subList())
        item->addTimedTask(kSubListSeconds, true, false);
}
