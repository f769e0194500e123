#include "hostfw/win/epiPopupList.h"

#include "hostfw/app/epiWindowManager.h"
#include "hostfw/gfx/epiTextFace.h"
#include "hostfw/win/epiUiEventsBase.h"

#include <algorithm>
#include <cmath>

using platform::ui::PointerAction;

namespace {

constexpr const char* kFamily = "DejaVu Sans";
// Framework key codes of the arrows, Return and Escape.
constexpr int kKeyLeft = 28;
constexpr int kKeyRight = 29;
constexpr int kKeyUp = 30;
constexpr int kKeyDown = 31;
constexpr int kKeyReturn = 13;
constexpr int kKeyEscape = 27;
constexpr double kSubListDelaySeconds = 0.2;
// Room around the rows: the frame and a pixel inside it.
constexpr int kPad = 2;
constexpr int kTextLeft = 8;
constexpr int kArrowColumn = 14;
constexpr int kScreenMargin = 4;

epiPopupList* gOpen = nullptr;

const epiColor kBackground(0xFFF4F4F4);
const epiColor kFrame(0xFF707070);
const epiColor kMarkFill(0xFF3D6FB4);
const epiColor kText(0xFF000000);
const epiColor kMarkedText(0xFFFFFFFF);
const epiColor kDisabledText(0xFF9A9A9A);
const epiColor kSeparator(0xFFC4C4C4);

// The label's left part and the part after a tab (a shortcut).
void splitLabel(const std::string& label, std::string& left, std::string& right)
{
    const std::size_t tab = label.find('\t');
    left = label.substr(0, tab);
    right = tab == std::string::npos ? std::string() : label.substr(tab + 1);
}

double pointsOf(int pixels)
{
    return pixels * 0.75;
}

bool selectable(const epiPopupListItem& item)
{
    return !item.separator && item.enabled;
}

} // namespace

// One level of an open list: the rows of the root or of a sub-list in a
// window of its own.
class epiPopupListWindow : public epiUiEventsBase {
public:
    epiPopupListWindow(epiPopupList& list, int level, const std::vector<epiPopupListItem>& items)
        : list_(list), level_(level), items_(items)
    {
        setBackground(kBackground, true);
    }
    ~epiPopupListWindow() override
    {
        removeTimedTask();
        dropNative();
    }

    epiFourCC getKind() const override { return epiCode("iPlw"); }

    const std::vector<epiPopupListItem>& items() const { return items_; }
    int level() const { return level_; }
    int mark() const { return mark_; }

    // Row heights from the list's top, without scrolling.
    int rowTop(int row) const
    {
        int y = kPad;
        for (int i = 0; i < row; ++i)
            y += rowHeight(i);
        return y;
    }
    int rowHeight(int row) const
    {
        return items_[static_cast<std::size_t>(row)].separator ? epiPopupList::kSeparatorHeight
                                                               : epiPopupList::kRowHeight;
    }
    int contentHeight() const { return rowTop(static_cast<int>(items_.size())) + kPad; }

    int contentWidth() const
    {
        int widest = 0;
        const int size = static_cast<int>(pointsOf(epiPopupList::kTextHeight));
        for (const epiPopupListItem& item : items_) {
            if (item.separator)
                continue;
            std::string left, right;
            splitLabel(item.label, left, right);
            double width = epiTextFace::measure(left.c_str(), kFamily, size, 0);
            if (!right.empty())
                width += 24 + epiTextFace::measure(right.c_str(), kFamily, size, 0);
            widest = std::max(widest, static_cast<int>(std::ceil(width)));
        }
        return widest + 2 * kTextLeft + kArrowColumn;
    }

