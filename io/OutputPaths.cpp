#include "io/OutputPaths.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

constexpr int kMaxLinkHops = 40;

} // namespace

std::string lowerCaseExtension(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

LinkTarget followLinks(const std::string& path) {
    LinkTarget target{path};
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat status {};
        if (::lstat(target.path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return target;
        std::string link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(target.path.c_str(), link.data(), link.size());
        if (length < 0) {
            target.error = errno;
            return target;
        }
        link.resize(static_cast<std::size_t>(length));
        if (!link.starts_with('/'))
            link.insert(0, folderOf(target.path));
        target.throughProc = target.throughProc || link.starts_with("/proc/");
        target.path = link;
    }
    target.error = ELOOP;
    return target;
}

std::string resolvedOutputPath(const std::string& path) {
    namespace fs = std::filesystem;
    const LinkTarget target = followLinks(path);
    const fs::path file(target.path);
    std::error_code error;
    const fs::path folder = fs::weakly_canonical(
        fs::absolute(file.has_parent_path() ? file.parent_path() : fs::path("."), error), error);
    return (folder / file.filename()).string();
}

bool sameOutputFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return resolvedOutputPath(a) == resolvedOutputPath(b) ||
           std::filesystem::equivalent(a, b, error); // hard links
}

} // namespace tarnwick
