#pragma once

#include "commands/InputRole.h"

namespace tarnwick {

struct Workspace;

// The moments at which a command changes which views are visible and which result commands are
// enabled; the table that says what each of them changes lives in ViewStates.cpp.
enum class ViewEvent {
    WindowOpened,
    LoadStarted,
    LoadedClean,
    LoadedWithFaults,       // before its data-error dialog
    FaultsEditPressed,      // "Edit.." of the data-error dialog
    FaultsCancelPressed,    // "Cancel" of the data-error dialog
    SearchFaultsDialogDone, // after the search table's data-error dialog closed
    CalculationStarted,
    CalculationMatched,
    ByPopulationsShown,
    ByHaplotypesShown,
    MatchProbabilitiesShown,
    PopulationStructureShown,
};

// The status line while the match probabilities are shown.
inline constexpr const char* kMatchProbabilitiesStatus = "match probabilities (confidence 0.95)";

// Sets the visible views and enabled commands as the event leaves them. The input table is that
// of role; the other input table is the other one.
void applyViewEvent(Workspace& workspace, ViewEvent event, InputRole role = InputRole::Database);

} // namespace tarnwick