    // The row at a height of the window, -1 for none or a separator's gap.
    int rowAt(int y) const
    {
        const int content = y + scroll_;
        int top = kPad;
        for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
            const int height = rowHeight(i);
            if (content >= top && content < top + height)
                return i;
            top += height;
        }
        return -1;
    }

    // Opens the native window at the screen frame and shows it.
    bool openAt(epiApplicationObject* application, const epiRect& frame)
    {
        attach(application);
        setFrameQuietly(frame);
        platform::ui::WindowSystem* system = windowSystem();
        if (!system)
            return false;
        platform::ui::WindowOptions options;
        options.kind = platform::ui::WindowKind::Popup;
        options.decorations = platform::ui::Decorations::Plain;
        options.className = "epiPopupList";
        options.frame = {frame.left, frame.top, frame.getWidth(), frame.getHeight()};
        options.resizableX = options.resizableY = false;
        options.background = 0xF4F4F4;
        adoptNative(system->createWindow(options, *this));
        if (!hostWindow())
            return false;
        setVisible(true, false);
        hostWindow()->show(true);
        return true;
    }

    void setMark(int row)
    {
        if (row == mark_)
            return;
        mark_ = row;
        removeTimedTask();
        ensureVisible(row);
        redraw();
    }

    // Waits before the marked row's sub-list opens.
    void scheduleSubList()
    {
        removeTimedTask();
        addTimedTask(kSubListDelaySeconds, true, false);
    }

    void scrollBy(int pixels)
    {
        const int most = std::max(0, contentHeight() - getHeight());
        const int scroll = std::clamp(scroll_ + pixels, 0, most);
        if (scroll != scroll_) {
            scroll_ = scroll;
            redraw();
        }
    }

    void ensureVisible(int row)
    {
        if (row < 0)
            return;
        const int top = rowTop(row), bottom = top + rowHeight(row);
        if (top - kPad < scroll_)
            scrollBy(top - kPad - scroll_);
        else if (bottom + kPad > scroll_ + getHeight())
            scrollBy(bottom + kPad - scroll_ - getHeight());
    }

    // The row's rectangle on the screen.
    epiRect rowOnScreen(int row) const
    {
        const int top = rowTop(row) - scroll_;
        return epiRect(getFrame().left, getFrame().top + top, getFrame().right,
                       getFrame().top + top + rowHeight(row));
    }

    void draw(const epiRect& clip) override
    {
        const int width = getWidth();
        const int size = epiPopupList::kTextHeight;
        for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
            const epiPopupListItem& item = items_[static_cast<std::size_t>(i)];
            const int top = rowTop(i) - scroll_;
            const epiRect row(1, top, width - 1, top + rowHeight(i));
            if (row.bottom <= clip.top || row.top >= clip.bottom)
                continue;
            if (item.separator) {
                const int y = top + epiPopupList::kSeparatorHeight / 2;
                drawLine(4, y, width - 4, y, clip, kSeparator);
                continue;
            }
            const bool marked = i == mark_ && item.enabled;
            if (marked)
                fillRect(row, kMarkFill);
            const epiColor& colour = !item.enabled ? kDisabledText : marked ? kMarkedText : kText;
            std::string left, right;
            splitLabel(item.label, left, right);
            const int textTop = top + (epiPopupList::kRowHeight - size) / 2 - 1;
            const epiRect text(kTextLeft, textTop, width - kTextLeft - kArrowColumn,
                               textTop + size + 4);
            drawSystemText(left.c_str(), size, kFamily, text, colour, 0);
            if (!right.empty())
                drawSystemText(right.c_str(), size, kFamily, text, colour, 2);
            if (!item.subItems.empty()) {
                // A small triangle pointing right.
                const int x = width - kArrowColumn + 2, y = top + epiPopupList::kRowHeight / 2;
                for (int d = 0; d < 4; ++d)
                    drawLine(x + d, y - 3 + d, x + d, y + 4 - d, clip, colour);
            }
        }
        frameRect(getBounds(), kFrame);
    }

    void pointer(PointerAction action, int x, int y, int wheelDelta) override
    {
        if (action == PointerAction::Wheel) {
            scrollBy(-(wheelDelta / 120) * 3 * epiPopupList::kRowHeight);
            return;
        }
        // The list may close (and this window go) in the call: nothing after.
        list_.pointerAt(action, {getFrame().left + x, getFrame().top + y}, wheelDelta);
    }

    void onKeyDown(int code) override { list_.keyDown(code); }
    void onKeyRepeat(int code) override { list_.keyDown(code); }
    void onTimedTask() override
    {
        removeTimedTask();
        list_.openSubList(level_);
    }

private:
    epiPopupList& list_;
    int level_;
    const std::vector<epiPopupListItem>& items_;
    int mark_ = -1;
    int scroll_ = 0;
};

// ------------------------------------------------------------------- list

epiPopupList::epiPopupList() = default;

epiPopupList::~epiPopupList()
{
    // Closing quietly: the owner is going away.
    chosen_ = nullptr;
    closed_ = nullptr;
    close();
}

void epiPopupList::setItems(std::vector<epiPopupListItem> items)
{
    items_ = std::move(items);
}

epiUiEventsBase* epiPopupList::window(int level) const
{
    return level >= 0 && level < openLevels() ? windows_[static_cast<std::size_t>(level)].get()
                                              : nullptr;
}

int epiPopupList::marked(int level) const
{
    return level >= 0 && level < openLevels() ? windows_[static_cast<std::size_t>(level)]->mark()
                                              : -1;
}

epiPopupList* epiPopupList::current()
{
    return gOpen;
}

