#include "hostfw/win/epiWindow.h"

#include "hostfw/app/epiApplication.h"
#include "hostfw/app/epiKeyboard.h"
#include "hostfw/app/epiMenu.h"
#include "hostfw/app/epiWindowManager.h"
#include "hostfw/win/epiPopupList.h"

#include <algorithm>

namespace pui = platform::ui;

epiWindow::epiWindow()
{
    setFrameQuietly(epiRect(100, 100, 300, 200));
    setVisible(true, false);
}

epiWindow::~epiWindow() = default;

void epiWindow::setAttribute(epiFourCC code, std::intptr_t value)
{
    struct Switch {
        epiFourCC code;
        bool Flags::*flag;
    };
    static constexpr Switch switches[] = {
        {epiCode("Modl"), &Flags::modal},          {epiCode("mBar"), &Flags::menuBar},
        {epiCode("aupo"), &Flags::autoPlace},      {epiCode("RszX"), &Flags::resizeX},
        {epiCode("RszY"), &Flags::resizeY},        {epiCode("Zoma"), &Flags::minimizeBox},
        {epiCode("Clsa"), &Flags::closeBox},       {epiCode("Plai"), &Flags::plain},
        {epiCode("Fram"), &Flags::frame},          {epiCode("OZoo"), &Flags::maximised},
        {epiCode("grBk"), &Flags::greyBackground}, {epiCode("grBl"), &Flags::blackBackground},
        {epiCode("noBk"), &Flags::noBackground},   {epiCode("ReDr"), &Flags::acceptsFiles},
    };
    for (const Switch& entry : switches)
        if (entry.code == code) {
            flags_.*entry.flag = value != 0;
            return;
        }
    const int number = static_cast<int>(value);
    switch (code) {
    case epiCode("MszX"):
        flags_.minSize.x = number;
        break;
    case epiCode("MszY"):
        flags_.minSize.y = number;
        break;
    case epiCode("XszX"):
        flags_.maxSize.x = number;
        break;
    case epiCode("XszY"):
        flags_.maxSize.y = number;
        break;
    case epiCode("Pare"):
        flags_.parentId = static_cast<epiFourCC>(value);
        break;
    default:
        // Attributes no class here handles ('MdiF', 'isUt', 'Shet') are taken
        // and do nothing: the host has no multiple-document windows.
        epiUbo::setAttribute(code, value);
        break;
    }
}

pui::WindowOptions epiWindow::nativeOptions() const
{
    pui::WindowOptions options;
    options.title = getText().str();
    options.className = className_;
    const epiRect& frame = getFrame();
    options.frame = {frame.left, frame.top, frame.getWidth(), frame.getHeight()};
    options.resizableX = flags_.resizeX;
    options.resizableY = flags_.resizeY;
    options.minWidth = flags_.minSize.x;
    options.minHeight = flags_.minSize.y;
    options.maxWidth = flags_.maxSize.x;
    options.maxHeight = flags_.maxSize.y;
    options.minimizeBox = flags_.minimizeBox;
    options.maximizeBox = flags_.resizeX || flags_.resizeY;
    options.closeBox = flags_.closeBox;
    options.decorations = flags_.frame   ? pui::Decorations::Frame
                          : flags_.plain ? pui::Decorations::Plain
                                         : pui::Decorations::Normal;
    options.maximised = flags_.maximised;
    options.acceptsFiles = flags_.acceptsFiles;
    options.modal = flags_.modal;
    const epiMenu* menu = menus();
    options.menuStrip = flags_.menuBar && menu && !menu->menuBar().empty();
    // The class backgrounds: none, the button face, black, or the window
    // colour.
    options.background = flags_.noBackground      ? 0x000000
                         : flags_.greyBackground  ? 0xF0F0F0
                         : flags_.blackBackground ? 0x000000
                                                  : 0xFFFFFF;
    if (!flags_.modal && flags_.parentId != 0) {
        const epiWindowManager* manager = windowManager();
        if (const epiUbo* parent = manager ? manager->findChild(flags_.parentId) : nullptr;
            parent && parent != this && parent->childParentHandle()) {
            options.kind = pui::WindowKind::Child;
            options.parent = parent->childParentHandle();
        }
    }
    return options;
}

namespace {

epiWindow::StripFactory& stripFactory()
{
    static epiWindow::StripFactory factory;
    return factory;
}

} // namespace

