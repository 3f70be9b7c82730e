#pragma once

#include <string>

namespace tarnwick {

// The folder part of a path with its final "/" ("a/b/" of "a/b/c"), empty for a bare name.
std::string folderOf(const std::string& path);

// The extension of the file name in lower case with its dot (".csv"), or "" when it has none.
std::string lowerCaseExtension(const std::string& path);

struct LinkTarget {
    std::string path;
    bool throughProc = false; // a link into /proc, such as /dev/stdout: a stream, not a file
    int error = 0;
};

// Follows symbolic links to the file they name, which need not exist yet.
LinkTarget followLinks(const std::string& path);

// The absolute path a file saved under this name will have, whether or not it exists yet: its
// links followed (ReplacingFile replaces a link's target), then its folder resolved ("..", ".",
// links, relative to the current folder), then its name.
std::string resolvedOutputPath(const std::string& path);

// Whether saving under the two names writes one file: "out.csv", "./out.csv" and the absolute
// path, a link and its target (dangling or not), hard links.
bool sameOutputFile(const std::string& a, const std::string& b);

} // namespace tarnwick
