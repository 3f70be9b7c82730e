#pragma once

#include <string>

namespace tarnwick {

// The folder part of a path, with its last '/'; empty for a bare name.
inline std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

} // namespace tarnwick
