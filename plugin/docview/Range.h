#pragma once

#include <cstdint>
#include <memory>

namespace Zq::Application::DocView {

// The limits a parameter's value must stay within. Ranges are values: a
// parameter keeps its own clone of whatever range it is given.
class Range {
public:
    virtual ~Range() = default;
    virtual std::unique_ptr<Range> clone() const = 0;
    virtual float constrain(float v) const = 0;
    virtual float getMin() const = 0;
    virtual float getMax() const = 0;

protected:
    Range() = default;
    Range(const Range&) = default;
    Range& operator=(const Range&) = default;
};

// A continuous interval. A NaN passes unchanged: what NaN means is up to the
// one who set it (the document's XML reader never lets one in).
class RangeFloat final : public Range {
public:
    RangeFloat(float min, float max) : min_(min), max_(max) {}

    std::unique_ptr<Range> clone() const override { return std::make_unique<RangeFloat>(*this); }
    float constrain(float v) const override;
    float getMin() const override { return min_; }
    float getMax() const override { return max_; }

private:
    float min_;
    float max_;
};

// Whole numbers from min to max; the fraction is dropped toward zero. A NaN
// gives the minimum and anything beyond the int range clamps, so no input ever
// reaches an out-of-range float-to-int conversion.
class RangeInt final : public Range {
public:
    RangeInt(std::int32_t min, std::int32_t max) : min_(min), max_(max) {}

    std::unique_ptr<Range> clone() const override { return std::make_unique<RangeInt>(*this); }
    float constrain(float v) const override;
    float getMin() const override { return static_cast<float>(min_); }
    float getMax() const override { return static_cast<float>(max_); }

private:
    std::int32_t min_;
    std::int32_t max_;
};

} // namespace Zq::Application::DocView
