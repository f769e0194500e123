#include "hostfw/widgets/epiUiBitmapWidgets.h"

#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/res/epiResources.h"
#include "hostfw/widgets/epiColourText.h"
#include "hostfw/widgets/epiUiBehaviours.h"

#include <algorithm>

namespace {

constexpr epiFourCC kFaceCodes[epiUiBitmapImage::kFaces] = {
    epiCode("irOf"), epiCode("ipOf"), epiCode("irOn"), epiCode("ipOn"), epiCode("irDi")};

// The icon's rectangle centred on the bounds.
epiRect centredOn(const epiBitmap& icon, const epiRect& bounds)
{
    epiRect rect = icon.getBounds();
    rect.alignTo(bounds, 8);
    return rect;
}

} // namespace

// -------------------------------------------------------------------- image

std::vector<epiFourCC> epiUiBitmapImage::allowedParentKinds() const
{
    // 'uBOP' and 'uBOL': the borders, arrows and items of a bitmap pop-up's
    // open list.
    return {epiCode("iWin"), epiCode("iSco"), epiCode("iBco"), epiCode("iCon"),
            epiCode("iCos"), epiCode("iBde"), epiCode("uBOP"), epiCode("uBOL")};
}

std::vector<epiFourCC> epiUiBitmapImage::savedAttributes() const
{
    return {epiCode("visi"), epiCode("irOf"), epiCode("irOn"),
            epiCode("ipOf"), epiCode("ipOn"), epiCode("irDi")};
}

int epiUiBitmapImage::faceIndex(epiFourCC code)
{
    for (int i = 0; i < kFaces; ++i) {
        if (kFaceCodes[i] == code)
            return i;
    }
    return -1;
}

epiBitmap* epiUiBitmapImage::loadImage(const epiText& name) const
{
    epiResources* service = resources();
    return service ? service->getImage(name) : nullptr;
}

void epiUiBitmapImage::setAttributeText(epiFourCC code, const epiText& text)
{
    const int index = faceIndex(code);
    if (index < 0) {
        epiUbo::setAttributeText(code, text);
        return;
    }
    if (text.getLength() == 0)
        return;
    faces_[static_cast<std::size_t>(index)] = loadImage(text);
    faceNames_[static_cast<std::size_t>(index)] = text;
    if (faces_[static_cast<std::size_t>(index)])
        onFaceChanged(index);
}

void epiUiBitmapImage::setAttribute(epiFourCC code, std::intptr_t value)
{
    if (code == epiCode("autS")) {
        if (const epiBitmap* face = faces_[0])
            resizeTo(face->getWidth(), face->getHeight());
        return;
    }
    epiUbo::setAttribute(code, value);
}

bool epiUiBitmapImage::getAttributeText(epiFourCC code, epiText& text) const
{
    const int index = faceIndex(code);
    if (index < 0)
        return epiUbo::getAttributeText(code, text);
    text = faceNames_[static_cast<std::size_t>(index)];
    return true;
}

void epiUiBitmapImage::setAttributeBitmap(epiFourCC code, epiBitmap* bitmap)
{
    const int index = faceIndex(code);
    if (index < 0)
        return;
    faces_[static_cast<std::size_t>(index)] = bitmap;
    faceNames_[static_cast<std::size_t>(index)] = epiText();
    onFaceChanged(index);
}

epiBitmap* epiUiBitmapImage::getAttributeBitmap(epiFourCC code) const
{
    return getFace(faceIndex(code));
}

epiBitmap* epiUiBitmapImage::getFace(int index) const
{
    return index >= 0 && index < kFaces ? faces_[static_cast<std::size_t>(index)] : nullptr;
}

void epiUiBitmapImage::setEnabled(bool enabled)
{
    enabled_ = enabled;
    epiUbo::setEnabled(enabled);
    redraw();
}

bool epiUiBitmapImage::hasPressedLook() const
{
    return faces_[1] || faces_[3];
}

void* epiUiBitmapImage::notify(epiFourCC code, void* data, void* argument)
{
    if (code == epiCode("Face")) {
        const auto value = reinterpret_cast<std::intptr_t>(data);
        int index = faceIndex(static_cast<epiFourCC>(value));
        if (index < 0 && value >= 0 && value < kFaces)
            index = static_cast<int>(value);
        if (index >= 0 && index != currentFace_) {
            currentFace_ = index;
            redraw();
        }
        return nullptr;
    }
    if (code == epiCode("ArOf")) {
        auto* bitmap = static_cast<epiBitmap*>(argument);
        faces_[0] = bitmap;
        if (bitmap && reinterpret_cast<std::intptr_t>(data) == 1) {
            epiRect rect = bitmap->getBounds();
            rect.alignTo(getFrame(), 8);
            setRect(rect);
        }
        return nullptr;
    }
    return epiUbo::notify(code, data, argument);
}

