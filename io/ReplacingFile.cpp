#include "io/ReplacingFile.h"

#include "core/Error.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;

std::string temporaryPattern(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + ".XXXXXX";
}

mode_t modeForNewFile(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)) {
    if (path_.empty())
        raiseCannotCreate(ENOENT);
    struct stat existing {};
    if (::stat(path_.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode))
            raiseCannotCreate(EISDIR);
        if (::access(path_.c_str(), W_OK) != 0)
            raiseCannotCreate(errno);
    }
    temporaryPath_ = temporaryPattern(path_);
    fd_ = ::mkstemp(temporaryPath_.data());
    if (fd_ < 0)
        raiseCannotCreate(errno);
    ::fchmod(fd_, modeForNewFile(path_));
    buffer_.reserve(kBufferSize);
}

ReplacingFile::~ReplacingFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temporaryPath_.c_str());
    }
}

void ReplacingFile::write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kBufferSize)
        flush();
    if (bytes.size() >= kBufferSize) {
        buffer_.assign(bytes.begin(), bytes.end());
        flush();
        return;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

void ReplacingFile::flush() {
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t written = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw Error("Stream write error");
        done += static_cast<std::size_t>(written);
    }
    buffer_.clear();
}

void ReplacingFile::commit() {
    flush();
    if (::fsync(fd_) != 0)
        throw Error("Stream write error");
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        ::unlink(temporaryPath_.c_str());
        throw Error("Stream write error");
    }
    if (::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporaryPath_.c_str());
        raiseCannotCreate(error);
    }
}

void ReplacingFile::raiseCannotCreate(int error) const {
    throw Error("Cannot create file \"" + path_ + "\". " + std::strerror(error));
}

} // namespace tarnwick
