// tarnwick-cli structure --plot: the MDS plot of the example database as SVG and PNG, and a save
// that fails leaving the old file.
#include "SvgContents.h"
#include "TestFiles.h"
#include "cli/BatchTool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing_files::parsedSvg;
using testing_files::SvgContents;

std::uint32_t bigEndian32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

class StructurePlotBatch : public ::testing::Test {
protected:
    StructurePlotBatch() : directory(testing_files::scratchPath("tarnwick-cli-plot")) {
        fs::create_directories(directory);
    }
    ~StructurePlotBatch() override { fs::remove_all(directory); }

    // Runs structure on the example database without permutations (the plot needs none).
    int structure(const std::vector<std::string>& outputs, std::string& out, std::string& err) {
        std::vector<std::string> arguments = {
            "structure", (fs::path(TARNWICK_EXAMPLES) / "database.csv").string(), "--permutations",
            "0"};
        arguments.insert(arguments.end(), outputs.begin(), outputs.end());
        std::ostringstream outStream;
        std::ostringstream errStream;
        const int status = runBatchTool(arguments, outStream, errStream);
        out = outStream.str();
        err = errStream.str();
        return status;
    }

    fs::path directory;
};

TEST_F(StructurePlotBatch, DrawsOneLabelledPointPerPopulationAsSvgAndPng) {
    const std::string svgPath = (directory / "plot.svg").string();
    const std::string pngPath = (directory / "plot.PNG").string();
    std::string mds;
    std::string err;
    ASSERT_EQ(structure({"--mds", "-", "--plot", svgPath}, mds, err), kExitSuccess) << err;
    std::string out;
    ASSERT_EQ(structure({"--plot", pngPath}, out, err), kExitSuccess) << err;

    // The populations as --mds lists them, between its titles and its goodness of fit.
    std::vector<std::string> populations;
    std::istringstream rows(mds);
    std::string line;
    std::getline(rows, line);
    while (std::getline(rows, line) && line.rfind("goodness_of_fit", 0) != 0)
        populations.push_back(line.substr(0, line.find('\t')));
    ASSERT_EQ(populations.size(), 12u) << mds;

    const SvgContents svg = parsedSvg(testing_files::readFile(svgPath));
    EXPECT_EQ(svg.elements.count("svg"), 1u);
    EXPECT_EQ(svg.elements.at("circle"), 12);
    for (const std::string& population : populations)
        EXPECT_EQ(std::count(svg.texts.begin(), svg.texts.end(), population), 1) << population;
    for (const char* text : {"MDS of pairwise RST", "Coordinate 1", "Coordinate 2"})
        EXPECT_EQ(std::count(svg.texts.begin(), svg.texts.end(), text), 1) << text;

    const std::string png = testing_files::readFile(pngPath);
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(bigEndian32(png, 16), 800u);
    EXPECT_EQ(bigEndian32(png, 20), 600u);
}

TEST_F(StructurePlotBatch, AFailedSaveLeavesTheOldFileAndNamesIt) {
    const std::string path = (directory / "plot.svg").string();
    testing_files::writeFile(path, "old");
    std::string out;
    std::string err;
    int status = kExitSuccess;
    testing_files::errorWithDiskFullAfter(1000, [&] {
        status = structure({"--plot", path}, out, err);
    });
    EXPECT_EQ(status, kExitFailure);
    EXPECT_NE(err.find("\"" + path + "\""), std::string::npos) << err;
    EXPECT_EQ(testing_files::readFile(path), "old");
}

} // namespace
} // namespace tarnwick
