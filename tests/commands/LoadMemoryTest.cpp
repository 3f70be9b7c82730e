// Loading one database after another in the window keeps only the last one: what the heap holds
// after each load is what a single load of that file takes.
#include "HeapUsage.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "commands/LoadCommand.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// A database of 3,000 haplotypes and 34 columns with texts of its own (seed picks which).
std::string databaseFile(const fs::path& directory, unsigned seed) {
    std::mt19937 random(seed);
    std::string text = "id,population,c2,c3,c4,c5,comment";
    for (int locus = 0; locus < 27; ++locus)
        text += ",DYS" + std::to_string(locus);
    text += "\n";
    for (int row = 0; row < 3000; ++row) {
        text += "S" + std::to_string(seed) + "-" + std::to_string(row) + ",Pop" +
                std::to_string(random() % 20) + ",,,,,note " + std::to_string(random());
        for (int locus = 0; locus < 27; ++locus)
            text += "," + std::to_string(10 + random() % 8);
        text += "\n";
    }
    const auto path = (directory / ("database-" + std::to_string(seed) + ".csv")).string();
    testing_files::writeFile(path, text);
    return path;
}

// Loads a database as the window does; returns the heap it added.
std::size_t load(Workspace& workspace, const std::string& file) {
    test::ScriptedDialogs dialogs(workspace);
    const FixedWidthMeasurer measurer(7);
    LoadCommands commands(workspace, dialogs, measurer);
    dialogs.fileAnswers = {file};
    dialogs.formActions = {[] {}};
    const std::size_t before = heapInUse();
    commands.Button1Click();
    return heapInUse() - before;
}

TEST(LoadMemory, EachLoadReplacesTheLastOne) {
    if (!heapIsMeasurable())
        GTEST_SKIP() << "this allocator does not report its heap";
    const fs::path directory = fs::temp_directory_path() / "tarnwick-load-memory";
    fs::create_directories(directory);
    std::vector<std::string> files;
    for (unsigned seed = 1; seed <= 5; ++seed)
        files.push_back(databaseFile(directory, seed));
    std::vector<std::size_t> single;
    for (const auto& file : files) {
        Workspace alone;
        single.push_back(load(alone, file));
    }
    Workspace workspace;
    const std::size_t before = heapInUse();
    for (std::size_t i = 0; i < files.size(); ++i) {
        load(workspace, files[i]);
        const std::size_t held = heapInUse() - before;
        EXPECT_LE(held, single[i] + single[i] / 10) << "after load " << i + 1;
        EXPECT_GT(held, single[i] / 2) << "the table is held at all";
    }
    fs::remove_all(directory);
}

} // namespace
} // namespace tarnwick