void epiUiBitmapImage::drawFace(const epiBitmap* face, const epiRect& clip)
{
    if (face)
        drawBitmap(*face, face->getBounds(), getBounds(), clip);
}

void epiUiBitmapImage::draw(const epiRect& clip)
{
    drawFace(faces_[static_cast<std::size_t>(currentFace_)], clip);
}

// --------------------------------------------------------------------- film

std::vector<epiFourCC> epiUiBitmapFilmImage::savedAttributes() const
{
    return {epiCode("visi"), epiCode("irOf"), epiCode("frms")};
}

void epiUiBitmapFilmImage::drawFilm(const epiBitmap* film, const epiRect& clip)
{
    if (!film)
        return;
    // A film of no frames shows its whole image as its one frame.
    const int frames = std::max(frames_, 1);
    const int frameHeight = film->getHeight() / frames;
    if (frameHeight <= 0)
        return;
    const int frame = std::clamp(frame_, 0, frames - 1);
    const epiRect source(0, frame * frameHeight, film->getWidth(),
                         frame * frameHeight + frameHeight);
    drawBitmap(*film, source, getBounds(), clip);
}

void epiUiBitmapFilmImage::draw(const epiRect& clip)
{
    drawFilm(faces_[0], clip);
}

void epiUiBitmapFilmImage::showFrame(int frame)
{
    if (frames_ != 0)
        frame = ((frame % frames_) + frames_) % frames_;
    if (frame != frame_) {
        frame_ = frame;
        redraw();
    }
}

void epiUiBitmapFilmImage::setValue(int value)
{
    showFrame(value);
}

void epiUiBitmapFilmImage::setAttribute(epiFourCC code, std::intptr_t value)
{
    if (code == epiCode("frms")) {
        frames_ = static_cast<int>(value);
        if (epiUiBehaviour* behaviour = getBehaviour()) {
            behaviour->setPixelMin(0);
            behaviour->setPixelMax(frames_ - 1);
        }
    }
    epiUiBitmapImage::setAttribute(code, value);
}

bool epiUiBitmapFilmImage::getAttributeText(epiFourCC code, epiText& text) const
{
    if (code == epiCode("frms")) {
        text.assignLong(frames_);
        return true;
    }
    return epiUiBitmapImage::getAttributeText(code, text);
}

// ------------------------------------------------------------------- rotary

epiUiBehaviour* epiUiBitmapRotary::createBehaviour()
{
    return new epiUiBehaviourSmoothDragger;
}

epiUiBehaviour* epiUiBitmapTriggeredRotary::createBehaviour()
{
    return new epiUiBehaviourTriggeredDragger;
}

void epiUiBitmapRotary::setValue(int value)
{
    if (epiUiBehaviour* behaviour = getBehaviour())
        behaviour->setValue(static_cast<float>(value));
}

int epiUiBitmapRotary::getValue() const
{
    const epiUiBehaviour* behaviour = getBehaviour();
    return behaviour ? behaviour->getValueInt() : 0;
}

void epiUiBitmapRotary::onStateChanged()
{
    if (epiUiBehaviour* behaviour = getBehaviour())
        showFrame(behaviour->getPosition());
}

void epiUiBitmapRotary::draw(const epiRect& clip)
{
    drawFilm(enabled_ ? faces_[0] : disabledFace_, clip);
}

void epiUiBitmapRotary::setEnabled(bool enabled)
{
    enabled_ = enabled;
    redraw();
}

void epiUiBitmapRotary::setAttribute(epiFourCC code, std::intptr_t value)
{
    if (code == epiCode("Sens")) {
        if (value != 0)
            sensitivity_ = static_cast<float>(value) / 100.0f;
        return;
    }
    epiUiBitmapFilmImage::setAttribute(code, value);
}

void epiUiBitmapRotary::setAttributeText(epiFourCC code, const epiText& text)
{
    if (code == epiCode("disb"))
        disabledFace_ = loadImage(text);
    else
        epiUiBitmapFilmImage::setAttributeText(code, text);
}

