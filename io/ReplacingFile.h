#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Writes a file beside its target and renames it over the target only when everything was
// written, so a failed save never leaves a truncated file nor destroys the file it was to
// replace. Without commit() the partial file is removed.
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

    // The file being written beside the target, for a library that writes by file name; what it
    // writes there replaces the target at commit().
    const std::string& temporaryPath() const { return temporaryPath_; }

private:
    void flush();
    [[noreturn]] void raiseCannotCreate(int error) const;

    std::string path_;
    std::string temporaryPath_;
    int fd_ = -1;
    std::vector<char> buffer_;
};

} // namespace tarnwick
