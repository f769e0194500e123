#include "hostfw/app/epiApplication.h"

#include "hostfw/app/epiKeyboard.h"
#include "hostfw/app/epiMenu.h"
#include "hostfw/app/epiWindowManager.h"
#include "hostfw/res/epiResources.h"
#include "platform/MonotonicClock.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

void epiAppCommandsList::append(const Entry& entry)
{
    entries_.push_back(entry);
    // One task serves the whole queue; a notification posted while the queue
    // delivers does not start a second one.
    if (!running_) {
        running_ = true;
        addTimedTask(0.1, false, true);
    }
}

void epiAppCommandsList::forget(const epiApplicationObject* target)
{
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [target](const Entry& entry) { return entry.target == target; }),
                   entries_.end());
}

void epiAppCommandsList::onTimedTask()
{
    if (entries_.empty()) {
        running_ = false;
        removeTimedTask();
        return;
    }
    // Taken off before delivery: the target may post again while notified.
    const Entry entry = entries_.front();
    entries_.pop_front();
    if (entry.target)
        entry.target->notify(entry.code, entry.data, entry.argument);
}

epiApplication::epiApplication() : clock_(platform::monotonicSeconds)
{
    attach(this);
    queue_ = new epiAppCommandsList;
    queue_->attach(this);
    owned_.appendObject(queue_);
}

epiApplication::~epiApplication()
{
    epiApplication::exit();
    if (programApplication() == this)
        setProgramApplication(nullptr);
}

epiObject* epiApplication::createObject(epiFourCC group, epiFourCC kind, void*)
{
    if (group == epiCode("Appl") && kind == epiCode("Rsrc"))
        return new epiResources;
    return new epiObject;
}

void epiApplication::setClock(Clock clock)
{
    clock_ = clock ? std::move(clock) : Clock(platform::monotonicSeconds);
}

void epiApplication::waitSeconds(double seconds)
{
    const double until = getClockSeconds() + seconds;
    while (getClockSeconds() <= until) {
    }
}

std::vector<std::string> epiApplication::buildArguments(int argc, const char* const* argv)
{
    std::vector<std::string> arguments{"."};
    for (int i = 1; i < argc && argv && argv[i]; ++i)
        arguments.emplace_back(argv[i]);
    return arguments;
}

int epiApplication::entry(int argc, char** argv)
{
    std::vector<std::string> arguments = buildArguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return main(static_cast<int>(arguments.size()), pointers.data());
}

int epiApplication::main(int argc, char** argv)
{
    epiApplicationObject* current = programApplication();
    if (current && current != this)
        std::exit(1);
    setProgramApplication(this);
    setApplicationPath(nullptr);
    if (!init())
        return -1;
    const int result = run(argc, argv);
    exit();
    return result;
}

int epiApplication::run(int, char**)
{
    return 0;
}

void epiApplication::setApplicationPath(const char* path)
{
    std::string folder;
    if (path && path[0] == '/') {
        folder = path;
    } else if (path && path[0] == '.') {
        std::error_code error;
        folder = std::filesystem::current_path(error).string() + (path + 1);
    } else {
        std::error_code error;
        const std::filesystem::path program =
            std::filesystem::read_symlink("/proc/self/exe", error);
        if (!error)
            folder = program.parent_path().string();
    }
    applicationPath_.assign(folder.c_str());
    applicationPath_.ensureTrailingSlash();
}

bool epiApplication::getApplicationPath(epiText& folder) const
{
    if (applicationPath_.isEmpty())
        return false;
    folder.assign(applicationPath_.getCStr());
    return true;
}

template <class Service> Service* epiApplication::startService(epiObject* created)
{
    auto* service = dynamic_cast<Service*>(created);
    if (!service) {
        delete created;
        return nullptr;
    }
    service->attach(this);
    if (!service->init()) {
        delete service;
        return nullptr;
    }
    return service;
}

bool epiApplication::init()
{
    attach(this);
    // Each service is stored as soon as it stands, so that exit after a
    // failure deletes exactly those that exist.
    resources_ = startService<epiResources>(createService(epiCode("Appl"), epiCode("Rsrc")));
    bool started = resources_ != nullptr;
    if (started) {
        windowManager_ = startService<epiWindowManager>(createWindowManager());
        started = windowManager_ != nullptr;
    }
    if (started) {
        keyboard_ = startService<epiKeyboard>(createService(epiCode("Appl"), epiCode("Keyb")));
        started = keyboard_ != nullptr;
    }
    if (started) {
        menu_ = startService<epiMenu>(createService(epiCode("Appl"), epiCode("Menu")));
        started = menu_ != nullptr;
    }
    if (started) {
        clipboard_ = startService<epiClipboard>(createService(epiCode("Appl"), epiCode("Clip")));
        started = clipboard_ != nullptr;
    }
    if (!started) {
        exit();
        return false;
    }
    return true;
}