void epiUiBitmapRotary::onMouseDown(const epiPoint& point)
{
    dragStart_ = point;
    const epiUiBehaviour* behaviour = getBehaviour();
    startValue_ = behaviour ? behaviour->getValue() : 0.0f;
    captureMe();
}

void epiUiBitmapRotary::onMouseDrag(const epiPoint& point)
{
    epiUiBehaviour* behaviour = getBehaviour();
    if (behaviour &&
        behaviour->setValue(startValue_ + static_cast<float>(dragDistance(point)) * sensitivity_))
        reportHit();
}

void epiUiBitmapRotary::onMouseUp(const epiPoint& point)
{
    onMouseDrag(point);
    releaseCapture();
}

void epiUiBitmapRotary::onMouseWheel(const epiPoint&, int notches)
{
    epiUiBehaviour* behaviour = getBehaviour();
    if (behaviour && behaviour->setValue(behaviour->getValue() + static_cast<float>(notches)))
        reportHit();
}

// ------------------------------------------------------------------- scroll

epiUiBehaviour* epiUiBitmapScroll::createBehaviour()
{
    return new epiUiBehaviourSmoothDragger;
}

void epiUiBitmapScroll::layoutThumb()
{
    const epiBitmap* thumb = faces_[0];
    epiUiBehaviour* behaviour = getBehaviour();
    if (!thumb || !behaviour)
        return;
    vertical_ = getWidth() < getHeight();
    behaviour->setPixelMin(0);
    behaviour->setPixelMax(vertical_ ? getHeight() - thumb->getHeight()
                                     : getWidth() - thumb->getWidth());
}

void epiUiBitmapScroll::onBoundsChanged()
{
    layoutThumb();
    epiUiBitmapImage::onBoundsChanged();
}

void epiUiBitmapScroll::onFaceChanged(int index)
{
    if (index == 0)
        layoutThumb();
}

epiRect epiUiBitmapScroll::thumbRect() const
{
    const epiBitmap* thumb = faces_[0];
    if (!thumb)
        return epiRect();
    const epiUiBehaviour* behaviour = getBehaviour();
    const int position = behaviour ? behaviour->getPosition() : 0;
    epiRect rect = thumb->getBounds();
    if (vertical_)
        rect.moveTo(0, getHeight() - thumb->getHeight() - position);
    else
        rect.moveTo(position, 0);
    return rect;
}

void epiUiBitmapScroll::draw(const epiRect& clip)
{
    const epiBitmap* thumb = thumbPressed_ && faces_[1] ? faces_[1] : faces_[0];
    if (thumb)
        drawBitmap(*thumb, thumb->getBounds(), thumbRect(), clip);
}

void epiUiBitmapScroll::setValue(int value)
{
    if (epiUiBehaviour* behaviour = getBehaviour())
        behaviour->setValue(static_cast<float>(value));
}

int epiUiBitmapScroll::getValue() const
{
    const epiUiBehaviour* behaviour = getBehaviour();
    return behaviour ? behaviour->getValueInt() : 0;
}

void epiUiBitmapScroll::setAttribute(epiFourCC code, std::intptr_t value)
{
    if (code == epiCode("Sens")) {
        if (value != 0)
            sensitivity_ = static_cast<float>(value) / 100.0f;
        return;
    }
    epiUiBitmapImage::setAttribute(code, value);
}

int epiUiBitmapScroll::dragDistance(const epiPoint& point) const
{
    return vertical_ ? dragStart_.y - point.y : point.x - dragStart_.x;
}

void epiUiBitmapScroll::onMouseDown(const epiPoint& point)
{
    epiUiBehaviour* behaviour = getBehaviour();
    if (!behaviour || !faces_[0] || !thumbRect().containsPoint(point))
        return;
    dragStart_ = point;
    startPosition_ = static_cast<float>(behaviour->getPosition());
    thumbPressed_ = true;
    onStateChanged();
    captureMe();
}

void epiUiBitmapScroll::onMouseDrag(const epiPoint& point)
{
    epiUiBehaviour* behaviour = getBehaviour();
    if (!thumbPressed_ || !behaviour)
        return;
    const float pixel = startPosition_ + static_cast<float>(dragDistance(point)) * sensitivity_;
    if (behaviour->setFromPixel(static_cast<int>(pixel)))
        reportHit();
}

void epiUiBitmapScroll::onMouseUp(const epiPoint&)
{
    thumbPressed_ = false;
    releaseCapture();
    onStateChanged();
}

