#include "engine/host/ParameterChanges.h"

#include "engine/core/Parameter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace AudioEngine::ModuleHostDetails {

void ParameterChanges::Change::assign(std::string_view text, float v) noexcept
{
    std::memcpy(name.data(), text.data(), text.size());
    name[text.size()] = '\0';
    length = static_cast<std::uint8_t>(text.size());
    value = v;
}

ParameterChanges::ParameterChanges(Module* target, float slewSeconds)
    : target_(target), slewSeconds_(slewSeconds), ring_(kRingCapacity), batch_(1)
{
    batch_[0].assign(kFillName, 0.0f);
}

ParameterChanges::Push ParameterChanges::push(std::string_view name, float value)
{
    if (name.size() > kMaxNameLength)
        return Push::NameTooLong;
    if (std::isnan(value))
        return Push::NotANumber;
    if (batchActive_) {
        if (batchCount_ == batch_.size())
            growBatch();
        batch_[batchCount_++].assign(name, value);
        return Push::Batched;
    }
    ring_[(head_ + count_) % kRingCapacity].assign(name, value);
    if (count_ < kRingCapacity)
        ++count_;
    else
        head_ = (head_ + 1) % kRingCapacity; // the oldest change was overwritten
    return Push::Queued;
}

void ParameterChanges::growBatch()
{
    const auto capacity = static_cast<std::uint32_t>(batch_.size());
    setBatchCapacity(
        std::max<std::uint32_t>(static_cast<std::uint32_t>(capacity * 1.4), capacity + 1));
    batchGrown_ = true;
}

void ParameterChanges::setBatchCapacity(std::uint32_t capacity)
{
    capacity = std::max({capacity, batchCount_, 1u});
    const std::size_t old = batch_.size();
    batch_.resize(capacity);
    for (std::size_t i = old; i < batch_.size(); ++i)
        batch_[i].assign(kFillName, 0.0f);
}

void ParameterChanges::removeFront() noexcept
{
    head_ = (head_ + 1) % kRingCapacity;
    --count_;
}

void ParameterChanges::drain(std::uint32_t passes, float seconds)
{
    if (batchActive_)
        return;
    for (std::uint32_t pass = 0; pass < passes && count_ > 0; ++pass) {
        // A slewed change that is still on its way holds the front. Alone it
        // waits for the next piece; with others behind it, it is taken again at
        // once, so it arrives in this drain and the others follow.
        if (applyNext(seconds) == Outcome::Pending && count_ == 1)
            break;
    }
}

ParameterChanges::Outcome ParameterChanges::applyNext(float seconds)
{
    const Change& change = ring_[head_];
    const std::string_view name = change.view();
    ParameterBase* parameter = target_->findParameter(name);
    if (!parameter) {
        ++unknown_;
        removeFront();
        return Outcome::Done;
    }
    const std::uint32_t flags = parameter->getFlags();
    if (flags & Parameter::kReadOnly) {
        removeFront();
        return Outcome::Done;
    }
    // The target is limited to the range before any rule reads it: a target
    // out of reach would otherwise stay at the front for good and block every
    // change behind it. In-range targets are unaffected.
    const float wanted =
        Parameter::clamp(change.value, parameter->getMinimum(), parameter->getMaximum());
    if (flags & Parameter::kSetAtOnce) {
        target_->setParameter(name, wanted);
        removeFront();
        return Outcome::Done;
    }
    if (!parameter->getStates().empty()) {
        if (std::trunc(parameter->getValue()) != std::trunc(wanted))
            target_->setParameter(name, wanted);
        removeFront();
        return Outcome::Done;
    }
    if (flags & Parameter::kSetAtOnceAfterStates) {
        target_->setParameter(name, wanted);
        removeFront();
        return Outcome::Done;
    }

    const float current = parameter->getValue();
    const float step = (parameter->getMaximum() - parameter->getMinimum()) * seconds / slewSeconds_;
    const float difference = wanted - current;
    if (!(step < std::fabs(difference))) {
        target_->setParameter(name, wanted);
        removeFront();
        return Outcome::Done;
    }
    const float next = difference > 0.0f ? current + step : current - step;
    target_->setParameter(name, next);
    // Setting may relink the target's parameters: look the name up again.
    ParameterBase* after = target_->findParameter(name);
    if (!after || after->getValue() == current) {
        // The step was lost (a parameter that ignores it, or one below float
        // resolution): set the target at once rather than hold the queue.
        if (after)
            target_->setParameter(name, wanted);
        removeFront();
        return Outcome::Done;
    }
    return Outcome::Pending;
}

bool ParameterChanges::beginBatch()
{
    if (batchActive_)
        return false;
    head_ = 0;
    count_ = 0; // pending single changes give way to the batch
    batchActive_ = true;
    batchGrown_ = false;
    batchCount_ = 0;
    batchPosition_ = 0;
    return true;
}

bool ParameterChanges::applyBatch(std::uint32_t n)
{
    const std::uint32_t end = batchPosition_ + std::min(n, batchCount_ - batchPosition_);
    for (; batchPosition_ < end; ++batchPosition_) {
        const Change& change = batch_[batchPosition_];
        if (target_->findParameter(change.view()))
            target_->setParameter(change.view(), change.value);
        else
            ++unknown_;
    }
    if (batchPosition_ < batchCount_)
        return false;
    if (resetAfterBatch_)
        target_->reset();
    batchPosition_ = 0;
    batchActive_ = false;
    return true;
}

bool ParameterChanges::resetBatch()
{
    batchActive_ = false;
    batchCount_ = 0;
    batchPosition_ = 0;
    return batchGrown_;
}

} // namespace AudioEngine::ModuleHostDetails
