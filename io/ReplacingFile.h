#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Writes a file beside its target and renames it over the target only when everything was
// written, so a failed save never leaves a truncated file nor destroys the file it was to
// replace. Without commit() the partial file is removed, and so it is when the process is
// interrupted (InterruptedSaves.h).
//
// A symbolic link is followed: its target is replaced and the link stays. An existing output
// that is not a regular file (a named pipe, a device such as /dev/null, the standard output) is
// written straight into, as nothing could be renamed over it.
class ReplacingFile {
public:
    // Raises "Cannot create file "<path>". <reason>" when the file cannot be created there.
    explicit ReplacingFile(std::string path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Raises "Stream write error" when the disk takes fewer bytes than asked.
    void write(std::string_view bytes);
    void commit();

    // The file being written, for a library that writes by file name; what it writes there
    // replaces the target at commit(). Only for targets that are (to be) regular files.
    const std::string& temporaryPath() const { return temporaryPath_; }
    bool writesStraight() const { return temporaryPath_.empty(); }

private:
    void openStraight();
    void openBeside(const std::string& target);
    void flush();
    void removeTemporary();
    [[noreturn]] void raiseCannotCreate(int error) const;

    std::string path_;
    std::string target_; // the file that is replaced: path_ with its links followed
    std::string temporaryPath_;
    int fd_ = -1;
    int registration_ = -1;
    std::vector<char> buffer_;
};

} // namespace tarnwick
