#include "TextGrid.h"
#include "core/Error.h"
#include "io/BiffWriter.h"
#include "io/HighlightedWorkbookWriter.h"
#include "io/InterruptedSaves.h"
#include "io/OutputPaths.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <future>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing_files::readFile;
using testing_files::writeFile;

class ReplacingFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = testing_files::scratchPath(
            std::string("tarnwick-replacing-") +
            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        table_.setCells(0, 0, "sample name");
        table_.setCells(1, 1, "14");
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::vector<std::string> namesInFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string savedBytes() {
        const auto reference = folder_ / "reference.xls";
        SaveTableAsBiff(table_, reference);
        std::string bytes = readFile(reference);
        fs::remove(reference);
        return bytes;
    }

    fs::path folder_;
    test::TextGrid table_{2, 2};
};

TEST_F(ReplacingFileTest, ALinkIsFollowedAndItsTargetReplaced) {
    const std::string expected = savedBytes();
    fs::create_directories(folder_ / "elsewhere");
    writeFile(folder_ / "elsewhere" / "results.xls", "old results");
    fs::create_symlink("elsewhere/results.xls", folder_ / "link.xls");
    fs::create_symlink(folder_ / "elsewhere" / "new.xls", folder_ / "dangling.xls");

    SaveTableAsBiff(table_, (folder_ / "link.xls").string());
    SaveTableAsBiff(table_, (folder_ / "dangling.xls").string());

    EXPECT_TRUE(fs::is_symlink(folder_ / "link.xls"));
    EXPECT_EQ(readFile(folder_ / "elsewhere" / "results.xls"), expected);
    EXPECT_TRUE(fs::is_symlink(folder_ / "dangling.xls"));
    EXPECT_EQ(readFile(folder_ / "elsewhere" / "new.xls"), expected);
    EXPECT_EQ(namesInFolder(), (std::vector<std::string>{"dangling.xls", "elsewhere", "link.xls"}));
}

TEST_F(ReplacingFileTest, OutputsThatAreNoFilesAreWrittenStraightInto) {
    const std::string expected = savedBytes();
    const auto pipe = folder_ / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const bool workbook : {false, true}) {
        auto received = std::async(std::launch::async, [&] { return readFile(pipe); });
        if (workbook)
            SaveTableWithHighlights(table_, {}, pipe.string());
        else
            SaveTableAsBiff(table_, pipe.string());
        const std::string bytes = received.get();
        if (workbook)
            EXPECT_TRUE(bytes.starts_with("PK\x03\x04")) << "a whole .xlsx package";
        else
            EXPECT_EQ(bytes, expected);
        EXPECT_TRUE(fs::is_fifo(pipe));
    }
    if (::access("/dev/null", W_OK) == 0) {
        SaveTableAsBiff(table_, "/dev/null");
        EXPECT_TRUE(fs::is_character_file("/dev/null"));
    }
    EXPECT_EQ(namesInFolder(), std::vector<std::string>{"pipe"});
}

// A process interrupted while it saves leaves the file it was replacing whole (the old one or
// the new one) and nothing beside it.
TEST_F(ReplacingFileTest, AnInterruptedSaveLeavesNothingBehind) {
    test::TextGrid large(40, 20000);
    for (int row = 0; row < large.RowCount(); ++row)
        large.setCells(row % 40, row, "haplotype " + std::to_string(row));
    const auto target = folder_ / "results.xls";
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, SIGPIPE}) {
        writeFile(target, "old results");
        const pid_t child = ::fork();
        if (child == 0) {
            const rlimit noCore{0, 0}; // SIGQUIT would leave a core file
            ::setrlimit(RLIMIT_CORE, &noCore);
            installInterruptedSaveCleanup();
            for (;;)
                SaveTableAsBiff(large, target.string());
        }
        // Wait until a save is under way, that is until its temporary file is there.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (namesInFolder().size() < 2 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_EQ(namesInFolder(), std::vector<std::string>{"results.xls"}) << signal;
        const std::string bytes = readFile(target);
        EXPECT_TRUE(bytes == "old results" ||
                    (bytes.size() > 100000 && bytes.ends_with(std::string("\x0A\x00\x00\x00", 4))))
            << signal << ": " << bytes.size() << " bytes";
    }
}

// A new file gets what the umask leaves of 0666 and a replaced one keeps its mode; a name as long
// as the folder allows is saved though the temporary name beside it would be longer.
TEST_F(ReplacingFileTest, ModesAndLongestNamesAreKept) {
    const auto created = folder_ / "new.xls";
    const auto replaced = folder_ / "old.xls";
    const auto longest = folder_ / (std::string(251, 'n') + ".xls");
    writeFile(replaced, "old results");
    fs::permissions(replaced, static_cast<fs::perms>(0604));
    const mode_t umask = ::umask(027);
    for (const auto& path : {created, replaced, longest})
        SaveTableAsBiff(table_, path.string());
    ::umask(umask);
    EXPECT_EQ(fs::status(created).permissions(), static_cast<fs::perms>(0640));
    EXPECT_EQ(fs::status(replaced).permissions(), static_cast<fs::perms>(0604));
    EXPECT_EQ(readFile(longest), readFile(created));
    EXPECT_EQ(namesInFolder().size(), 3u);
}

// Names that save into one file, whether it exists yet or not, are known as one.
TEST_F(ReplacingFileTest, OneOutputFileUnderEverySpelling) {
    fs::create_directories(folder_ / "sub");
    fs::create_symlink(folder_ / "target.csv", folder_ / "dangling.csv");
    fs::create_symlink("sub", folder_ / "linked");
    writeFile(folder_ / "old.csv", "old");
    fs::create_hard_link(folder_ / "old.csv", folder_ / "hard.csv");
    const auto previous = fs::current_path();
    fs::current_path(folder_);
    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {"out.csv", "./out.csv", true},       {"out.csv", (folder_ / "out.csv").string(), true},
        {"sub/../out.csv", "out.csv", true},  {"linked/out.csv", "sub/out.csv", true},
        {"dangling.csv", "target.csv", true}, {"hard.csv", "old.csv", true},
        {"out.csv", "sub/out.csv", false},    {"out.csv", "out.tsv", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sameOutputFile(c.a, c.b), c.same) << c.a << " " << c.b;
    fs::current_path(previous);
}

// A save beyond the file-size limit fails as a write, instead of ending the process.
TEST_F(ReplacingFileTest, ASaveBeyondTheFileSizeLimitFailsAndLeavesTheOldFile) {
    test::TextGrid large(40, 20000);
    const auto target = folder_ / "results.xls";
    writeFile(target, "old results");
    const pid_t child = ::fork();
    if (child == 0) {
        installInterruptedSaveCleanup();
        const rlimit limit{64 * 1024, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            SaveTableAsBiff(large, target.string());
        } catch (const Error& error) {
            ::_exit(std::string(error.what()) == "Stream write error" ? 3 : 4);
        }
        ::_exit(5);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
    EXPECT_EQ(readFile(target), "old results");
    EXPECT_EQ(namesInFolder(), std::vector<std::string>{"results.xls"});
}

} // namespace
} // namespace tarnwick
