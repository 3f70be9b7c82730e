#pragma once

#include "commands/Workspace.h"

#include <string>

namespace tarnwick {

// Settings, "Read genotypes": whether the loads from now on read locus cells as genotypes. It
// empties nothing; Calculate uses the reading each table was loaded with.
void setReadGenotypes(Workspace& workspace, bool on);

// The main window's title: "Tarnwick", then the names of the files of the loaded tables
// ("Tarnwick — database.xlsx, search.csv"), then "— genotypes" while genotypes are read.
std::string mainWindowTitle(const Workspace& workspace);

} // namespace tarnwick
