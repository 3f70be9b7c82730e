// The plot written into a file: names that XML or cairo could choke on still give a well-formed
// SVG that shows them, and an extension that is neither .svg nor .png writes nothing.
#include "io/StructurePlotFile.h"
#include "SvgContents.h"
#include "TestFiles.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

TEST(StructurePlotFile, AnyPopulationNameGivesAWellFormedSvgThatShowsIt) {
    const fs::path directory = testing_files::scratchPath("tarnwick-plot-file");
    fs::create_directories(directory);
    // Markup characters, a control character, and Latin-1 bytes that are no UTF-8.
    const std::vector<StructurePopulation> populations = {
        {"Poles & Finns", 30, 0}, {"<a>\x01\"b\"", 10, 0}, {"Fr\xE9jus \xFF", 20, 0}};
    ClassicalScaling scaling;
    scaling.points = {{-0.2, 0.1}, {0.05, -0.1}, {0.15, 0}};
    scaling.goodnessOfFit = 0.9;

    const std::string svg = (directory / "plot.Svg").string();
    writeStructurePlot(populations, scaling, StructureDistance::Fst, svg);
    const auto contents = testing_files::parsedSvg(testing_files::readFile(svg));
    EXPECT_EQ(contents.elements.at("circle"), 3);
    for (const char* shown :
         {"Poles & Finns", "<a>\"b\"", "Fr\xC3\xA9jus \xC3\xBF", "MDS of pairwise \u03A6ST"})
        EXPECT_EQ(std::count(contents.texts.begin(), contents.texts.end(), shown), 1) << shown;

    const std::string jpeg = (directory / "plot.jpg").string();
    try {
        writeStructurePlot(populations, scaling, StructureDistance::Rst, jpeg);
        ADD_FAILURE() << "a .jpg is refused";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("\"" + jpeg + "\""), std::string::npos);
        EXPECT_NE(std::string(error.what()).find(".svg or .png"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(jpeg));
    fs::remove_all(directory);
}

} // namespace
} // namespace tarnwick
