#include "host/app/vphoHostWindows.h"

#include "host/app/vphoPlayerViewLink.h"
#include "host/player/ejpPlayerView.h"
#include "hostfw/app/epiApplication.h"
#include "hostfw/app/epiKeyboard.h"
#include "hostfw/app/epiWindowApplication.h"
#include "hostfw/app/epiWindowManager.h"
#include "hostfw/controls/epiUiSystemPopup.h"
#include "hostfw/res/epiResources.h"
#include "hostfw/res/epiXmlChunk.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr epiFourCC kStatusBar = epiCode("sttu");
constexpr epiFourCC kLoading = epiCode("lowa");

epiWindowApplication* windowApplication(epiUbo& object)
{
    return dynamic_cast<epiWindowApplication*>(object.getApplication());
}

} // namespace

// ------------------------------------------------------------- status bar

epiUbo* vphoStatusBar::createChildObject(epiFourCC kind, epiFourCC id)
{
    if (id == epiCode("gasc"))
        return new vphoGainInputView;
    return epiUiSystemContainer::createChildObject(kind, id);
}

void vphoStatusBar::draw(const epiRect& clip)
{
    epiUiSystemContainer::draw(clip);
    const epiRect bounds = getBounds();
    drawLine(bounds.left, bounds.top, bounds.right, bounds.top, clip, epiColor(0xFFA0A0A0u));
    drawLine(bounds.left, bounds.top + 1, bounds.right, bounds.top + 1, clip,
             epiColor(0xFFFFFFFFu));
}

vphoGainInput* vphoGainInputView::logic()
{
    if (!logic_) {
        if (vphoHostWindow* window = vphoHostWindow::find(*this)) {
            logic_ = std::make_unique<vphoGainInput>(window->logic());
            logic_->setEnabled(enabled_);
        }
    }
    return logic_.get();
}

void vphoGainInputView::setValue(int value)
{
    if (vphoGainInput* gain = logic())
        gain->setValue(value);
    redraw();
}

void vphoGainInputView::setEnabled(bool enabled)
{
    enabled_ = enabled;
    if (logic_)
        logic_->setEnabled(enabled);
    epiUbo::setEnabled(enabled);
}

void vphoGainInputView::onMouseDown(const epiPoint& point)
{
    epiUbo::onMouseDown(point);
    if (vphoGainInput* gain = logic())
        gain->press(point.y);
}

void vphoGainInputView::onMouseDrag(const epiPoint& point)
{
    vphoGainInput* gain = logic();
    if (!gain)
        return;
    const int before = gain->getValue();
    gain->drag(point.y);
    if (gain->getValue() != before)
        redraw();
}

void vphoGainInputView::draw(const epiRect& clip)
{
    // A sunken well with a bar as high as the gain.
    const epiRect bounds = getBounds();
    fillRect(bounds, epiColor(0xFF303030u));
    frameRect(bounds, epiColor(0xFF808080u));
    const int value = getValue();
    const int inner = std::max(0, bounds.getHeight() - 4);
    const int bar = inner * value / vphoGainInput::kMaxDb;
    if (bar > 0) {
        epiRect level(bounds.left + 2, bounds.bottom - 2 - bar, bounds.right - 2,
                      bounds.bottom - 2);
        fillRect(level, enabled_ ? epiColor(0xFF40C040u) : epiColor(0xFF707070u));
    }
    epiUbo::draw(clip);
}

// ------------------------------------------------------------ plug-in window

vphoHostWindow::vphoHostWindow(bool nativeIds) : nativeIds_(nativeIds)
{
    logic_ = std::make_unique<vphoPluginWindow>(*this);
    ticker_.window = this;
}

vphoHostWindow::~vphoHostWindow()
{
    shutDown();
}

vphoHostWindow* vphoHostWindow::find(epiUbo& anyWindow)
{
    for (epiUbo* object = &anyWindow; object; object = object->getParent()) {
        if (auto* window = dynamic_cast<vphoHostWindow*>(object))
            return window;
    }
    if (epiWindowManager* manager = anyWindow.windowManager())
        return dynamic_cast<vphoHostWindow*>(manager->findWindowByKind(kKind));
    return nullptr;
}

