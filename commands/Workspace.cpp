#include "commands/Workspace.h"

#include "commands/ViewStates.h"

namespace tarnwick {

Workspace::Workspace() {
    StringGrid6.setVisible(false); // the faulty-cell list never shows
    applyViewEvent(*this, ViewEvent::WindowOpened);
}

} // namespace tarnwick
