#pragma once

#include <algorithm>
#include <filesystem>
#include <vector>

namespace tarnwick::testing_files {

// Published Y-STR population files, kept beside the project and never copied into it.
inline const std::filesystem::path kRealFiles = TARNWICK_REAL_DATA;

// The population files of kRealFiles (its README left out), in name order.
inline std::vector<std::filesystem::path> realFiles() {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(kRealFiles))
        if (entry.path().filename() != "README.md")
            paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace tarnwick::testing_files
