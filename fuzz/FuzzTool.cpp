// The fuzzers' helper.
//   fuzz-tool seeds TEST-DATA OUT   makes the seed corpus of each fuzzer from the test fixtures:
//       OUT/<format>/ gets the fixtures of that format, the crafted hostile files and what the
//       fuzzers found before included (up to 8 KB each, as larger ones are slow to run again and
//       again; up to 256 KB for .xls, whose crafted compound-file directories need their
//       sectors, as fuzz/run-fuzzers.sh lets that fuzzer's inputs grow); for .xlsx and .ods also
//       the XML part that the fuzzer wraps into a package; for plain BIFF streams also a fixture
//       saved by the program's own writer.
//   fuzz-tool package FORMAT INPUT FILE   writes a fuzzer's input as the file the fuzzer reads,
//       for tests/data/fuzz-found/.

#include "fuzz/Packages.h"
#include "io/BiffWriter.h"
#include "io/WorkbookReader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int makeSeeds(const fs::path& data, const fs::path& out) {
    const struct {
        const char* format;
        std::vector<const char*> extensions;
    } formats[] = {{"xls", {".xls"}},
                   {"xlsx", {".xlsx"}},
                   {"ods", {".ods"}},
                   {"text", {".csv"}},
                   {"biff", {".biff"}}};
    for (const auto& [format, extensions] : formats) {
        const fs::path folder = out / format;
        fs::create_directories(folder);
        int count = 0;
        for (const fs::path& source : {data, data / "hostile", data / "fuzz-found"}) {
            for (const auto& entry : fs::directory_iterator(source)) {
                const auto extension = entry.path().extension().string();
                const std::uintmax_t largest =
                    std::string_view(format) == "xls" ? 256 * 1024 : 8 * 1024;
                if (std::find(extensions.begin(), extensions.end(), extension) ==
                        extensions.end() ||
                    entry.file_size() > largest)
                    continue;
                const std::string name = entry.path().filename().string();
                fs::copy_file(entry.path(), folder / name, fs::copy_options::overwrite_existing);
                ++count;
                if (std::string_view(format) == "xlsx" || std::string_view(format) == "ods") {
                    const std::string part = tarnwick::fuzz::mainPart(entry.path(), format);
                    if (!part.empty() && part.size() <= 64 * 1024)
                        std::ofstream(folder / (name + ".xml"), std::ios::binary) << part;
                }
            }
        }
        if (std::string_view(format) == "biff") {
            const auto table = tarnwick::readHaplotypeTable((data / "values.xlsx").string(),
                                                            tarnwick::kSheetLayout,
                                                            tarnwick::CellReading::Integers)
                                   .table;
            tarnwick::SaveTableAsBiff(*table, (folder / "values-saved.biff").string());
            ++count;
        }
        std::cout << format << ": " << count << " fixtures\n";
    }
    return 0;
}

int package(const std::string& format, const fs::path& input, const fs::path& output) {
    std::ifstream in(input, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if ((format == "xlsx" || format == "ods") && !bytes.starts_with("PK"))
        tarnwick::fuzz::writePackage(output.string(), format, bytes);
    else
        std::ofstream(output, std::ios::binary) << bytes;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 3 && arguments[0] == "seeds")
        return makeSeeds(arguments[1], arguments[2]);
    if (arguments.size() == 4 && arguments[0] == "package")
        return package(arguments[1], arguments[2], arguments[3]);
    std::cerr << "usage: fuzz-tool seeds TEST-DATA OUT | fuzz-tool package FORMAT INPUT FILE\n";
    return 2;
}
