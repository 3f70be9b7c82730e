#pragma once

#include "commands/Dialogs.h"
#include "commands/LoadCommand.h"
#include "commands/SaveCommand.h"
#include "commands/TextMeasurer.h"
#include "commands/Workspace.h"

namespace tarnwick {

// The program's state and the commands that keep their own (their dialogs' remembered names),
// made before the window and outliving it.
struct Program {
    Program(Dialogs& dialogs, const TextMeasurer& measurer)
        : loads(workspace, dialogs, measurer), save(workspace, dialogs) {}

    Workspace workspace;
    LoadCommands loads;
    SaveCommand save;
};

} // namespace tarnwick