void epiUiBitmapScroll::onMouseWheel(const epiPoint&, int notches)
{
    epiUiBehaviour* behaviour = getBehaviour();
    if (behaviour && behaviour->setValue(behaviour->getValue() + static_cast<float>(notches)))
        reportHit();
}

// ------------------------------------------------------------------ buttons

epiUiBehaviour* epiUiBitmapButton::createBehaviour()
{
    return new epiUiBehave_button;
}

epiUiBehaviour* epiUiBitmapCheckBox::createBehaviour()
{
    return new epiUiBehave_checkBox;
}

epiUiBehaviour* epiUiBitmapRadio::createBehaviour()
{
    return new epiUiBehave_radio;
}

std::vector<epiFourCC> epiUiBitmapRadio::savedAttributes() const
{
    return {epiCode("fagr"), epiCode("fain"), epiCode("visi"), epiCode("irOf"),
            epiCode("irOn"), epiCode("ipOf"), epiCode("ipOn")};
}

int epiUiBitmapButton::stateFace() const
{
    const epiUiBehaviour* behaviour = getBehaviour();
    if (!behaviour)
        return 0;
    return (behaviour->isChecked() ? 2 : 0) + (behaviour->isPressed() ? 1 : 0);
}

void epiUiBitmapButton::draw(const epiRect& clip)
{
    if (!enabled_ && faces_[4])
        drawFace(faces_[4], clip);
    else
        drawFace(faces_[static_cast<std::size_t>(stateFace())], clip);
}

bool epiBitmapLabel::setAttributeText(epiFourCC code, const epiText& text)
{
    switch (code) {
    case epiCode("tCof"):
        epiColourFromText(text, offColour);
        return true;
    case epiCode("tCon"):
        epiColourFromText(text, onColour);
        return true;
    case epiCode("tCdi"):
        epiColourFromText(text, disabledColour);
        return true;
    case epiCode("teFo"):
        fontId = epiCodeFromText(text);
        return true;
    case epiCode("teOx"):
        offset.x = static_cast<std::int16_t>(text.toLong());
        return true;
    case epiCode("teOy"):
        offset.y = static_cast<std::int16_t>(text.toLong());
        return true;
    case epiCode("txAl"):
        alignment = static_cast<int>(text.toLong());
        return true;
    default:
        return false;
    }
}

void epiBitmapLabel::draw(epiUbo& owner, const epiRect& clip, const epiColor& colour) const
{
    epiRect rect = owner.getBounds();
    rect.offsetByPoint(offset);
    owner.drawText(fontId, alignment, rect, clip, owner.getTextCStr(), colour);
}

epiColor epiUiBitmapCheckBoxWithText::captionColour() const
{
    if (!enabled_)
        return label_.disabledColour;
    const epiUiBehaviour* behaviour = getBehaviour();
    return behaviour && behaviour->isPressed() ? label_.offColour : label_.onColour;
}

void epiUiBitmapCheckBoxWithText::draw(const epiRect& clip)
{
    epiUiBitmapButton::draw(clip);
    label_.draw(*this, clip, captionColour());
}

void epiUiBitmapCheckBoxWithText::setAttributeText(epiFourCC code, const epiText& text)
{
    if (!label_.setAttributeText(code, text))
        epiUiBitmapCheckBox::setAttributeText(code, text);
}

void epiUiBitmapCheckWithIcon::draw(const epiRect& clip)
{
    epiUiBitmapButton::draw(clip);
    if (!onIcon_ || !offIcon_)
        return;
    const int state = stateFace();
    const epiBitmap* icon = state == 0 || state == 3 ? offIcon_ : onIcon_;
    epiRect rect = centredOn(*icon, getBounds());
    rect.offset(0, -1);
    drawBitmap(*icon, icon->getBounds(), rect, clip);
}

void epiUiBitmapCheckWithIcon::setAttributeText(epiFourCC code, const epiText& text)
{
    if (code == epiCode("IcOn"))
        onIcon_ = loadImage(text);
    else if (code == epiCode("IcOf"))
        offIcon_ = loadImage(text);
    epiUiBitmapCheckBox::setAttributeText(code, text);
}

void epiUiBitmapButtonWithIcon::draw(const epiRect& clip)
{
    epiUiBitmapButton::draw(clip);
    const epiUiBehaviour* behaviour = getBehaviour();
    const epiBitmap* icon = behaviour && behaviour->isPressed() ? onIcon_ : offIcon_;
    if (icon)
        drawBitmap(*icon, icon->getBounds(), centredOn(*icon, getBounds()), clip);
}

