#pragma once

namespace Zq::Application::DocView {

// Sets a flag for the length of a scope and clears it when the scope ends,
// also when a slot throws: the guard an adapter holds while it changes its
// parameter, so the change it causes does not come back to it.
class FlagScope {
public:
    explicit FlagScope(bool& flag) noexcept : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

} // namespace Zq::Application::DocView
