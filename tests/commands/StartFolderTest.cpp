// Where the file dialogs open first, for each way the program can be laid out.
#include "commands/StartFolder.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

TEST(StartFolder, ExamplesOfTheBuildTreeOrTheInstallationElseHome) {
    const fs::path root = testing_files::scratchPath("tarnwick-start-folder");
    const fs::path home = root / "home";
    const fs::path installed = root / "usr" / "share" / "tarnwick" / "examples";
    fs::create_directories(root / "source" / "build" / "ui");
    fs::create_directories(root / "source" / "examples");
    fs::create_directories(root / "moved" / "bin");
    fs::create_directories(root / "moved" / "share" / "tarnwick" / "examples");
    fs::create_directories(root / "elsewhere" / "bin");
    fs::create_directories(home);
    const struct {
        fs::path program;
        bool installedExists;
        fs::path expected;
    } cases[] = {
        {root / "source" / "build" / "ui", false, root / "source" / "examples"},
        {root / "moved" / "bin", false, root / "moved" / "share" / "tarnwick" / "examples"},
        {root / "elsewhere" / "bin", true, installed},
        {root / "elsewhere" / "bin", false, home},
    };
    for (const auto& c : cases) {
        if (c.installedExists)
            fs::create_directories(installed);
        else
            fs::remove_all(root / "usr");
        EXPECT_EQ(startFolder(c.program, installed, home), c.expected) << c.program;
    }
    fs::remove_all(root);
}

} // namespace
} // namespace tarnwick
