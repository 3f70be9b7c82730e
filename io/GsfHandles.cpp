#include "io/GsfHandles.h"

#include "io/ReadError.h"

#include <zlib.h>

#include <iterator>
#include <mutex>
#include <string>
#include <vector>

namespace tarnwick {

namespace {

thread_local int droppingDepth = 0;

constexpr const char* kDirectoryKey = "tarnwick-zip-directory";

// The member's path inside its package ("xl/workbook.xml"), and the package's directory.
std::pair<std::string, const ZipDirectory*> memberPathAndDirectory(GsfInput* input) {
    // Gathered from the member up, joined from the top down (inserting at the front made GCC 12
    // at -O3 warn of overlapping copies).
    std::vector<std::string> names{gsf_input_name(input) ? gsf_input_name(input) : ""};
    GsfInfile* container = gsf_input_container(input);
    while (container && gsf_input_container(GSF_INPUT(container))) {
        const char* name = gsf_input_name(GSF_INPUT(container));
        names.emplace_back(name ? name : "");
        container = gsf_input_container(GSF_INPUT(container));
    }
    std::string path = names.back();
    for (auto name = std::next(names.rbegin()); name != names.rend(); ++name)
        path.append("/").append(*name);
    const auto* directory = container ? static_cast<const ZipDirectory*>(
                                            g_object_get_data(G_OBJECT(container), kDirectoryKey))
                                      : nullptr;
    return {path, directory};
}

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

void attachZipDirectory(GsfInfile* zip, const ZipDirectory& directory) {
    g_object_set_data(G_OBJECT(zip), kDirectoryKey,
                      const_cast<void*>(static_cast<const void*>(&directory)));
}

MemberChecksum::MemberChecksum(GsfInput* input) : input_(input), crc_(crc32(0, nullptr, 0)) {
    const auto [path, directory] = memberPathAndDirectory(input);
    if (directory) {
        path_ = path;
        expected_ = directory->member(path);
    }
}

void MemberChecksum::add(const char* bytes, std::size_t count) {
    if (expected_)
        crc_ = crc32_z(crc_, reinterpret_cast<const Bytef*>(bytes), count);
}

void MemberChecksum::finish(bool readToTheEnd) {
    const bool whole = readToTheEnd || gsf_input_remaining(input_) == 0;
    if (!expected_ || (!whole && !expected_->stored))
        return;
    guint8 chunk[1 << 16];
    for (gsf_off_t left = gsf_input_remaining(input_); left > 0;
         left = gsf_input_remaining(input_)) {
        const auto count = static_cast<std::size_t>(std::min<gsf_off_t>(left, sizeof chunk));
        if (!gsf_input_read(input_, count, chunk))
            throwDamaged("a part of the file cannot be read");
        add(reinterpret_cast<const char*>(chunk), count);
    }
    if (crc_ != expected_->crc)
        throwDamaged("the part " + path_ + " does not match its checksum");
}

std::string readWholeInput(GsfInput* input, std::size_t limit) {
    const gsf_off_t size = gsf_input_size(input);
    if (size < 0 || static_cast<std::size_t>(size) > limit)
        throw ReadError("the file is too large to read");
    MemberChecksum checksum(input);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !gsf_input_read(input, static_cast<std::size_t>(size),
                                    reinterpret_cast<guint8*>(bytes.data())))
        throwDamaged("a part of the file cannot be read");
    checksum.add(bytes.data(), bytes.size());
    checksum.finish(true);
    return bytes;
}

} // namespace tarnwick
