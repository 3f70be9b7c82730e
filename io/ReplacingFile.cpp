#include "io/ReplacingFile.h"

#include "core/Error.h"
#include "io/InterruptedSaves.h"
#include "io/OutputPaths.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;

constexpr int kNameAttempts = 100;
constexpr std::size_t kNameDecoration = 8; // "." before, "." and 6 random characters after

// A hidden name beside the target, ".<name>.<6 random characters>", with the target's name cut
// (at a character's start) where the whole would be longer than the folder allows.
std::string temporaryName(const std::string& folder, std::string name) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    const long longest = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    const std::size_t limit = longest > static_cast<long>(kNameDecoration)
                                  ? static_cast<std::size_t>(longest) - kNameDecoration
                                  : 255 - kNameDecoration;
    if (name.size() > limit) {
        std::size_t cut = limit;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string suffix(6, ' ');
    for (char& c : suffix)
        c = kLetters[random() % kLetters.size()];
    return folder + "." + name + "." + suffix;
}

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
    struct stat existing {};
    const bool replaces = ::stat(target.c_str(), &existing) == 0;
    // A new file gets the permissions the process's umask leaves of 0666, applied by open();
    // reading the umask would mean setting it, for every thread at once.
    const mode_t mode = replaces ? existing.st_mode & 07777 : 0666;
    const std::string folder = folderOf(target);
    int error = EEXIST;
    for (int attempt = 0; attempt < kNameAttempts && error == EEXIST; ++attempt) {
        std::string path = temporaryName(folder, target.substr(folder.size()));
        const InterruptionsHeld held;
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        error = fd_ < 0 ? errno : 0;
        if (fd_ >= 0) {
            temporaryPath_ = std::move(path);
            registration_ = registerTemporaryFile(temporaryPath_);
        }
    }
    if (fd_ < 0)
        raiseCannotCreate(error);
    if (replaces)
        ::fchmod(fd_, mode); // the mode as it was, whatever the umask
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
