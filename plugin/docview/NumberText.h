#pragma once

#include <cstddef>

namespace Zq::Application::DocView {

// Prints value in fixed notation with the given digits after the point
// (0 ... 9) into out, always with a "." whatever the process locale says:
// hosts and saved sessions compare these texts. Allocates nothing and takes
// no lock, so the audio thread may call it. Returns out.
char* formatFixed(char* out, std::size_t size, double value, int precision) noexcept;

} // namespace Zq::Application::DocView
