#include "hostfw/core/epiApplicationObject.h"

namespace {
epiApplicationObject* theProgramApplication = nullptr;
}

epiObject* epiApplicationObject::createObject(epiFourCC group, epiFourCC kind, void* argument)
{
    if (epiApplicationObject* app = forwardTarget())
        return app->createObject(group, kind, argument);
    return nullptr;
}

void epiApplicationObject::exit()
{
    if (hasTimedTasks_ && application_)
        removeTimedTask();
}

void* epiApplicationObject::notify(epiFourCC, void*, void*)
{
    return nullptr;
}

void epiApplicationObject::postNotification(epiFourCC code, void* data, void* argument,
                                            std::intptr_t value)
{
    if (application_)
        application_->queueNotification(this, code, data, argument, value);
}

void epiApplicationObject::addTimedTask(double delaySeconds, bool once, bool fixedRate)
{
    if (!application_)
        return;
    hasTimedTasks_ = true;
    application_->scheduleTimedTask(this, delaySeconds, once, fixedRate);
}

void epiApplicationObject::removeTimedTask()
{
    if (application_)
        application_->cancelTimedTasks(this);
}

void epiApplicationObject::registerWithApplication()
{
    if (application_)
        application_->keepOwnedObject(this);
}

bool epiApplicationObject::getApplicationPath(epiText& folder) const
{
    if (epiApplicationObject* app = forwardTarget())
        return app->getApplicationPath(folder);
    return false;
}

epiApplicationObject* epiApplicationObject::programApplication()
{
    return theProgramApplication;
}

void epiApplicationObject::setProgramApplication(epiApplicationObject* application)
{
    theProgramApplication = application;
}

void epiApplicationObject::scheduleTimedTask(epiApplicationObject*, double, bool, bool)
{
}
void epiApplicationObject::cancelTimedTasks(epiApplicationObject*)
{
}
void epiApplicationObject::keepOwnedObject(epiApplicationObject*)
{
}
void epiApplicationObject::queueNotification(epiApplicationObject*, epiFourCC, void*, void*,
                                             std::intptr_t)
{
}