epiPoint epiPopupList::screenPoint(const epiUbo& object, const epiPoint& point)
{
    epiPoint moved = point;
    for (const epiUbo* at = &object; at; at = at->getParent()) {
        moved = at->pointToParent(moved);
        // A top-level window's frame is its client area on the screen.
        if (const auto* window = dynamic_cast<const epiUiEventsBase*>(at);
            window && window->hostWindow())
            break;
    }
    return moved;
}

epiRect epiPopupList::screenRect(const epiUbo& object, const epiRect& rect)
{
    const epiPoint topLeft = screenPoint(object, rect.topLeft());
    return epiRect(topLeft.x, topLeft.y, topLeft.x + rect.getWidth(), topLeft.y + rect.getHeight());
}

bool epiPopupList::openAt(epiUbo& owner, const epiPoint& screenPoint)
{
    return open(owner, epiRect(screenPoint.x, screenPoint.y, screenPoint.x, screenPoint.y), false);
}

bool epiPopupList::openBelow(epiUbo& owner, const epiRect& screenRect)
{
    return open(owner, screenRect, true);
}

bool epiPopupList::open(epiUbo& owner, const epiRect& anchor, bool below)
{
    if (gOpen)
        gOpen->close();
    if (items_.empty() || !owner.getApplication())
        return false;
    // The window that receives the keys while the list is open.
    epiUbo* keyWindow = nullptr;
    for (epiUbo* at = &owner; at; at = at->getParent())
        if (auto* window = dynamic_cast<epiUiEventsBase*>(at); window && window->hostWindow()) {
            keyWindow = window;
            break;
        }
    openItems_ = items_;
    auto root = std::make_unique<epiPopupListWindow>(*this, 0, openItems_);
    root->attach(owner.getApplication());
    const platform::ScreenSize screen = owner.windowManager()
                                            ? owner.windowManager()->pump().screenSize()
                                            : platform::ScreenSize{1920, 1080};
    const int width = std::max(root->contentWidth(), below ? anchor.getWidth() : 0);
    const int height = std::min(root->contentHeight(), screen.height - 2 * kScreenMargin);
    int x = anchor.left, y = below ? anchor.bottom : anchor.top;
    if (below && y + height > screen.height && anchor.top - height >= 0)
        y = anchor.top - height;
    x = std::max(0, std::min(x, screen.width - width));
    y = std::max(0, std::min(y, screen.height - height));
    if (!root->openAt(owner.getApplication(), epiRect(x, y, x + width, y + height)))
        return false;
    owner_ = &owner;
    keyWindow_ = keyWindow;
    movedOverList_ = false;
    closing_ = false;
    if (initialMark_ >= 0 && initialMark_ < static_cast<int>(openItems_.size()) &&
        selectable(openItems_[static_cast<std::size_t>(initialMark_)]))
        root->setMark(initialMark_);
    windows_.push_back(std::move(root));
    if (keyWindow_)
        keyWindow_->pushKeyTarget(windows_.front().get());
    gOpen = this;
    return true;
}

void epiPopupList::openSubList(int level)
{
    epiPopupListWindow* parent = level < openLevels() ? windows_[level].get() : nullptr;
    if (!parent || parent->mark() < 0)
        return;
    const int row = parent->mark();
    const epiPopupListItem& item = parent->items()[static_cast<std::size_t>(row)];
    if (item.subItems.empty() || !item.enabled)
        return;
    closeLevelsAfter(level);
    auto sub = std::make_unique<epiPopupListWindow>(*this, level + 1, item.subItems);
    sub->attach(parent->getApplication());
    const platform::ScreenSize screen = parent->windowManager()
                                            ? parent->windowManager()->pump().screenSize()
                                            : platform::ScreenSize{1920, 1080};
    const int width = sub->contentWidth();
    const int height = std::min(sub->contentHeight(), screen.height - 2 * kScreenMargin);
    const epiRect beside = parent->rowOnScreen(row);
    // Beside the row, on the left when the screen ends on the right.
    int x = beside.right - kPad;
    if (x + width > screen.width)
        x = beside.left - width + kPad;
    int y = std::max(0, std::min(beside.top - kPad, screen.height - height));
    x = std::max(0, x);
    if (sub->openAt(parent->getApplication(), epiRect(x, y, x + width, y + height)))
        windows_.push_back(std::move(sub));
}

void epiPopupList::closeLevelsAfter(int level)
{
    while (openLevels() > level + 1)
        windows_.pop_back();
}

void epiPopupList::close()
{
    if (!isOpen() || closing_)
        return;
    finish(false, Choice());
}

