#include "core/Workspace.h"

namespace tarnwick {

Workspace::Workspace() {
    // Only the by-haplotype view shows when the window opens; the scratch tables never show.
    for (StringGrid* hidden : {&StringGrid1, &StringGrid2, &StringGrid3, &StringGrid4, &StringGrid6,
                               &StringGrid7, &StringGrid8})
        hidden->setVisible(false);
}

} // namespace tarnwick
