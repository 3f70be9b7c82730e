#pragma once

#include "core/TextMeasurer.h"
#include "core/UserMessages.h"
#include "core/Workspace.h"

#include <functional>

namespace tarnwick {

// Called after each search haplotype has been compared: (done, total).
using CalculationProgress = std::function<void(int, int)>;

inline constexpr const char* kCalculationWarning =
    "calculate with highlighted cells might take few minutes, press \"ok\"";

// "Calculate": lists every database haplotype within the step limit of each search haplotype in
// the by-haplotype table, sorted by number of steps. Refusals are messages; a text that is not
// integer text where a number is needed raises ConversionError.
void calculate(Workspace& workspace, UserMessages& messages, const TextMeasurer& measurer,
               const CalculationProgress& progress = {});

} // namespace tarnwick