void epiUiBitmapButtonWithIcon::setAttributeText(epiFourCC code, const epiText& text)
{
    if (code == epiCode("IcOn"))
        onIcon_ = loadImage(text);
    else if (code == epiCode("IcOf"))
        offIcon_ = loadImage(text);
    epiUiBitmapButton::setAttributeText(code, text);
}

// -------------------------------------------------------------- level meter

std::vector<epiFourCC> epiUiBitmapLevMeter::savedAttributes() const
{
    return {epiCode("visi"), epiCode("irOf"), epiCode("min_"),
            epiCode("max_"), epiCode("lmBx"), epiCode("lmSp")};
}

void epiUiBitmapLevMeter::setValue(int value)
{
    value = std::min(value, maximum_);
    if (value <= current_)
        return;
    if (current_ == minimum_ && !falling_) {
        falling_ = true;
        addTimedTask(kFallSeconds, false, false);
    }
    current_ = value;
    redraw();
}

void epiUiBitmapLevMeter::onTimedTask()
{
    if (current_ > minimum_)
        current_ -= fallStep_;
    if (current_ <= minimum_) {
        current_ = minimum_;
        falling_ = false;
        removeTimedTask();
    }
    redraw();
}

void epiUiBitmapLevMeter::onVisibilityChanged()
{
    if (!isVisible() && falling_) {
        falling_ = false;
        removeTimedTask();
    }
}

void epiUiBitmapLevMeter::setAttribute(epiFourCC code, std::intptr_t value)
{
    const int number = static_cast<int>(value);
    switch (code) {
    case epiCode("min_"):
        minimum_ = number;
        current_ = std::max(current_, minimum_);
        break;
    case epiCode("max_"):
        maximum_ = number;
        break;
    case epiCode("lmSp"):
        fallStep_ = number;
        break;
    case epiCode("lmBx"):
        boxSize_ = number;
        break;
    default:
        epiUiBitmapImage::setAttribute(code, value);
        break;
    }
}

bool epiUiBitmapLevMeter::getAttributeText(epiFourCC code, epiText& text) const
{
    switch (code) {
    case epiCode("min_"):
        text.assignLong(minimum_);
        return true;
    case epiCode("max_"):
        text.assignLong(maximum_);
        return true;
    case epiCode("lmSp"):
        text.assignLong(fallStep_);
        return true;
    case epiCode("lmBx"):
        text.assignLong(boxSize_);
        return true;
    default:
        return epiUiBitmapImage::getAttributeText(code, text);
    }
}

epiRect epiUiBitmapLevMeter::shownRect() const
{
    // No range: nothing to divide by, nothing shown.
    if (maximum_ == minimum_)
        return epiRect();
    const double f = std::clamp((static_cast<double>(current_) - minimum_) /
                                    (static_cast<double>(maximum_) - minimum_),
                                0.0, 1.0);
    const epiRect bounds = getBounds();
    const bool boxes = boxSize_ >= 2;
    if (bounds.getHeight() > bounds.getWidth()) {
        int length = static_cast<int>(bounds.getHeight() * f);
        int top = bounds.bottom - length;
        if (boxes) {
            length = length / boxSize_ * boxSize_;
            top = std::max(bounds.top, bounds.bottom - length - 1);
        }
        return length > 0 || boxes ? epiRect(bounds.left, top, bounds.right, bounds.bottom)
                                   : epiRect();
    }
    int length = static_cast<int>(bounds.getWidth() * f);
    int right = bounds.left + length;
    if (boxes) {
        length = length / boxSize_ * boxSize_;
        right = std::min(bounds.right, bounds.left + length + 1);
    }
    return length > 0 ? epiRect(bounds.left, bounds.top, right, bounds.bottom) : epiRect();
}

void epiUiBitmapLevMeter::draw(const epiRect& clip)
{
    const epiBitmap* face = faces_[0];
    const epiRect shown = shownRect();
    const epiRect bounds = getBounds();
    if (!face || shown.isEmpty() || bounds.getWidth() <= 0 || bounds.getHeight() <= 0)
        return;
    // The same part of the image, scaled when it is not the widget's size.
    const int w = bounds.getWidth(), h = bounds.getHeight();
    const int iw = face->getWidth(), ih = face->getHeight();
    const epiRect source(shown.left * iw / w, shown.top * ih / h, shown.right * iw / w,
                         shown.bottom * ih / h);
    drawBitmap(*face, source, shown, clip);
}
