#pragma once

#include "commands/BackgroundWork.h"
#include "commands/Dialogs.h"
#include "io/FileProgress.h"

#include <functional>
#include <string>

namespace tarnwick {

enum class SaveOutcome { Saved, NoFileChosen, WriteCancelled };

// Writes a file to the name the user picks in the dialog (its default extension added when the
// name has none), through the runner as "Writing <name>". The dialog remembers the name for next
// time. The write's own errors pass out to the caller.
SaveOutcome saveThroughDialog(
    Dialogs& dialogs, FileDialogState& dialog,
    const std::function<void(const std::string& fileName, const FileProgress& progress)>& write,
    WorkRunner& runner = inPlace());

} // namespace tarnwick
