#pragma once

#include <iosfwd>

namespace Zq::BorvanRAZ::Document {

// Something that is kept as preset XML in a stream: the whole document, or
// one module for its own presets.
class Serializable {
public:
    virtual ~Serializable() = default;
    virtual void load(std::istream& in) = 0;
    virtual void save(std::ostream& out) const = 0;

protected:
    Serializable() = default;
    Serializable(const Serializable&) = default;
    Serializable& operator=(const Serializable&) = default;
};

} // namespace Zq::BorvanRAZ::Document
