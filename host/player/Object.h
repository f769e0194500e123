#pragma once

// The reference-object base of the pitch and time components: objects are
// shared by counting references and destroyed with the last one.

#include <atomic>

namespace player {

class IObject {
public:
    virtual ~IObject() = default;
    virtual int addRef() = 0;
    virtual int release() = 0;
};

class CObject : public virtual IObject {
public:
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

    int addRef() override { return ++references_; }
    int release() override
    {
        const int left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

private:
    std::atomic<int> references_{1};
};

} // namespace player
