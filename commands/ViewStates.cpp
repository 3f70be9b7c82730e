#include "commands/ViewStates.h"

#include "commands/Workspace.h"

#include <array>

namespace tarnwick {
namespace {

enum Change : char { Same, On, Off };

struct Row {
    ViewEvent event;
    Change inputTable, otherInputTable, byHaplotype, byPopulation; // views
    Change button4, save1, button5, button6;                       // commands
    Change probabilities; // the match probabilities' view: off when another view comes
    Change structure;     // the population structure's view: likewise
};

// Which view is visible and which command enabled after each event: "-" keeps the state.
constexpr std::array kTable{
    //  event                            input  other  view5  view7  Btn4   Save1  Btn5   Btn6 prob.
    //  struct.
    Row{ViewEvent::WindowOpened, Off, Off, On, Off, Off, Off, Off, Off, Off, Off},
    Row{ViewEvent::LoadStarted, Off, Same, On, Same, Off, Same, Same, Same, Off, Off},
    Row{ViewEvent::LoadedClean, On, Off, Off, Off, Off, Off, Off, Off, Off, Off},
    Row{ViewEvent::LoadedWithFaults, Same, Same, Same, Off, Off, Off, Off, Off, Same, Same},
    Row{ViewEvent::FaultsEditPressed, On, Off, Off, Same, On, Same, Same, Same, Off, Off},
    Row{ViewEvent::FaultsCancelPressed, Off, Same, On, Same, Off, Same, Same, Same, Off, Off},
    Row{ViewEvent::SearchFaultsDialogDone, Same, Off, Same, Same, Same, Same, Same, Same, Same,
        Same},
    Row{ViewEvent::CalculationStarted, Off, Off, On, Off, Same, Same, Same, Same, Off, Off},
    Row{ViewEvent::CalculationMatched, Same, Same, Same, Same, On, On, On, Off, Same, Same},
    Row{ViewEvent::ByPopulationsShown, Same, Same, Off, On, Same, Same, Off, On, Off, Off},
    Row{ViewEvent::ByHaplotypesShown, Same, Same, On, Off, Same, Same, On, Off, Off, Off},
    Row{ViewEvent::MatchProbabilitiesShown, Off, Off, Off, Off, On, On, Same, On, On, Off},
    Row{ViewEvent::PopulationStructureShown, Off, Off, Off, Off, On, On, Same, On, Off, On},
};

void apply(Change change, bool& state) {
    if (change != Same)
        state = change == On;
}

void apply(Change change, StringGrid& view) {
    if (change != Same)
        view.setVisible(change == On);
}

} // namespace

void applyViewEvent(Workspace& workspace, ViewEvent event, InputRole role) {
    for (const Row& row : kTable) {
        if (row.event != event)
            continue;
        apply(row.inputTable, workspace.inputTable(role));
        apply(row.otherInputTable, workspace.otherInputTable(role));
        apply(row.byHaplotype, workspace.StringGrid5);
        apply(row.byPopulation, workspace.StringGrid7);
        apply(row.button4, workspace.enabled.Button4);
        apply(row.save1, workspace.enabled.Save1);
        apply(row.button5, workspace.enabled.Button5);
        apply(row.button6, workspace.enabled.Button6);
        apply(row.probabilities, workspace.matchProbabilities);
        apply(row.structure, workspace.structure.visible);
        // What the status line says of the view goes with it.
        if (row.probabilities == Off && workspace.statusLine == kMatchProbabilitiesStatus)
            workspace.statusLine.clear();
        if (row.structure == Off && workspace.statusLine == kPopulationStructureStatus)
            workspace.statusLine.clear();
    }
}

} // namespace tarnwick
