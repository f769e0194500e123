#include "plugin/automation/Main.h"

#include "plugin/automation/AmpUnits.h"
#include "plugin/automation/FixedUnits.h"
#include "plugin/automation/StompUnits.h"
#include "plugin/docview/EnumIndex.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <type_traits>

namespace Zq::BorvanRAZ::Automation {

namespace {

// The document's stomp model numbers (the slot selector's values).
enum StompModel {
    kOverdrive = 1,
    kOctaver = 2,
    kChorus = 3,
    kDelay = 4,
    kWah = 5,
    kCompressor = 6,
    kEnvelopeFilter = 7,
    kVolume = 8,
};

} // namespace

Main::Main(DUZ2::Process& processor, Document::Rig& document)
    : documentLock_(document.getLock()), list_(&processor), document_(document)
{
    pending_.reserve(kQueueCapacity);
    batch_.reserve(kQueueCapacity);

    // The host indices follow this order, whatever the model numbers say.
    output_ = std::make_unique<Output>(list_, document.getOutput());
    stompModule_ = std::make_unique<StompModule>(list_, document.getStompModule());
    stompModels_[kChorus] = std::make_unique<StompRI1>(list_, "Analog Chorus ");
    stompModels_[kOverdrive] = std::make_unique<StompOverdrive>(list_, "Borvan DLK-OD ");
    stompModels_[kOctaver] = std::make_unique<StompOctaver>(list_, "Borvan DLK-OCT ");
    stompModels_[kDelay] = std::make_unique<StompMemoryMan>(list_, "Analog Delay ");
    stompModels_[kWah] = std::make_unique<StompWah>(list_, "Bass Wah ");
    stompModels_[kCompressor] = std::make_unique<StompDynaComp>(list_, "Compressor ");
    stompModels_[kEnvelopeFilter] =
        std::make_unique<StompEnvelopeFilter>(list_, "Envelope Filter ");
    stompModels_[kVolume] = std::make_unique<StompVolume>(list_, "Volume Pedal ");
    ampModule_ = std::make_unique<AmpModule>(list_, document.getAmpModule());
    Document::forEachAmpHead([this](int number, const auto& head) {
        using Head = typename std::remove_cvref_t<decltype(head)>::Document;
        ampModels_[static_cast<std::size_t>(number)] =
            std::make_unique<AmpModel<Head>>(list_, head.automationPrefix);
    });
    cabModule_ = std::make_unique<CabModule>(list_, document.getCabModule());

    {
        // Filled before any model-change signal can report into it.
        platform::ScopedEnter documentGuard(*documentLock_);
        platform::ScopedEnter listGuard(list_.getLock());
        std::lock_guard cacheGuard(cacheMutex_);
        cache_.resize(static_cast<std::size_t>(list_.getCount()));
        for (int i = 0; i < list_.getCount(); ++i)
            cache_[static_cast<std::size_t>(i)] = {list_.getDisplayText(i), list_.getValue(i),
                                                   list_.getNormalized(i)};
    }

    for (Parameter& slot : document.getStompModule().stomps)
        modelChanges_.emplace_back(
            slot.changed.connect([this](Parameter*) { refreshStompModels(); }));
    modelChanges_.emplace_back(document.getAmpModule().ampModel.changed.connect(
        [this](Parameter*) { refreshAmpModels(); }));

    worker_ = std::thread([this] { run(); });
}

Main::~Main()
{
    stop();
    modelChanges_.clear();
}

void Main::stop()
{
    {
        std::lock_guard guard(queueMutex_);
        running_ = false;
    }
    queueCondition_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

Main::ShortText Main::getParameterDisplay(std::int32_t index)
{
    std::lock_guard guard(cacheMutex_);
    return list_.contains(index) && static_cast<std::size_t>(index) < cache_.size()
               ? cache_[index].display
               : ShortText();
}

float Main::getParameterValue(std::int32_t index)
{
    std::lock_guard guard(cacheMutex_);
    return list_.contains(index) && static_cast<std::size_t>(index) < cache_.size()
               ? cache_[index].plain
               : 0.0f;
}

float Main::getParameterNormalized(std::int32_t index)
{
    std::lock_guard guard(cacheMutex_);
    return list_.contains(index) && static_cast<std::size_t>(index) < cache_.size()
               ? cache_[index].normalized
               : 0.0f;
}

void Main::setParameterValue(std::int32_t index, float plain)
{
    setValue(index, plain, Kind::plain);
}

void Main::setParameterNormalized(std::int32_t index, float normalized)
{
    setValue(index, normalized, Kind::normalized);
}

void Main::setValue(std::int32_t index, float value, Kind kind)
{
    if (!list_.contains(index) || std::isnan(value))
        return;
    {
        std::lock_guard guard(cacheMutex_);
        if (static_cast<std::size_t>(index) >= cache_.size())
            return;
        const float cached = kind == Kind::plain ? cache_[index].plain : cache_[index].normalized;
        if (cached == value)
            return;
    }
    bool wake = false;
    {
        std::lock_guard guard(queueMutex_);
        if (!running_)
            return;
        wake = sleeping_;
        if (pending_.size() < kQueueCapacity) {
            pending_.push_back({index, value, kind});
            ++queued_;
        } else {
            // Full: the pending write of this index takes the new value where
            // it stands; without one, the write is lost.
            auto same = std::find_if(pending_.rbegin(), pending_.rend(),
                                     [index](const Event& event) { return event.index == index; });
            if (same == pending_.rend()) {
                ++dropped_;
                return;
            }
            same->value = value;
            same->kind = kind;
        }
    }
    {
        // A dropped write leaves the record as it was: it never reaches the
        // document.
        std::lock_guard guard(cacheMutex_);
        (kind == Kind::plain ? cache_[index].plain : cache_[index].normalized) = value;
    }
    // A polling worker finds the write by itself: waking it would cost the
    // host's audio thread a system call for every write.
    if (wake)
        queueCondition_.notify_one();
}

Main::ShortText Main::getParameterTextForNormalized(std::int32_t index, float normalized)
{
    return list_.getTextForNormalized(index, normalized);
}

float Main::convertNormalizedToPlain(std::int32_t index, float normalized)
{
    return list_.convertNormalizedToPlain(index, normalized);
}

void Main::refreshRecord(std::int32_t index)
{
    if (!list_.contains(index))
        return;
    // Read under the list lock, stored under the cache lock inside it: the
    // same order as a report, which runs under the list lock.
    platform::ScopedEnter listGuard(list_.getLock());
    const ShortText display = list_.getDisplayText(index);
    const float plain = list_.getValue(index);
    const float normalized = list_.getNormalized(index);
    std::lock_guard cacheGuard(cacheMutex_);
    if (static_cast<std::size_t>(index) < cache_.size())
        cache_[index] = {display, plain, normalized};
}

void Main::refreshStompModels()
{
    platform::ScopedEnter guard(*documentLock_);
    Document::StompModule& stomp = document_.getStompModule();
    for (int model = 1; model < Document::StompModule::kModelCount; ++model) {
        UnitConnectable* unit = stompModels_[model].get();
        if (!unit)
            continue;
        int slot = 0;
        while (slot < Document::StompModule::kSlotCount &&
               Application::DocView::enumIndex(stomp.stomps[slot].getValue(),
                                               Document::StompModule::kModelCount) != model)
            ++slot;
        const bool connected = unit->isConnected();
        if (slot == Document::StompModule::kSlotCount) {
            if (connected)
                unit->connect(nullptr);
            continue;
        }
        // The lowest slot holding the model is the one the host controls.
        if (connected)
            unit->connect(nullptr);
        unit->connect(stomp.getStomp(slot));
    }
}

void Main::refreshAmpModels()
{
    platform::ScopedEnter guard(*documentLock_);
    Document::AmpModule& amp = document_.getAmpModule();
    const std::optional<int> current =
        Application::DocView::enumIndex(amp.ampModel.getValue(), Document::AmpModule::kModelCount);
    for (int model = 0; model < Document::AmpModule::kModelCount; ++model) {
        UnitConnectable* unit = ampModels_[model].get();
        if (!unit)
            continue;
        const bool connected = unit->isConnected();
        if (connected)
            unit->connect(nullptr);
        if (model == current)
            unit->connect(amp.getAmpModel());
    }
}

std::size_t Main::getQueuedEvents()
{
    std::lock_guard guard(queueMutex_);
    return pending_.size();
}

std::uint64_t Main::getDroppedWrites()
{
    std::lock_guard guard(queueMutex_);
    return dropped_;
}

bool Main::isRunning()
{
    std::lock_guard guard(queueMutex_);
    return running_;
}

bool Main::waitUntilApplied(std::chrono::milliseconds bound)
{
    std::unique_lock guard(queueMutex_);
    const std::uint64_t target = queued_;
    // A stopped worker has applied everything it took (it refuses new writes).
    if (appliedCondition_.wait_for(guard, bound, [&] { return applied_ >= target || finished_; }))
        return true;
    if (!settleReported_) {
        settleReported_ = true;
        std::fprintf(stderr,
                     "BorvanQom: host parameter changes still waiting after %lld ms; going on "
                     "without them\n",
                     static_cast<long long>(bound.count()));
    }
    return false;
}

void Main::run()
{
    while (processQueue()) {
    }
}

bool Main::processQueue()
{
    std::unique_lock queueGuard(queueMutex_);
    const auto work = [this] { return !pending_.empty() || !running_; };
    // Writes come in without waking the worker while it polls; once nothing
    // has come for a while it sleeps until a write (or a settle, or stop)
    // wakes it.
    for (int idle = 0; !work(); ++idle) {
        if (idle < kPollsBeforeSleep) {
            queueCondition_.wait_for(queueGuard, kPollInterval, work);
        } else {
            sleeping_ = true;
            queueCondition_.wait(queueGuard, work);
            sleeping_ = false;
        }
    }
    batch_.swap(pending_);
    const bool running = running_;
    queueGuard.unlock();

    if (!batch_.empty()) {
        platform::ScopedEnter documentGuard(*documentLock_);
        for (const Event& event : batch_)
            apply(event);
    }
    const std::size_t count = batch_.size();
    batch_.clear();

    queueGuard.lock();
    applied_ += count;
    finished_ = !running;
    queueGuard.unlock();
    appliedCondition_.notify_all();
    return running;
}

void Main::apply(const Event& event)
{
    // A slot that throws (out of memory in some view) loses this one change,
    // not the worker.
    try {
        if (event.kind == Kind::normalized)
            list_.setFromHostNormalized(event.index, event.value);
        else
            list_.setFromHostValue(event.index, event.value);
    } catch (...) {
    }
    refreshRecord(event.index);
}

} // namespace Zq::BorvanRAZ::Automation
