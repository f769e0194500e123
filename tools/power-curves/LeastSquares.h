#pragma once

#include <functional>
#include <vector>

namespace power_curves {

using Residuals = std::function<std::vector<double>(const std::vector<double>&)>;

struct FitResult {
    std::vector<double> p;
    double cost; // half the sum of squared residuals at p
    int iterations;
};

// Levenberg-Marquardt over an unconstrained parameter vector, with a forward-difference
// Jacobian and Marquardt's diagonal scaling. Deterministic: no random restarts.
FitResult levenbergMarquardt(const Residuals& residuals, std::vector<double> p, int maxIterations);

} // namespace power_curves
