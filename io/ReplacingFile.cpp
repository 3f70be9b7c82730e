#include "io/ReplacingFile.h"

#include "core/Error.h"
#include "io/FilePaths.h"
#include "io/InterruptedSaves.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr int kMaxLinkHops = 40;

std::string temporaryPattern(const std::string& path) {
    const std::string folder = folderOf(path);
    return folder + "." + path.substr(folder.size()) + ".XXXXXX";
}

mode_t modeForNewFile(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

struct LinkTarget {
    std::string path;
    bool throughProc = false; // a link into /proc, such as /dev/stdout: a stream, not a file
    int error = 0;
};

// Follows symbolic links to the file they name, which need not exist yet.
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

// Signals that would remove the temporary file wait while it is made and registered.
class BlockedInterruptions {
public:
    BlockedInterruptions() {
        sigset_t blocked;
        sigemptyset(&blocked);
        for (int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&blocked, signal);
        ::pthread_sigmask(SIG_BLOCK, &blocked, &saved_);
    }
    ~BlockedInterruptions() { ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
    BlockedInterruptions(const BlockedInterruptions&) = delete;
    BlockedInterruptions& operator=(const BlockedInterruptions&) = delete;

private:
    sigset_t saved_;
};

} // namespace

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)) {
    if (path_.empty())
        raiseCannotCreate(ENOENT);
    const LinkTarget link = followLinks(path_);
    if (link.error)
        raiseCannotCreate(link.error);
    target_ = link.path;
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        raiseCannotCreate(EISDIR);
    if (link.throughProc || (exists && !S_ISREG(existing.st_mode)))
        openStraight();
    else
        openBeside(target_);
    buffer_.reserve(kBufferSize);
}

void ReplacingFile::openStraight() {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd_ < 0)
        raiseCannotCreate(errno);
}

void ReplacingFile::openBeside(const std::string& target) {
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0)
        raiseCannotCreate(errno);
    temporaryPath_ = temporaryPattern(target);
    {
        const BlockedInterruptions blocked;
        fd_ = ::mkstemp(temporaryPath_.data());
        if (fd_ >= 0)
            registration_ = registerTemporaryFile(temporaryPath_);
    }
    if (fd_ < 0) {
        const int error = errno;
        temporaryPath_.clear();
        raiseCannotCreate(error);
    }
    ::fchmod(fd_, modeForNewFile(target));
}

ReplacingFile::~ReplacingFile() {
    if (fd_ >= 0)
        ::close(fd_);
    removeTemporary();
}

void ReplacingFile::removeTemporary() {
    if (writesStraight())
        return;
    ::unlink(temporaryPath_.c_str());
    unregisterTemporaryFile(registration_);
    registration_ = -1;
    temporaryPath_.clear();
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
    if (writesStraight()) {
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0)
            throw Error("Stream write error");
        return;
    }
    if (::fsync(fd_) != 0)
        throw Error("Stream write error");
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        throw Error("Stream write error");
    if (::rename(temporaryPath_.c_str(), target_.c_str()) != 0)
        raiseCannotCreate(errno); // the destructor removes the temporary file
    unregisterTemporaryFile(registration_);
    registration_ = -1;
    temporaryPath_.clear();
}

void ReplacingFile::raiseCannotCreate(int error) const {
    throw Error("Cannot create file \"" + path_ + "\". " + std::strerror(error));
}

} // namespace tarnwick
