#include "io/ZipDirectory.h"

#include "io/ReadError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <unistd.h>

namespace tarnwick {
namespace {

constexpr std::size_t kEndRecord = 22;
constexpr std::size_t kLongestComment = 0xFFFF;
constexpr std::size_t kZip64Locator = 20;
constexpr std::size_t kZip64EndRecord = 56;
constexpr std::size_t kEntryHeader = 46;
// A directory larger than this (about a million members) is left to libgsf unchecked.
constexpr std::uint64_t kLargestDirectory = 128 << 20;

std::uint64_t little(std::string_view bytes, std::size_t at, int width) {
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

std::string readAt(int fd, std::uint64_t offset, std::size_t count) {
    std::string bytes(count, '\0');
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got =
            ::pread(fd, bytes.data() + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw ReadError("the file cannot be read: " + std::string(std::strerror(errno)));
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

} // namespace

std::optional<ZipDirectory> ZipDirectory::read(int fd, std::uint64_t size) {
    if (size < kEndRecord)
        return std::nullopt;
    const std::uint64_t tailStart =
        size > kEndRecord + kLongestComment ? size - kEndRecord - kLongestComment : 0;
    const std::string tail = readAt(fd, tailStart, static_cast<std::size_t>(size - tailStart));
    // The last end record whose comment reaches the end of the file.
    std::size_t end = std::string_view::npos;
    for (std::size_t at = tail.size() - kEndRecord + 1; at-- > 0;) {
        if (tail.compare(at, 4, "PK\x05\x06") == 0 &&
            at + kEndRecord + little(tail, at + 20, 2) == tail.size()) {
            end = at;
            break;
        }
    }
    if (end == std::string_view::npos)
        return std::nullopt;
    const std::uint64_t endOffset = tailStart + end;
    std::uint64_t directorySize = little(tail, end + 12, 4);
    std::uint64_t directoryOffset = little(tail, end + 16, 4);
    if ((directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF) &&
        endOffset >= kZip64Locator) {
        const std::string locator = readAt(fd, endOffset - kZip64Locator, kZip64Locator);
        if (locator.size() == kZip64Locator && locator.starts_with("PK\x06\x07")) {
            const std::uint64_t zip64End = little(locator, 8, 8);
            const std::string record = readAt(fd, zip64End, kZip64EndRecord);
            if (record.size() < kZip64EndRecord || !record.starts_with("PK\x06\x06"))
                throwDamaged("its ZIP64 end record is missing");
            directorySize = little(record, 40, 8);
            directoryOffset = little(record, 48, 8);
        }
    }
    if (directoryOffset > endOffset || directorySize > endOffset - directoryOffset)
        throwDamaged("its ZIP directory lies outside the file");
    if (directorySize > kLargestDirectory)
        return std::nullopt;
    return ZipDirectory(readAt(fd, directoryOffset, static_cast<std::size_t>(directorySize)),
                        endOffset + kEndRecord);
}

std::optional<ZipDirectory::Member> ZipDirectory::member(std::string_view path) const {
    const std::string_view entries = entries_;
    for (std::size_t at = 0; at + kEntryHeader <= entries.size();) {
        if (entries.compare(at, 4, "PK\x01\x02") != 0)
            return std::nullopt;
        const auto nameLength = static_cast<std::size_t>(little(entries, at + 28, 2));
        const auto extraLength = static_cast<std::size_t>(little(entries, at + 30, 2));
        const auto commentLength = static_cast<std::size_t>(little(entries, at + 32, 2));
        const std::size_t next = at + kEntryHeader + nameLength + extraLength + commentLength;
        if (next > entries.size())
            return std::nullopt;
        if (entries.substr(at + kEntryHeader, nameLength) == path)
            return Member{static_cast<std::uint32_t>(little(entries, at + 16, 4)),
                          little(entries, at + 10, 2) == 0,
                          // 0xFFFFFFFF: a zip64 size, counted as the largest
                          little(entries, at + 20, 4) == 0xFFFFFFFF ? std::uint64_t{1} << 40
                                                                    : little(entries, at + 20, 4)};
        at = next;
    }
    return std::nullopt;
}

} // namespace tarnwick