void vphoHostWindow::create()
{
    setAttribute(epiCode("RszX"), 0);
    setAttribute(epiCode("RszY"), 0);
    setAttribute(epiCode("Zoma"), 1);
    setAttribute(epiCode("grBk"), 1);
    setAttribute(epiCode("mBar"), 1);
    setAttribute(epiCode("ReDr"), 1);
    if (logic_->loadInfo().isPlainFrame()) {
        setAttribute(epiCode("Clsa"), 0);
        setAttribute(epiCode("mBar"), 0);
    }
    // The plug-in's loading makes the native window between obtaining the
    // editor and opening it.
    logic_->loadPlugIn();
    if (!getParent())
        epiWindow::create();
}

unsigned long vphoHostWindow::createNativeWindow()
{
    if (!getParent())
        epiWindow::create();
    return nativeIds_ && hostWindow() ? hostWindow()->nativeId() : 0;
}

void vphoHostWindow::onReady()
{
    epiWindow::onReady();
    if (!logic_->loadInfo().hasPlayer() || view_)
        return;
    auto* view = new player::ejpPlayerView;
    view->enableReferenceCount();
    view->setId(epiCode("plvi"));
    if (!addChild(view)) {
        view->release();
        return;
    }
    view->loadLayout("PlayerView.xml");
    view->moveToXY(0, 0);
    view->setVisible(false, false);
    view_ = view;
}

void vphoHostWindow::onOpened()
{
    if (view_) {
        view_->setVisible(true, true);
        link_ = std::make_unique<vphoPlayerViewLink>(*view_);
    }
    logic_->onOpened(link_.get());
    if (auto* application = dynamic_cast<epiApplication*>(getApplication())) {
        ticker_.attach(application);
        application->addTimedTask(&ticker_, vphoPluginWindow::kTickMicros / 1e6, false, true);
    }
    // The editor pumps its own X connection once a turn, in the main loop and
    // in every modal one.
    if (epiWindowManager* manager = windowManager())
        idleHook_ = manager->addTurnHook([this] { logic_->idleEditor(); });
    epiWindow::onOpened();
}

void vphoHostWindow::shutDown()
{
    if (closing_)
        return;
    closing_ = true;
    if (auto* application = dynamic_cast<epiApplication*>(ticker_.getApplication()))
        application->removeTimedTasks(&ticker_);
    if (idleHook_) {
        if (epiWindowManager* manager = windowManager())
            manager->removeTurnHook(idleHook_);
        idleHook_ = 0;
    }
    logic_->onClose();
    link_.reset();
}

void vphoHostWindow::onClosing()
{
    // However the window goes (its close box, Quit, the application's end),
    // the plug-in's state is saved and everything released while the window
    // is still in the tree.
    shutDown();
    epiWindow::onClosing();
}

void* vphoHostWindow::notify(epiFourCC code, void* data, void* argument)
{
    if (code == epiCode("plte")) {
        logic_->onPlayerTempo(static_cast<const float*>(data));
        return nullptr;
    }
    return epiWindow::notify(code, data, argument);
}

void vphoHostWindow::closeRequested()
{
    shutDown();
    epiWindow::closeRequested();
}

bool vphoHostWindow::onCommand(epiFourCC id)
{
    if (id == epiCode("quit")) {
        shutDown();
        return true;
    }
    if (logic_->onCommand(id))
        return true;
    return epiWindow::onCommand(id);
}

epiUbo* vphoHostWindow::createChildObject(epiFourCC kind, epiFourCC id)
{
    if (id == kStatusBar)
        return new vphoStatusBar;
    return epiWindow::createChildObject(kind, id);
}

void vphoHostWindow::onFileDropped(const epiPath& path)
{
    logic_->onFileDropped(path.toNative(getApplication()).c_str());
}

void vphoHostWindow::onKeyDown(int code)
{
    if (code >= epiKeyboard::kLeft && code <= epiKeyboard::kLeft + 3)
        logic_->onArrowKey(code);
    else if (code >= 32 && code < 127)
        logic_->onCharacter(code);
    else
        epiWindow::onKeyDown(code);
}

