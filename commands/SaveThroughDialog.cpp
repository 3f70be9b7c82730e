#include "commands/SaveThroughDialog.h"

#include <filesystem>

namespace tarnwick {

SaveOutcome saveThroughDialog(
    Dialogs& dialogs, FileDialogState& dialog,
    const std::function<void(const std::string& fileName, const FileProgress& progress)>& write,
    WorkRunner& runner) {
    const auto chosen = dialogs.runFileDialog(dialog);
    if (!chosen)
        return SaveOutcome::NoFileChosen;
    dialog.fileName = withDefaultExtension(*chosen, dialog.defaultExtension);
    const std::string phase =
        std::string("Writing ").append(std::filesystem::path(dialog.fileName).filename().string());
    const bool written = runner.run(
        phase, [&](const GoOn& goOn) { write(dialog.fileName, raisingWhenCancelled(goOn)); });
    return written ? SaveOutcome::Saved : SaveOutcome::WriteCancelled;
}

} // namespace tarnwick
