#pragma once

#include "commands/StructureView.h"

#include <QWidget>

#include <optional>

namespace tarnwick {

// Runs the population-structure tests on a worker thread while a modal progress dialog shows
// how far they are; its Cancel stops them, which gives none. An error of the run is raised here.
std::optional<StructureResult> computeWithProgress(QWidget* parent, const StructureSample& sample,
                                                   const StructureSettings& settings);

} // namespace tarnwick