void epiApplication::exit()
{
    if (windowManager_) {
        windowManager_->exit();
        delete std::exchange(windowManager_, nullptr);
    }
    delete std::exchange(keyboard_, nullptr);
    delete std::exchange(menu_, nullptr);
    delete std::exchange(clipboard_, nullptr);
    delete std::exchange(resources_, nullptr);
    deleteRegisteredObjects();
}

bool epiApplication::addTimedTask(epiApplicationObject* target, double delaySeconds, bool once,
                                  bool fixedRate)
{
    TimedTask task;
    task.target = target;
    task.interval = once ? 0.0 : delaySeconds;
    task.due = getClockSeconds() + delaySeconds;
    task.fixedRate = fixedRate;
    tasks_.push_back(task);
    // The next loop turn scans.
    pending_ = true;
    earliestDue_ = 0.0;
    return true;
}

void epiApplication::removeTimedTasks(epiApplicationObject* target)
{
    for (TimedTask& task : tasks_) {
        if (task.target == target)
            task.removed = true;
    }
}

bool epiApplication::hasTimedTasks(const epiApplicationObject* target) const
{
    return std::any_of(tasks_.begin(), tasks_.end(), [target](const TimedTask& task) {
        return task.target == target && !task.removed;
    });
}

void epiApplication::runTimedTasks()
{
    if (!pending_)
        return;
    const double now = getClockSeconds();
    if (now < earliestDue_)
        return;
    // Entries are freed only here; a callback may add tasks (appended, so
    // the iterators stay valid) or mark any of them removed. A scan that
    // frees an entry starts again, but no entry fires twice in one run, so a
    // late fixed-rate task catches up by one period per loop turn.
    const std::uint64_t run = ++runSerial_;
    bool rescan = true;
    while (rescan) {
        rescan = false;
        if (tasks_.empty()) {
            pending_ = false;
            earliestDue_ = 0.0;
            return;
        }
        double earliest = 0.0;
        bool haveEarliest = false;
        for (auto it = tasks_.begin(); it != tasks_.end();) {
            TimedTask& task = *it;
            if (task.removed) {
                tasks_.erase(it);
                rescan = true;
                break;
            }
            if (task.firedInRun != run && task.due < now) {
                task.firedInRun = run;
                task.target->onTimedTask();
                if (task.removed) {
                    ++it;
                    continue;
                }
                if (task.interval == 0.0) {
                    task.removed = true;
                    rescan = true;
                    break;
                }
                task.due = (task.fixedRate ? task.due : now) + task.interval;
            }
            if (!haveEarliest || task.due < earliest) {
                earliest = task.due;
                haveEarliest = true;
            }
            ++it;
        }
        if (!rescan) {
            pending_ = true;
            earliestDue_ = earliest;
        }
    }
}

void epiApplication::postNotificationTo(epiApplicationObject* target, epiFourCC code, void* data,
                                        void* argument)
{
    if (queue_)
        queue_->append({target, code, data, argument});
}

void epiApplication::registerObject(epiApplicationObject* object)
{
    if (!object)
        return;
    const auto& elements = owned_.elements();
    if (std::find(elements.begin(), elements.end(), object) != elements.end())
        return;
    owned_.appendObject(object);
    object->doNothing();
}

void epiApplication::deleteRegisteredObjects()
{
    // Their tasks and pending notifications go with them: the runner must
    // never call into a deleted object.
    for (epiObject* element : owned_.elements()) {
        if (auto* object = dynamic_cast<epiApplicationObject*>(element)) {
            removeTimedTasks(object);
            if (queue_)
                queue_->forget(object);
        }
    }
    queue_ = nullptr;
    owned_.clear();
}

void epiApplication::scheduleTimedTask(epiApplicationObject* owner, double delaySeconds, bool once,
                                       bool fixedRate)
{
    addTimedTask(owner, delaySeconds, once, fixedRate);
}

void epiApplication::cancelTimedTasks(epiApplicationObject* owner)
{
    removeTimedTasks(owner);
}

void epiApplication::keepOwnedObject(epiApplicationObject* object)
{
    registerObject(object);
}

void epiApplication::queueNotification(epiApplicationObject* sender, epiFourCC code, void* data,
                                       void* argument, std::intptr_t)
{
    postNotificationTo(sender, code, data, argument);
}
