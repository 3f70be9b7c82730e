#pragma once

#include "commands/MatchProbabilityView.h"

#include <QWidget>

namespace tarnwick {

// The match probabilities with the discrete Laplace fits run on a worker thread while a modal
// progress dialog names the population and fit under way; its Cancel stops them, which gives
// none.
MatchProbabilityRun matchProbabilitiesWithProgress(QWidget* parent);

} // namespace tarnwick