void vphoHostWindow::onKeyUp(int code)
{
    if (code >= 32 && code < 127)
        logic_->onKeyRelease(code);
    else
        epiWindow::onKeyUp(code);
}

void vphoHostWindow::setTitle(const std::string& title)
{
    setTextCStr(title.c_str());
}

void vphoHostWindow::setClientSize(int width, int height)
{
    epiRect frame(getFrame());
    frame.setSize(width, height);
    setRect(frame);
}

int vphoHostWindow::playerViewHeight()
{
    epiResources* pack = resources();
    epiText document;
    if (!pack || !pack->loadText("PlayerView.xml", epiCode("laya"), document))
        return 0;
    epiXmlChunk root;
    root.setText(document);
    const std::string size =
        root.getChild("epi").getChild("content").getChild("size").getText().getCStr();
    int width = 0, height = 0;
    if (std::sscanf(size.c_str(), "%d,%d", &width, &height) != 2 || height < 0)
        return 0;
    return height;
}

void vphoHostWindow::hideLoadingWindow()
{
    epiWindowManager* manager = windowManager();
    if (!manager)
        return;
    if (epiUbo* loading = manager->findWindowByKind(kLoading))
        loading->exit();
}

void vphoHostWindow::openWindow(epiFourCC, const std::string& layout)
{
    // The layout names the window's kind; a modal one returns once closed.
    epiWindowApplication* application = windowApplication(*this);
    if (!application)
        return;
    if (epiUbo* window = application->openWindowFromLayout(layout.c_str())) {
        if (dynamic_cast<epiModalWindow*>(window))
            window->exit();
    }
}

void vphoHostWindow::quit()
{
    if (epiWindowManager* manager = windowManager())
        manager->quit();
}

int vphoHostWindow::statusBarHeight()
{
    return statusBar()->getFrame().getHeight();
}

void vphoHostWindow::placeStatusBar(int x, int y)
{
    statusBar()->moveToXY(x, y);
}

void vphoHostWindow::showStatusBar(bool visible)
{
    statusBar()->setVisible(visible, true);
}

void vphoHostWindow::setStatusText(epiFourCC id, const std::string& text)
{
    statusBar()->setChildText(id, text.c_str());
}

void vphoHostWindow::setStatusValue(epiFourCC id, int value)
{
    statusBar()->setChildValue(id, value);
}

void vphoHostWindow::setStatusVisible(epiFourCC id, bool visible)
{
    statusBar()->setChildVisible(id, visible);
}

// ------------------------------------------------------------ small windows

void vphoLoadingWindow::create()
{
    setAttribute(epiCode("RszX"), 0);
    setAttribute(epiCode("RszY"), 0);
    setAttribute(epiCode("Zoma"), 0);
    setAttribute(epiCode("grBk"), 1);
    setAttribute(epiCode("Clsa"), 0);
    setAttribute(epiCode("aupo"), 0);
    setAttribute(epiCode("Plai"), 1);
    epiWindow::create();
    place(epiCode("paCe"), nullptr, 0, 0);
}

void vphoSetModalAttributes(epiWindow& window)
{
    window.setAttribute(epiCode("isUt"), 1);
    window.setAttribute(epiCode("RszX"), 0);
    window.setAttribute(epiCode("grBk"), 1);
    window.setAttribute(epiCode("RszY"), 0);
    window.setAttribute(epiCode("Zoma"), 0);
    window.setAttribute(epiCode("Clsa"), 0);
    window.setAttribute(epiCode("Shet"), 1);
    window.setAttribute(epiCode("Modl"), 1);
    window.setAttribute(epiCode("Pare"), vphoHostWindow::kKind);
}

void ejpMessage::create()
{
    vphoSetModalAttributes(*this);
    epiModalWindow::create();
    place(epiCode("paCe"), vphoHostWindow::find(*this), 0, 0);
}

bool ejpMessage::onCommand(epiFourCC id)
{
    if (id == epiCode("Okay")) {
        close();
        return true;
    }
    return epiModalWindow::onCommand(id);
}

