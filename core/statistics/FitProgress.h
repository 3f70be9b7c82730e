#pragma once

// How a discrete Laplace fit reports its progress and learns whether to go on.

#include "core/Error.h"

#include <cstddef>
#include <functional>

namespace tarnwick {

// Where a fit stands: the cluster count being fitted, the most that may be tried, and what it is
// doing (medoid passes and EM iterations are counted separately, without a known end).
struct FitProgress {
    enum class Stage { Medoids, Iterations };
    std::size_t clusters = 0;
    std::size_t maxClusters = 0;
    Stage stage = Stage::Medoids;
    std::size_t step = 0;
};

// Called now and then; false stops the fit, which then raises FitCancelled.
using FitGoOn = std::function<bool(const FitProgress&)>;

class FitCancelled : public Error {
public:
    FitCancelled() : Error("The discrete Laplace fit was cancelled") {}
};

} // namespace tarnwick
