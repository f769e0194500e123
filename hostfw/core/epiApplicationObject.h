#pragma once

#include "hostfw/core/epiObject.h"

#include <cstdint>

class epiText;

// An object that belongs to an application and reaches the application's
// services through it. Until an application is attached every forward does
// nothing, so objects can be built and tested on their own.
//
// The application is itself an application object: it answers the forwards by
// overriding the operations below (createObject is its factory) and the
// "service" operations at the end, which do nothing here.
class epiApplicationObject : public epiObject {
public:
    epiApplicationObject() = default;
    epiApplicationObject(const epiApplicationObject&) = delete;
    epiApplicationObject& operator=(const epiApplicationObject&) = delete;
    ~epiApplicationObject() override = default;

    epiFourCC getKind() const override { return epiCode("oApp"); }
    // Forwards to the application's factory; null without one, or when this
    // object is the application.
    epiObject* createObject(epiFourCC group, epiFourCC kind, void* argument) override;
    virtual void attach(epiApplicationObject* application) { application_ = application; }
    virtual void copyApplication(const epiApplicationObject& other)
    {
        application_ = other.application_;
    }
    virtual bool init() { return true; }
    // Removes the object's timed tasks when it ever added one.
    virtual void exit();
    virtual void* notify(epiFourCC code, void* data, void* argument);
    virtual void onTimedTask() {}
    virtual void onUiTimer() {}
    virtual void postNotification(epiFourCC code, void* data, void* argument, std::intptr_t value);
    virtual void ignoreArguments(void*, void*, void*) {}

    epiApplicationObject* getApplication() const { return application_; }
    void addTimedTask(double delaySeconds, bool once, bool fixedRate);
    void removeTimedTask();
    void registerWithApplication();

    // The application's folder, ending in "/", that relative paths are
    // resolved against; false (and the text untouched) when this object knows
    // none. An object asks its application.
    virtual bool getApplicationPath(epiText& folder) const;

    // The single application object of the program, or null. The application
    // registers itself here when it starts.
    static epiApplicationObject* programApplication();
    static void setProgramApplication(epiApplicationObject* application);

protected:
    // Services that the application provides to its objects; empty here.
    virtual void scheduleTimedTask(epiApplicationObject* owner, double delaySeconds, bool once,
                                   bool fixedRate);
    virtual void cancelTimedTasks(epiApplicationObject* owner);
    virtual void keepOwnedObject(epiApplicationObject* object);
    virtual void queueNotification(epiApplicationObject* sender, epiFourCC code, void* data,
                                   void* argument, std::intptr_t value);

private:
    // Forwards only go to another object: the application forwarding to
    // itself would recurse.
    epiApplicationObject* forwardTarget() const
    {
        return application_ != this ? application_ : nullptr;
    }

    epiApplicationObject* application_ = nullptr;
    bool hasTimedTasks_ = false;
};