void epiPopupList::finish(bool chosen, const Choice& choice)
{
    closing_ = true;
    if (keyWindow_ && keyWindow_->getKeyTarget() == windows_.front().get())
        keyWindow_->popKeyTarget();
    keyWindow_ = nullptr;
    owner_ = nullptr;
    windows_.clear();
    if (gOpen == this)
        gOpen = nullptr;
    closing_ = false;
    // The callbacks may open the list again or destroy it: copies are called.
    const ClosedCallback closed = closed_;
    const ChosenCallback chosenCallback = chosen_;
    if (closed)
        closed();
    if (chosen && chosenCallback)
        chosenCallback(choice);
}

int epiPopupList::levelAt(const epiPoint& screen) const
{
    for (int level = openLevels() - 1; level >= 0; --level) {
        const epiRect& frame = windows_[static_cast<std::size_t>(level)]->getFrame();
        if (screen.x >= frame.left && screen.x < frame.right && screen.y >= frame.top &&
            screen.y < frame.bottom)
            return level;
    }
    return -1;
}

void epiPopupList::pointerAt(PointerAction action, const epiPoint& screen, int)
{
    const int level = levelAt(screen);
    epiPopupListWindow* window =
        level >= 0 ? windows_[static_cast<std::size_t>(level)].get() : nullptr;
    const int row = window ? window->rowAt(screen.y - window->getFrame().top) : -1;
    const epiPopupListItem* item =
        row >= 0 ? &window->items()[static_cast<std::size_t>(row)] : nullptr;
    switch (action) {
    case PointerAction::Move:
    case PointerAction::Drag:
        if (!window)
            return;
        movedOverList_ = true;
        if (row == window->mark())
            return;
        window->setMark(item && selectable(*item) ? row : -1);
        if (item && selectable(*item) && !item->subItems.empty())
            window->scheduleSubList();
        else
            closeLevelsAfter(level);
        return;
    case PointerAction::Down:
        if (!window) {
            close();
            return;
        }
        if (item && selectable(*item)) {
            window->setMark(row);
            if (item->subItems.empty())
                choose(level, row);
            else
                openSubList(level);
        }
        return;
    case PointerAction::Up:
        if (window && movedOverList_ && item && selectable(*item) && item->subItems.empty())
            choose(level, row);
        return;
    case PointerAction::Wheel:
        return;
    }
}

void epiPopupList::keyDown(int code)
{
    if (!isOpen())
        return;
    const int level = openLevels() - 1;
    epiPopupListWindow& window = *windows_.back();
    const int count = static_cast<int>(window.items().size());
    const int mark = window.mark();
    const auto markedItem = [&]() -> const epiPopupListItem* {
        return mark >= 0 ? &window.items()[static_cast<std::size_t>(mark)] : nullptr;
    };
    switch (code) {
    case kKeyUp:
    case kKeyDown: {
        const int step = code == kKeyDown ? 1 : count - 1;
        int row = mark < 0 ? (code == kKeyDown ? count - 1 : 0) : mark;
        for (int tried = 0; tried < count; ++tried) {
            row = (row + step) % count;
            if (selectable(window.items()[static_cast<std::size_t>(row)])) {
                window.setMark(row);
                closeLevelsAfter(level);
                break;
            }
        }
        return;
    }
    case kKeyRight:
        if (const epiPopupListItem* item = markedItem(); item && !item->subItems.empty()) {
            openSubList(level);
            if (openLevels() > level + 1)
                keyDown(kKeyDown);
        }
        return;
    case kKeyLeft:
        if (level > 0)
            closeLevelsAfter(level - 1);
        return;
    case kKeyReturn:
        if (const epiPopupListItem* item = markedItem(); item && selectable(*item)) {
            if (item->subItems.empty()) {
                choose(level, mark);
            } else {
                openSubList(level);
                if (openLevels() > level + 1)
                    keyDown(kKeyDown);
            }
        }
        return;
    case kKeyEscape:
        close();
        return;
    default:
        return;
    }
}

void epiPopupList::choose(int level, int row)
{
    Choice choice;
    for (int at = 0; at < level; ++at)
        choice.path.push_back(windows_[static_cast<std::size_t>(at)]->mark());
    choice.path.push_back(row);
    const epiPopupListItem& item =
        windows_[static_cast<std::size_t>(level)]->items()[static_cast<std::size_t>(row)];
    choice.id = item.id;
    choice.label = item.label;
    finish(true, choice);
}

bool epiPopupList::filterPointer(epiUiEventsBase& window, PointerAction action, int x, int y)
{
    epiPopupList* list = gOpen;
    if (!list || list->closing_)
        return false;
    const epiPoint screen = screenPoint(window, {x, y});
    list->pointerAt(action, screen, 0);
    // A release still ends the press in its own window (the grab, the
    // pressed widget); everything else was the list's.
    return action != PointerAction::Up;
}

void epiPopupList::windowDeactivated(const epiUbo& window)
{
    if (gOpen && gOpen->keyWindow_ == &window)
        gOpen->close();
}
