#pragma once

#include "hostfw/core/epiApplicationObject.h"
#include "hostfw/core/epiObjectsList.h"
#include "hostfw/core/epiPath.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class EventPump;
}

class epiWindowManager;
class epiResources;
class epiKeyboard;
class epiMenu;
class epiClipboard;

// The queue of posted notifications: one entry is delivered per firing of its
// repeating 0.1 s task, oldest first, and the task ends when the queue is
// empty.
class epiAppCommandsList : public epiApplicationObject {
public:
    struct Entry {
        epiApplicationObject* target = nullptr;
        epiFourCC code = 0;
        void* data = nullptr;
        void* argument = nullptr;
    };

    void append(const Entry& entry);
    // Drops the entries of an object that goes away.
    void forget(const epiApplicationObject* target);
    void onTimedTask() override;
    std::size_t getCount() const { return entries_.size(); }

private:
    std::deque<Entry> entries_;
    bool running_ = false;
};

// The program's single application object: it fixes the application path,
// starts the framework services in order, owns the timed tasks and the posted
// notifications, and stops the services in order.
class epiApplication : public epiApplicationObject {
public:
    // The clock the timed tasks run on, in seconds; tests inject their own.
    using Clock = std::function<double()>;

    epiApplication();
    ~epiApplication() override;

    // ('Appl', 'Rsrc') is the resource service; anything else a plain object.
    epiObject* createObject(epiFourCC group, epiFourCC kind, void* argument) override;
    bool init() override;
    void exit() override;

    // Makes this the program's application, sets the application path,
    // starts the services and runs; -1 when a service does not start. A
    // second application while another one lives ends the process (code 1).
    virtual int main(int argc, char** argv);
    virtual int run(int argc, char** argv);
    // The application's own handling of a routed command; true when handled.
    virtual bool onCommand(epiFourCC) { return false; }

    // The platform entry: the arguments "." followed by argv[1] ... (each
    // one whole, never split again), handed to main.
    int entry(int argc, char** argv);
    static std::vector<std::string> buildArguments(int argc, const char* const* argv);

    double getClockSeconds() const { return clock_(); }
    void setClock(Clock clock);
    // Busy-waits until the clock has passed now + seconds.
    void waitSeconds(double seconds);

    // The factory with no argument.
    epiObject* createService(epiFourCC group, epiFourCC kind)
    {
        return createObject(group, kind, nullptr);
    }
    virtual epiObject* createWindowManager()
    {
        return createService(epiCode("Appl"), epiCode("Wind"));
    }

    // A path beginning with "/" is taken whole; one beginning with "." is
    // the current folder followed by the rest; anything else (and null)
    // gives the folder of the program's own file. Always ends in "/".
    void setApplicationPath(const char* path);
    const epiPath& applicationPath() const { return applicationPath_; }
    bool getApplicationPath(epiText& folder) const override;

    // Timed tasks (run by the message loop through runTimedTasks).
    bool addTimedTask(epiApplicationObject* target, double delaySeconds, bool once, bool fixedRate);
    using epiApplicationObject::addTimedTask;
    void removeTimedTasks(epiApplicationObject* target);
    bool hasTimedTasks(const epiApplicationObject* target) const;
    void runTimedTasks();
    std::size_t timedTaskCount() const { return tasks_.size(); }

    // Queues a notification for the target, delivered by the queue's task.
    void postNotificationTo(epiApplicationObject* target, epiFourCC code, void* data,
                            void* argument);
    epiAppCommandsList* notificationQueue() const { return queue_; }

    // Owned objects are deleted by deleteRegisteredObjects (at exit).
    void registerObject(epiApplicationObject* object);
    void deleteRegisteredObjects();

    // The event source of the user-interface thread; without one set, the
    // window manager runs on a headless pump of its own.
    void setEventPump(platform::EventPump* pump) { pump_ = pump; }
    platform::EventPump* getEventPump() const { return pump_; }

    epiWindowManager* getWindowManager() const { return windowManager_; }
    epiResources* getResources() const { return resources_; }
    epiKeyboard* getKeyboard() const { return keyboard_; }
    epiMenu* getMenu() const { return menu_; }
    epiClipboard* getClipboard() const { return clipboard_; }

protected:
    void scheduleTimedTask(epiApplicationObject* owner, double delaySeconds, bool once,
                           bool fixedRate) override;
    void cancelTimedTasks(epiApplicationObject* owner) override;
    void keepOwnedObject(epiApplicationObject* object) override;
    void queueNotification(epiApplicationObject* sender, epiFourCC code, void* data, void* argument,
                           std::intptr_t value) override;

private:
    struct TimedTask {
        epiApplicationObject* target = nullptr;
        double interval = 0.0; // 0 for a one-shot task
        double due = 0.0;
        bool fixedRate = false;
        bool removed = false;
        std::uint64_t firedInRun = 0;
    };

    // Creates, attaches and initialises one service; null (and the object
    // deleted) when it is missing, of the wrong class or does not start.
    template <class Service> Service* startService(epiObject* created);

    epiPath applicationPath_;
    Clock clock_;
    std::list<TimedTask> tasks_;
    double earliestDue_ = 0.0;
    bool pending_ = false;
    std::uint64_t runSerial_ = 0;

    epiObjectsList owned_;
    epiAppCommandsList* queue_ = nullptr;

    platform::EventPump* pump_ = nullptr;
    epiWindowManager* windowManager_ = nullptr;
    epiResources* resources_ = nullptr;
    epiKeyboard* keyboard_ = nullptr;
    epiMenu* menu_ = nullptr;
    epiClipboard* clipboard_ = nullptr;
};
