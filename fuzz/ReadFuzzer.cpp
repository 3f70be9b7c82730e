// Fuzzes the reader's entry point with the files of one format (TARNWICK_FUZZ_FORMAT): the input
// is written to a file and read as the load commands read it. For .xlsx and .ods, an input that
// is not a ZIP package is taken as the XML of the sheet (or content) part and wrapped into a
// package with the other parts it needs, so that mutations reach the XML reading instead of
// breaking the compression. A read ends in a value table or an Error; anything else is a fault.
// Every sheet is then read once more, as an import of all sheets reads them.

#include "core/Error.h"
#include "io/SheetReader.h"
#include "io/WorkbookReader.h"

#include "fuzz/Packages.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

// Wants the values of every worksheet, as an import of all sheets reads them, and keeps none.
struct EverySheet : tarnwick::SheetSink {
    bool beginSheet(int, std::string_view) override { return true; }
    void value(long, long, const tarnwick::CellValue&) override {}
};

// One file per fuzzing process, removed when it ends.
struct InputFile {
    std::string path =
        "/tmp/tarnwick-fuzz-" + std::to_string(::getpid()) + "." TARNWICK_FUZZ_FORMAT;
    ~InputFile() { ::unlink(path.c_str()); }
};

const std::string& inputPath() {
    static const InputFile file;
    return file.path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view format = TARNWICK_FUZZ_FORMAT;
    if ((format == "xlsx" || format == "ods") && !input.starts_with("PK")) {
        tarnwick::fuzz::writePackage(inputPath(), format, input);
    } else {
        std::ofstream(inputPath(), std::ios::binary | std::ios::trunc) << input;
    }
    try {
        // As the database load reads it: the sheet, then its locus cells tidied and checked.
        tarnwick::readHaplotypeTable(inputPath(), tarnwick::kDatabaseLayout,
                                     tarnwick::CellReading::TidiedIntegers);
    } catch (const tarnwick::Error&) {
    }
    try {
        EverySheet sink;
        tarnwick::readSheets(inputPath(), sink);
    } catch (const tarnwick::Error&) {
    }
    return 0;
}