epiWindow::StripFactory epiWindow::setStripFactory(StripFactory factory)
{
    std::swap(stripFactory(), factory);
    return factory;
}

void epiWindow::create()
{
    epiWindowManager* manager = windowManager();
    if (manager && getParent() != manager)
        manager->addChild(this);
    ensureDefaultRect();
    if (manager)
        className_ = manager->nextWindowClassName();
    if (flags_.noBackground) {
        setBackground(epiColor(), false);
    } else {
        epiColor colour;
        colour.setPacked(0xFF000000 | nativeOptions().background);
        setBackground(colour, true);
    }
    if (manager && flags_.autoPlace) {
        epiRect next;
        manager->nextWindowRect(next);
        epiRect placed(getFrame());
        placed.moveTo(next.left, next.top);
        setFrameQuietly(placed);
    }
    owner_ = nullptr;
    if (flags_.parentId != 0 && manager) {
        epiUbo* parent = manager->findChild(flags_.parentId);
        if (parent != this)
            owner_ = parent;
    }
    if (flags_.modal && manager) {
        previousWindow_ = manager->getForegroundWindow();
        if (previousWindow_ == this)
            previousWindow_ = nullptr;
        if (!owner_)
            owner_ = previousWindow_;
    }
    pui::WindowSystem* system = windowSystem();
    if (system) {
        adoptNative(system->createWindow(nativeOptions(), *this));
        auto* ownerWindow = dynamic_cast<epiUiEventsBase*>(owner_);
        if (hostWindow() && ownerWindow && ownerWindow->hostWindow() &&
            hostWindow()->options().kind != pui::WindowKind::Child)
            hostWindow()->setOwner(ownerWindow->hostWindow());
        if (hostWindow() && hostWindow()->options().menuStrip && stripFactory())
            setStrip(stripFactory()(*this));
    }
    epiUbo::create();
}

void epiWindow::open()
{
    epiUbo::open();
    onReady();
    if (hostWindow() && isVisible())
        hostWindow()->show(true);
    paintNow();
    if (flags_.modal && hostWindow()) {
        if (epiWindowManager* manager = windowManager())
            manager->enableOtherWindows(this, false);
    }
    onOpened();
}

void epiWindow::close()
{
    if (!hostWindow())
        return;
    onClosing();
    dropNative();
    epiWindowManager* manager = windowManager();
    if (manager)
        manager->removeChild(this);
    epiUbo::close();
    if (flags_.modal && manager) {
        manager->enableOtherWindows(this, true);
        // The previous window may have gone meanwhile: the pointer is only
        // compared until it is found among the open windows.
        const auto& windows = manager->children();
        if (previousWindow_ &&
            std::find(windows.begin(), windows.end(), previousWindow_) != windows.end())
            manager->bringToFront(previousWindow_);
        previousWindow_ = nullptr;
    }
}

void epiWindow::exit()
{
    close();
    epiUiEventsBase::exit();
}

void epiWindow::setWindowEnabled(bool enable)
{
    if (!enable) {
        if (disableCount_++ == 0)
            setEnabled(false);
        return;
    }
    // An enable without a disable before it (a window opened while a modal
    // one ran) leaves the count at 0 rather than below it.
    if (disableCount_ == 0)
        return;
    if (--disableCount_ == 0)
        setEnabled(true);
}

void epiWindow::setRect(const epiRect& rect)
{
    epiUbo::setRect(rect);
    if (!hostWindow())
        return;
    const epiRect& frame = getFrame();
    hostWindow()->setFrame({frame.left, frame.top, frame.getWidth(), frame.getHeight()});
    resizeBuffer();
}

void epiWindow::onTextChanged()
{
    if (hostWindow())
        hostWindow()->setTitle(getText().str());
}

void epiWindow::ensureDefaultRect()
{
    if (getFrame().equalsEdges(0, 0, 0, 0))
        setFrameQuietly(epiRect(50, 50, 250, 150));
}

bool epiWindow::constrainSize(epiRect& proposed, const epiRect& current) const
{
    const epiRect before(proposed);
    int width = proposed.getWidth(), height = proposed.getHeight();
    if (!flags_.resizeX)
        width = current.getWidth();
    if (!flags_.resizeY)
        height = current.getHeight();
    if (flags_.minSize.x > 0)
        width = std::max(width, flags_.minSize.x);
    if (flags_.minSize.y > 0)
        height = std::max(height, flags_.minSize.y);
    if (flags_.maxSize.x > 0)
        width = std::min(width, flags_.maxSize.x);
    if (flags_.maxSize.y > 0)
        height = std::min(height, flags_.maxSize.y);
    proposed.right = proposed.left + width;
    proposed.bottom = proposed.top + height;
    return !proposed.equalsEdges(before.left, before.top, before.right, before.bottom);
}

