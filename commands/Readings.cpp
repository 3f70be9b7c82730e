#include "commands/Readings.h"

#include "commands/TableOperations.h"

#include <filesystem>

namespace tarnwick {

void setReadGenotypes(Workspace& workspace, bool on) {
    workspace.readGenotypes = on;
}

std::string mainWindowTitle(const Workspace& workspace) {
    std::string files;
    for (const InputRole role : {InputRole::Database, InputRole::Search}) {
        const std::string& file = workspace.fileOf(role);
        if (!isLoaded(workspace.inputTable(role)) || file.empty())
            continue;
        files += (files.empty() ? "" : ", ") + std::filesystem::path(file).filename().string();
    }
    std::string title = "Tarnwick";
    if (!files.empty())
        title += " \u2014 " + files;
    if (workspace.readGenotypes)
        title += " \u2014 genotypes";
    return title;
}

} // namespace tarnwick
