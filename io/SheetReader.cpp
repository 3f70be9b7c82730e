#include "io/SheetReader.h"

#include "io/BiffReader.h"
#include "io/DelimitedTextReader.h"
#include "io/GsfHandles.h"
#include "io/OdsReader.h"
#include "io/ReadError.h"
#include "io/ReadLimits.h"
#include "io/XlsxReader.h"

#include <gsf/gsf.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>

namespace tarnwick {
namespace {

constexpr std::string_view kOle2Magic = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::string_view kZipMagic = "PK\x03\x04";

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        throw ReadError(std::strerror(errno));
    const auto size = static_cast<std::size_t>(in.tellg());
    if (size > kMaxFileBytes)
        throw ReadError("the file is too large to read");
    std::string bytes(size, '\0');
    in.seekg(0);
    if (!in.read(bytes.data(), static_cast<std::streamsize>(size)))
        throw ReadError("the file cannot be read to its end");
    return bytes;
}

std::string firstBytes(const std::string& path) {
    if (std::filesystem::is_directory(path))
        throw ReadError("it is a folder, not a file");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ReadError(std::strerror(errno));
    std::string bytes(8, '\0');
    in.read(bytes.data(), 8);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// Opens a file as a libgsf container (an OLE2 compound file or a ZIP package).
GsfPtr<GsfInfile> openContainer(const std::string& path, GsfInfile* (*open)(GsfInput*, GError**),
                                const char* brokenWhat) {
    const auto input = openGsfInput(path);
    GError* error = nullptr;
    GsfPtr<GsfInfile> container(open(input.get(), &error));
    if (error)
        g_error_free(error);
    if (!container)
        throwDamaged(std::string("its ") + brokenWhat + " structure is broken");
    return container;
}

void readOle2Workbook(const std::string& path, SheetSink& sink) {
    const auto ole = openContainer(path, gsf_infile_msole_new, "compound-file");
    if (GsfPtr<GsfInput>(gsf_infile_child_by_name(ole.get(), "EncryptedPackage")))
        throwPasswordProtected();
    GsfPtr<GsfInput> stream(gsf_infile_child_by_name(ole.get(), "Workbook"));
    if (!stream)
        stream.reset(gsf_infile_child_by_name(ole.get(), "Book"));
    if (!stream)
        throw ReadError("it is an Office document but not a spreadsheet workbook");
    readBiffWorkbookStream(readWholeInput(stream.get(), kMaxFileBytes), sink);
}

void readZipWorkbook(const std::string& path, SheetSink& sink) {
    const auto zip = openContainer(path, gsf_infile_zip_new, "ZIP");
    if (isOdsPackage(zip.get()))
        readOdsWorkbook(zip.get(), sink);
    else if (isXlsxPackage(zip.get()))
        readXlsxWorkbook(zip.get(), sink);
    else
        throw ReadError("it is a ZIP archive but not a spreadsheet workbook");
}

} // namespace

void readFirstSheet(const std::string& path, SheetSink& sink) {
    try {
        const std::string head = firstBytes(path);
        if (head.starts_with(kOle2Magic))
            readOle2Workbook(path, sink);
        else if (head.starts_with(kZipMagic))
            readZipWorkbook(path, sink);
        else if (const std::string bytes = readWholeFile(path); startsWithBiffBof(bytes))
            readPlainBiffStream(bytes, sink);
        else
            readDelimitedText(bytes, sink);
    } catch (const ReadError& error) {
        throw Error("Cannot read \"" + path + "\": " + error.what());
    } catch (const std::bad_alloc&) {
        throw Error("Cannot read \"" + path + "\": it is too large for the memory available");
    }
}

} // namespace tarnwick
