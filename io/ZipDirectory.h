#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The central directory of a ZIP package, read from the file's own bytes (PKWARE APPNOTE 4.3.12
// to 4.3.16, zip64 included): what each member's checksum must be, which libgsf does not check,
// and where the package ends before its comment, which libgsf cannot find behind a comment of
// more than about 65,000 bytes.
class ZipDirectory {
public:
    struct Member {
        std::uint32_t crc = 0;
        bool stored = false;              // not compressed
        std::uint64_t compressedSize = 0; // what it takes in the file
    };

    // The directory, or nothing when the file has no end record where one must be (libgsf then
    // says what is wrong).
    static std::optional<ZipDirectory> read(int fd, std::uint64_t size);

    // The offset just past the end record: the package without its comment.
    std::uint64_t packageEnd() const { return packageEnd_; }

    std::optional<Member> member(std::string_view path) const;

private:
    ZipDirectory(std::string entries, std::uint64_t packageEnd)
        : entries_(std::move(entries)), packageEnd_(packageEnd) {}

    std::string entries_; // the central directory's records
    std::uint64_t packageEnd_;
};

} // namespace tarnwick