void vphoBpmSetupWindow::create()
{
    vphoSetModalAttributes(*this);
    epiModalWindow::create();
    place(epiCode("paCe"), vphoHostWindow::find(*this), 0, 0);
}

void vphoBpmSetupWindow::onReady()
{
    epiModalWindow::onReady();
    vphoHostWindow* host = vphoHostWindow::find(*this);
    if (!host)
        return;
    logic_ = std::make_unique<vphoBpmSetup>(host->logic());
    logic_->open();
    getChild(epiCode("eBpm"))
        ->setAttributeText(epiCode("filC"), epiText(vphoBpmSetup::kCharacterFilter));
    setChildText(epiCode("eBpm"), logic_->field.c_str());
    setChildValue(epiCode("ausa"), logic_->autoSession ? 1 : 0);
}

bool vphoBpmSetupWindow::onCommand(epiFourCC id)
{
    if (!logic_)
        return epiModalWindow::onCommand(id);
    if (id == epiCode("Okay")) {
        logic_->field = getChildTextCStr(epiCode("eBpm"));
        logic_->autoSession = getChildValue(epiCode("ausa")) != 0;
        logic_->okay();
        close();
        return true;
    }
    if (id == epiCode("Tapp")) {
        logic_->tap();
        setChildText(epiCode("eBpm"), logic_->field.c_str());
        return true;
    }
    if (id == epiCode("Canc")) {
        logic_->cancel();
        close();
        return true;
    }
    return epiModalWindow::onCommand(id);
}

// ---------------------------------------------------------- audio set-up

namespace {

constexpr epiFourCC kInputTable = epiCode("InTa");
constexpr epiFourCC kOutputTable = epiCode("OuTa");

void showList(epiUbo& owner, epiFourCC id, const vphoAudioSetup::List& list)
{
    auto* popup = dynamic_cast<epiUiSystemPopup*>(owner.findChild(id));
    if (!popup)
        return;
    std::string content;
    for (const std::string& item : list.items) {
        if (!content.empty())
            content += '\n';
        content += item;
    }
    popup->setAttributeText(epiCode("cont"), epiText(content));
    popup->setValue(list.selected);
    popup->setEnabled(list.enabled);
}

} // namespace

epiUbo* vphoAudioSetupWindowTable::createChildObject(epiFourCC kind, epiFourCC id)
{
    if (id == epiCode("Chan"))
        return new vphoAudioSetupWindowChannel;
    return epiUiSystemContainer::createChildObject(kind, id);
}

bool vphoAudioSetupWindowChannel::onCommand(epiFourCC id)
{
    epiUbo* table = getParent();
    for (epiUbo* object = table; object; object = object->getParent()) {
        if (auto* window = dynamic_cast<vphoAudioMidiSetup*>(object)) {
            window->rowChanged(table->getId() == kInputTable, getIndex(), id);
            return true;
        }
    }
    return epiUiSystemContainer::onCommand(id);
}

void vphoAudioMidiSetup::create()
{
    vphoSetModalAttributes(*this);
    epiModalWindow::create();
    place(epiCode("paCe"), vphoHostWindow::find(*this), 0, 0);
}

epiUbo* vphoAudioMidiSetup::createChildObject(epiFourCC kind, epiFourCC id)
{
    if (id == kInputTable || id == kOutputTable)
        return new vphoAudioSetupWindowTable;
    return epiModalWindow::createChildObject(kind, id);
}

epiUbo* vphoAudioMidiSetup::row(bool input, int index) const
{
    epiUbo* table = findChild(input ? kInputTable : kOutputTable);
    if (!table || index < 0 || index >= table->childCount())
        return nullptr;
    return table->childAt(index);
}

