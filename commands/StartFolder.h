#pragma once

#include <filesystem>

namespace tarnwick {

// The folder the file dialogs open in the first time: the examples beside the program when it
// runs from its build tree (build/ui/tarnwick and examples/), or installed with it
// (bin/tarnwick and share/tarnwick/examples, wherever the installation was moved, or at
// installedExamples), else the home folder.
std::filesystem::path startFolder(const std::filesystem::path& programFolder,
                                  const std::filesystem::path& installedExamples,
                                  const std::filesystem::path& home);

} // namespace tarnwick
