#pragma once

#include <cstdint>

// A four-character code: the four ASCII characters in one 32-bit value, the
// first character in the most significant byte ('GrUi' is 0x47725569).
using epiFourCC = std::uint32_t;

constexpr epiFourCC epiCode(const char (&code)[5])
{
    return (epiFourCC(static_cast<unsigned char>(code[0])) << 24) |
           (epiFourCC(static_cast<unsigned char>(code[1])) << 16) |
           (epiFourCC(static_cast<unsigned char>(code[2])) << 8) |
           epiFourCC(static_cast<unsigned char>(code[3]));
}

// The root of every framework object: a kind code and an optional reference
// count. Objects are not counted unless they switch counting on; a copy never
// inherits the original's count, since the copy has owners of its own.
class epiObject {
public:
    static constexpr std::int32_t kUncounted = -1000000;

    epiObject() = default;
    epiObject(const epiObject&) {}
    epiObject& operator=(const epiObject&) { return *this; }
    virtual ~epiObject() = default;

    virtual epiFourCC getKind() const { return epiCode("baob"); }
    virtual void enableReferenceCount();
    virtual std::int32_t retain();
    // Deletes the object (through destroySelf) when the count goes from 1 to 0.
    virtual std::int32_t release();
    virtual void destroySelf();
    virtual void doNothing() {}
    virtual epiObject* createObject(epiFourCC group, epiFourCC kind, void* argument);

    std::int32_t getReferenceCount() const { return refCount_; }

private:
    std::int32_t refCount_ = kUncounted;
};
