#pragma once

#include <gsf/gsf.h>

#include "io/ZipDirectory.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tarnwick {

struct GObjectUnref {
    void operator()(void* object) const {
        if (object)
            g_object_unref(object);
    }
};

// Owns one reference to a libgsf object.
template <typename T> using GsfPtr = std::unique_ptr<T, GObjectUnref>;

// libgsf must be initialised once before its first use.
void ensureGsfInitialised();

// While one lives on a thread, GLib's log messages from that thread (libgsf's warnings about the
// damage it meets) are dropped: the reader says what matters in its own words. Messages from
// other threads, or from this one at other times (the window's GLib event loop), reach GLib's
// default handler as they would without Tarnwick.
class LibraryMessagesDropped {
public:
    LibraryMessagesDropped();
    ~LibraryMessagesDropped();
    LibraryMessagesDropped(const LibraryMessagesDropped&) = delete;
    LibraryMessagesDropped& operator=(const LibraryMessagesDropped&) = delete;
};

// Opens a file for libgsf; raises ReadError with the system's reason when it cannot.
GsfPtr<GsfInput> openGsfInput(const std::string& path);

// A member of a ZIP package by its path inside the package ("xl/workbook.xml"), or null.
GsfPtr<GsfInput> openZipMember(GsfInfile* zip, const std::string& memberPath);

// Attaches a package's directory to its libgsf ZIP container, so that what is read of its
// members is checked against their checksums. The directory must outlive the container.
void attachZipDirectory(GsfInfile* zip, const ZipDirectory& directory);

// The checksum of a member's bytes as they are read, compared at finish() with the one its
// package's directory gives, when its container has one attached: a member whose bytes changed
// (a stored member is not compressed, so nothing else would notice) is damage.
class MemberChecksum {
public:
    explicit MemberChecksum(GsfInput* input);
    void add(const char* bytes, std::size_t count);
    // Raises ReadError when the checksums differ. A stored member read only in part is read on
    // to its end first; a compressed one is left unchecked.
    void finish(bool readToTheEnd);
    // What the member takes in the file, when its package's directory is known.
    std::optional<std::uint64_t> compressedSize() const {
        return expected_ ? std::optional(expected_->compressedSize) : std::nullopt;
    }

private:
    GsfInput* input_;
    std::string path_;
    std::optional<ZipDirectory::Member> expected_;
    unsigned long crc_ = 0;
};

// Reads a whole member into memory, refusing members larger than the limit.
std::string readWholeInput(GsfInput* input, std::size_t limit);

} // namespace tarnwick
