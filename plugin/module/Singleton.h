#pragma once

namespace Zq::Application::Utils {

// The one object of a class T that derives from Singleton<T>: created by the
// first getInstance, forgotten when it is deleted, so the next getInstance
// creates a fresh one. Callers on the control thread only.
template <class T> class Singleton {
public:
    static T* getInstance()
    {
        if (!instance_) {
            instance_ = new T();
            registered_ = instance_;
        }
        return instance_;
    }
    // The object if it exists; never creates one.
    static T* findInstance() noexcept { return instance_; }

protected:
    Singleton() = default;
    ~Singleton()
    {
        // Compared as the base, since T is already gone when this runs.
        if (registered_ == this) {
            instance_ = nullptr;
            registered_ = nullptr;
        }
    }

private:
    inline static T* instance_ = nullptr;
    inline static Singleton* registered_ = nullptr;
};

} // namespace Zq::Application::Utils
