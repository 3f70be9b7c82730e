#pragma once

#include <gsf/gsf.h>

#include <memory>
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

// Reads a whole member into memory, refusing members larger than the limit.
std::string readWholeInput(GsfInput* input, std::size_t limit);

} // namespace tarnwick
