#include "commands/Readings.h"

namespace tarnwick {

void setReadGenotypes(Workspace& workspace, bool on) {
    workspace.readGenotypes = on;
}

std::string mainWindowTitle(const Workspace& workspace) {
    return workspace.readGenotypes ? "Tarnwick \u2014 genotypes" : "Tarnwick";
}

} // namespace tarnwick