void vphoAudioMidiSetup::onReady()
{
    epiModalWindow::onReady();
    vphoHostWindow* host = vphoHostWindow::find(*this);
    if (!host)
        return;
    // The gain control counts whole decibels.
    setChildAttribute(epiCode("gasc"), epiCode("min_"), 0);
    setChildAttribute(epiCode("gasc"), epiCode("max_"), vphoGainInput::kMaxDb);
    if (epiUbo* first = row(true, 0))
        first->setChildText(epiCode("Name"), "Input channel");
    if (epiUbo* left = row(false, 0))
        left->setChildText(epiCode("Name"), "Left output channel");
    if (epiUbo* right = row(false, 1))
        right->setChildText(epiCode("Name"), "Right output channel");
    logic_ = std::make_unique<vphoAudioSetup>(host->logic());
    logic_->open();
    show();
}

void vphoAudioMidiSetup::show()
{
    showList(*this, epiCode("Tech"), logic_->technology);
    showList(*this, epiCode("Inps"), logic_->inputDevice);
    showList(*this, epiCode("Outs"), logic_->outputDevice);
    showList(*this, epiCode("SaRa"), logic_->sampleRate);
    showList(*this, epiCode("BufS"), logic_->bufferSize);
    showList(*this, epiCode("MdIN"), logic_->midiInput);
    for (int input = 0; input < 2; ++input) {
        const vphoAudioSetup::Row* rows = input ? logic_->inputRows : logic_->outputRows;
        for (int i = 0; i < vphoAudioSetup::kRows; ++i) {
            epiUbo* container = row(input != 0, i);
            if (!container)
                break;
            const vphoAudioSetup::Row& state = rows[i];
            showList(*container, epiCode("List"), state.list);
            container->getChild(epiCode("List"))->setEnabled(state.enabled);
            container->setChildValue(epiCode("Enab"), state.enab ? 1 : 0);
            container->getChild(epiCode("Enab"))->setEnabled(state.enabled);
        }
    }
    getChild(epiCode("CusP"))->setEnabled(logic_->controlPanelEnabled);
    getChild(epiCode("Okay"))->setEnabled(logic_->okayEnabled);
    setChildValue(epiCode("gasc"), logic_->gainDb);
    setChildText(epiCode("gadi"), logic_->gainText.c_str());
}

void vphoAudioMidiSetup::onActivated()
{
    epiModalWindow::onActivated();
    if (!logic_)
        return;
    logic_->onActivated();
    show();
}

void vphoAudioMidiSetup::rowChanged(bool input, int index, epiFourCC control)
{
    if (!logic_ || index < 0 || index >= vphoAudioSetup::kRows)
        return;
    epiUbo* container = row(input, index);
    if (!container)
        return;
    if (control == epiCode("List")) {
        logic_->chooseChannel(input, index, container->getChildValue(epiCode("List")));
    } else if (control == epiCode("Enab")) {
        (input ? logic_->inputRows : logic_->outputRows)[index].enab =
            container->getChildValue(epiCode("Enab")) != 0;
        logic_->okayEnabled = true;
    }
    show();
}

bool vphoAudioMidiSetup::onCommand(epiFourCC id)
{
    if (!logic_)
        return epiModalWindow::onCommand(id);
    const int value = getChildValue(id);
    switch (id) {
    case epiCode("Tech"):
        logic_->chooseTechnology(value);
        break;
    case epiCode("Inps"):
        logic_->chooseInputDevice(value);
        break;
    case epiCode("Outs"):
        logic_->chooseOutputDevice(value);
        break;
    case epiCode("SaRa"):
        logic_->chooseSampleRate(value);
        break;
    case epiCode("BufS"):
        logic_->chooseBufferSize(value);
        break;
    case epiCode("gasc"):
        logic_->changeGain(value);
        break;
    case epiCode("CusP"):
        logic_->openControlPanel();
        return true;
    case epiCode("Okay"):
        logic_->apply();
        close();
        return true;
    case epiCode("Canc"):
        logic_->cancel();
        close();
        return true;
    case kInputTable:
    case kOutputTable:
        // A row's choice, handled by the row.
        return true;
    case epiCode("MdIN"):
        logic_->midiInput.selected = value;
        logic_->okayEnabled = true;
        break;
    default:
        if (findChild(id) == nullptr)
            return epiModalWindow::onCommand(id);
        logic_->okayEnabled = true;
        break;
    }
    show();
    return true;
}
