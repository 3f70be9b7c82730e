#include "io/GsfHandles.h"

#include "io/ReadError.h"

#include <mutex>

namespace tarnwick {

namespace {

thread_local int droppingDepth = 0;

void dropOrPassOn(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer data) {
    if (droppingDepth == 0)
        g_log_default_handler(domain, level, message, data);
}

} // namespace

void ensureGsfInitialised() {
    static std::once_flag once;
    std::call_once(once, [] {
        g_log_set_default_handler(dropOrPassOn, nullptr);
        gsf_init();
    });
}

LibraryMessagesDropped::LibraryMessagesDropped() {
    ensureGsfInitialised();
    ++droppingDepth;
}

LibraryMessagesDropped::~LibraryMessagesDropped() {
    --droppingDepth;
}

GsfPtr<GsfInput> openGsfInput(const std::string& path) {
    ensureGsfInitialised();
    GError* error = nullptr;
    GsfPtr<GsfInput> input(gsf_input_stdio_new(path.c_str(), &error));
    if (!input) {
        const std::string reason = error ? error->message : "unknown reason";
        if (error)
            g_error_free(error);
        throw ReadError(reason);
    }
    return input;
}

GsfPtr<GsfInput> openZipMember(GsfInfile* zip, const std::string& memberPath) {
    GsfPtr<GsfInput> current;
    GsfInfile* folder = zip;
    std::size_t start = 0;
    while (start <= memberPath.size()) {
        const auto slash = memberPath.find('/', start);
        const std::string name = memberPath.substr(
            start, slash == std::string::npos ? std::string::npos : slash - start);
        start = slash == std::string::npos ? memberPath.size() + 1 : slash + 1;
        if (name.empty())
            continue;
        if (!folder)
            return nullptr;
        GsfPtr<GsfInput> child(gsf_infile_child_by_name(folder, name.c_str()));
        if (!child)
            return nullptr;
        current = std::move(child);
        folder = GSF_IS_INFILE(current.get()) ? GSF_INFILE(current.get()) : nullptr;
    }
    return current;
}

std::string readWholeInput(GsfInput* input, std::size_t limit) {
    const gsf_off_t size = gsf_input_size(input);
    if (size < 0 || static_cast<std::size_t>(size) > limit)
        throw ReadError("the file is too large to read");
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !gsf_input_read(input, static_cast<std::size_t>(size),
                                    reinterpret_cast<guint8*>(bytes.data())))
        throwDamaged("a part of the file cannot be read");
    return bytes;
}

} // namespace tarnwick
