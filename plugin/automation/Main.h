#pragma once

#include "plugin/automation/UnitConnectable.h"
#include "plugin/docview/AutomationList.h"
#include "plugin/docview/ShortText.h"
#include "plugin/rig/Rig.h"

#include <boost/signals2/connection.hpp>

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Zq::DUZ2 {
class Process;
}

namespace Zq::BorvanRAZ::Automation {

// The host's view of one processor's rig: 107 parameters with fixed indices.
// Host reads are answered at once from a cache of records; host writes update
// the record and are queued, and one worker thread applies them to the
// document in batches under the document lock, so a host's audio thread never
// waits for the document and never allocates.
//
// Two numberings meet here: host indices follow the order the units are
// built in (the chorus is the first stomp model), while the table of stomp
// model units is indexed by the document's model number (1 DLK-OD ... 8 volume
// pedal), and the amp table by the amp model number. Neither indexes the other.
//
// Locks, outermost first: document, automation list, cache. The queue lock is
// never held while another is taken. Every operation by index answers
// neutrally ("", 0) and changes nothing for an index outside the list.
class Main {
public:
    using ShortText = Application::DocView::ShortText;

    // Host writes the queue holds between two batches; it never grows. A
    // write that finds it full replaces the pending write of the same index
    // (the latest value wins, and the order of different indices stays); a
    // write for an index with nothing pending is dropped and counted.
    static constexpr std::size_t kQueueCapacity = 4096;
    // The longest a settle waits for the worker before it goes on.
    static constexpr std::chrono::milliseconds kSettleBound{2000};
    // While writes keep coming, the worker looks for them this often instead
    // of being woken for each (a wake-up is a system call on the writer's
    // thread, the host's audio thread); after this many empty looks it sleeps
    // until a write wakes it.
    static constexpr std::chrono::milliseconds kPollInterval{2};
    static constexpr int kPollsBeforeSleep = 100;

    // Builds the units (and so the host indices), fills the cache and starts
    // the worker. The processor then calls refreshAmpModels once. Reports
    // reach the processor from then on; the processor ignores any that arrive
    // before it holds the manager.
    Main(DUZ2::Process& processor, Document::Rig& document);
    Main(const Main&) = delete;
    Main& operator=(const Main&) = delete;
    // Stops the worker (applying what is queued) first.
    ~Main();

    // Clears the running flag, wakes the worker and waits for it to apply
    // what is queued and end. Idempotent. Owner's thread only, never with the
    // document lock held (the worker needs it for its last batch).
    void stop();

    // Host-facing; any thread.
    std::int32_t getNumParameters() const noexcept { return list_.getCount(); }
    // Valid while the manager lives.
    const std::string& getParameterName(std::int32_t index) const noexcept
    {
        return list_.getName(index);
    }
    // Copies made under the cache lock.
    ShortText getParameterDisplay(std::int32_t index);
    float getParameterValue(std::int32_t index);
    float getParameterNormalized(std::int32_t index);
    // Allocate nothing and never wait for the worker; NaN is ignored.
    void setParameterValue(std::int32_t index, float plain);
    void setParameterNormalized(std::int32_t index, float normalized);
    // Never wait: "N/A" and 0 while the list lock is busy.
    ShortText getParameterTextForNormalized(std::int32_t index, float normalized);
    float convertNormalizedToPlain(std::int32_t index, float normalized);

    // Re-reads the adapter into its record. The processor calls it before it
    // tells the host of a change.
    void refreshRecord(std::int32_t index);
    // Connect the model units to the present model documents. Run on the
    // document's model-change signals (and refreshAmpModels once by the
    // processor); they take the document lock themselves.
    void refreshStompModels();
    void refreshAmpModels();

    Application::DocView::AutomationList& getList() noexcept { return list_; }
    // Host writes waiting for the worker.
    std::size_t getQueuedEvents();
    // Writes dropped because the queue was full and held nothing for their
    // index.
    std::uint64_t getDroppedWrites();
    // False once stop has begun.
    bool isRunning();
    // Blocks until every write queued before the call has been applied;
    // later writes are not waited for. After bound it gives up (saying so on
    // standard error, once per manager) and answers false. Never with the
    // document lock held.
    bool waitUntilApplied(std::chrono::milliseconds bound = kSettleBound);

private:
    enum class Kind : std::uint8_t { plain, normalized };
    struct Event {
        std::int32_t index;
        float value;
        Kind kind;
    };
    struct Record {
        ShortText display;
        float plain = 0.0f;
        float normalized = 0.0f;
    };

    void setValue(std::int32_t index, float value, Kind kind);
    void run();
    bool processQueue();
    void apply(const Event& event);

    platform::CriticalSection* documentLock_;
    Application::DocView::AutomationList list_;
    Document::Rig& document_;

    std::unique_ptr<Application::DocView::UnitAutomation> output_;
    std::unique_ptr<Application::DocView::UnitAutomation> stompModule_;
    std::unique_ptr<Application::DocView::UnitAutomation> ampModule_;
    std::unique_ptr<Application::DocView::UnitAutomation> cabModule_;
    // By the document's stomp model number; entry 0 ("Empty") stays null.
    std::array<std::unique_ptr<UnitConnectable>, Document::StompModule::kModelCount> stompModels_;
    // By the amp model number.
    std::array<std::unique_ptr<UnitConnectable>, Document::AmpModule::kModelCount> ampModels_;

    std::mutex cacheMutex_;
    std::vector<Record> cache_;

    std::mutex queueMutex_;
    std::condition_variable queueCondition_;
    std::condition_variable appliedCondition_;
    // Host writes land in pending_; the worker swaps it with its empty batch_,
    // so both keep their reserved storage.
    std::vector<Event> pending_;
    std::vector<Event> batch_;
    // Writes that entered the queue, and those applied, since construction:
    // a settle waits for the applied count to reach the queued count it found.
    std::uint64_t queued_ = 0;
    std::uint64_t applied_ = 0;
    std::uint64_t dropped_ = 0;
    bool running_ = true;
    // The worker waits for a wake-up (it polls otherwise).
    bool sleeping_ = false;
    // The worker has taken its last batch and applied it.
    bool finished_ = false;
    bool settleReported_ = false;
    std::thread worker_;

    std::vector<boost::signals2::scoped_connection> modelChanges_;
};

} // namespace Zq::BorvanRAZ::Automation