void epiWindow::place(epiFourCC code, const epiWindow* reference, int dx, int dy)
{
    const epiWindowManager* manager = windowManager();
    epiRect area = manager ? manager->getRect() : epiRect();
    area.insetAll(10);
    const epiRect ref = reference ? reference->getFrame() : area;
    const int width = getFrame().getWidth(), height = getFrame().getHeight();
    int x = 0, y = 0;
    switch (code) {
    case epiCode("aler"):
        x = ref.centreX() - width / 2;
        y = std::max(ref.centreY() * 2 / 5 - height / 2, ref.top);
        break;
    case epiCode("dpLT"):
        x = area.left;
        y = ref.top;
        break;
    case epiCode("dpRT"):
        x = area.right - width;
        y = ref.top;
        break;
    case epiCode("paCe"):
        x = ref.centreX() - width / 2;
        y = ref.centreY() - height / 2;
        break;
    case epiCode("paLT"):
        x = ref.left;
        y = ref.top;
        break;
    case epiCode("paRT"):
        x = ref.right;
        y = ref.top;
        break;
    case epiCode("paRB"):
        x = ref.right;
        y = ref.bottom;
        break;
    case epiCode("paLB"):
        x = ref.left;
        y = ref.bottom;
        break;
    default:
        return;
    }
    x += dx;
    y += dy;
    if (x + width > area.right)
        x = area.right - width;
    if (y + height > area.bottom)
        y = area.bottom - height;
    x = std::max(x, area.left);
    y = std::max(y, area.top);
    // Without a reference the menu bar's height is kept clear twice over.
    if (!reference)
        y += 2 * pui::WindowSystem::kMenuStripHeight;
    moveTo(x, y);
}

void epiWindow::placeRelativeTo(void*, epiFourCC code, int dx, int dy, epiFourCC windowId)
{
    const epiWindowManager* manager = windowManager();
    const auto* reference =
        manager ? dynamic_cast<const epiWindow*>(manager->findChild(windowId)) : nullptr;
    place(code, reference, dx, dy);
}

bool epiWindow::openAs(epiApplication* application, epiFourCC id)
{
    init();
    attach(application);
    setId(id);
    create();
    open();
    return hostWindow() != nullptr;
}

void epiWindow::moved(int x, int y)
{
    epiRect frame(getFrame());
    frame.moveTo(x, y);
    setFrameQuietly(frame);
    onBoundsChanged();
}

void epiWindow::resized(int width, int height)
{
    epiRect proposed(getFrame());
    proposed.setSize(width, height);
    // A size the window manager imposed past the limits is put right.
    if (constrainSize(proposed, getFrame()) && hostWindow())
        hostWindow()->setFrame(
            {proposed.left, proposed.top, proposed.getWidth(), proposed.getHeight()});
    setFrameQuietly(proposed);
    resizeBuffer();
    onBoundsChanged();
    onResized();
}

void epiWindow::closeRequested()
{
    if (canClose())
        close();
}

void epiWindow::focusChanged(bool focused)
{
    if (!focused) {
        epiPopupList::windowDeactivated(*this);
        // The capture ends with the focus: its holder lets go, so that what
        // it held (a drag, an open list) ends too.
        epiUbo* holder = this;
        while (holder->getCapturedChild())
            holder = holder->getCapturedChild();
        if (holder != this)
            holder->releaseCapture();
    }
    if (focused)
        onActivated();
    else
        onDeactivated();
}

void epiWindow::filesDropped(const std::vector<std::string>& paths, int x, int y)
{
    const epiPoint point(x, y);
    for (const std::string& path : paths)
        onFileDroppedAt(epiPath(path.c_str()), point);
}

bool epiWindow::isShiftDown() const
{
    return keyboard() && keyboard()->getShift();
}

bool epiWindow::isControlDown() const
{
    return keyboard() && keyboard()->getControl();
}

bool epiWindow::isAltDown() const
{
    return keyboard() && keyboard()->getAlt();
}

bool epiWindow::isMetaDown() const
{
    return keyboard() && keyboard()->getMeta();
}
