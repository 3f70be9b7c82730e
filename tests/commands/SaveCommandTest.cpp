#include "commands/SaveCommand.h"
#include "ScriptedDialogs.h"
#include "StoppingRunner.h"
#include "TableBuilder.h"
#include "TestFiles.h"
#include "commands/ErrorReport.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using testing_files::readFile;

class SaveCommandTest : public ::testing::Test {
protected:
    SaveCommandTest() : dialogs(workspace), save(workspace, dialogs) {
        directory = testing_files::scratchPath("tarnwick-save-command");
        fs::create_directories(directory);
        workspace.StringGrid1 = test::inputTable({{"id", "population"}, {"1", "X"}});
        workspace.StringGrid2 = test::inputTable({{"sample", "comment"}, {"S1", ""}});
        workspace.StringGrid5 = test::inputTable({{"sample name"}});
        workspace.StringGrid7 = test::inputTable({{"population name"}});
    }
    ~SaveCommandTest() override { fs::remove_all(directory); }

    void show(bool database, bool search, bool byHaplotype, bool byPopulation) {
        workspace.StringGrid1.setVisible(database);
        workspace.StringGrid2.setVisible(search);
        workspace.StringGrid5.setVisible(byHaplotype);
        workspace.StringGrid7.setVisible(byPopulation);
    }
    std::string path(const std::string& name) const { return (directory / name).string(); }

    Workspace workspace;
    test::ScriptedDialogs dialogs;
    SaveCommand save;
    fs::path directory;
};

TEST_F(SaveCommandTest, WritesEachShownTableInOrderThroughItsOwnDialog) {
    struct Case {
        bool database, search, byHaplotype, byPopulation;
        Strings messages; // in order, each after its dialog
    };
    const Case cases[] = {
        {false, false, true, false, {"Save by haplotype(s)"}},
        {false, false, false, true, {"Save by populations"}},
        {false, false, true, true, {}}, // the result tests exclude each other
        {true, false, false, false, {"Save!"}},
        {true, true, true, false, {"Save by haplotype(s)", "Save!", "Save!"}},
        {false, false, false, false, {}},
    };
    for (const Case& c : cases) {
        show(c.database, c.search, c.byHaplotype, c.byPopulation);
        dialogs.log.clear();
        dialogs.fileAnswers.clear();
        for (std::size_t i = 0; i < c.messages.size(); ++i)
            dialogs.fileAnswers.push_back(path("out" + std::to_string(i)));
        save.run();
        // The status line is emptied after each write, so only the first dialog shows "saving...".
        Strings expected;
        for (const auto& message : c.messages)
            expected.insert(expected.end(),
                            {expected.empty() ? "file dialog | saving..." : "file dialog | ",
                             "message " + message + " | "});
        EXPECT_EQ(dialogs.log, expected);
        EXPECT_EQ(workspace.statusLine, "");
    }
    // Each dialog remembers its own last name, with the default extension added.
    EXPECT_EQ(save.SaveDialog1.fileName, path("out0.xls"));
    EXPECT_EQ(save.SaveDialog3.fileName, path("out1.xls"));
    EXPECT_EQ(save.SaveDialog4.fileName, path("out2.xls"));
    EXPECT_EQ(save.SaveDialog2.fileName, path("out0.xls"));
    EXPECT_EQ(readFile(path("out2.xls")).substr(0, 2), std::string("\x09\x08", 2));
}

TEST_F(SaveCommandTest, ACancelledDialogSkipsItsTableAndAFailureStopsTheCommand) {
    show(true, true, true, false);
    dialogs.fileAnswers = {std::nullopt, path("search.csv"), path("database")};
    save.run();
    EXPECT_EQ(dialogs.log, (Strings{"file dialog | saving...", "file dialog | saving...",
                                    "message Save! | ", "file dialog | ", "message Save! | "}));
    EXPECT_TRUE(fs::exists(path("search.csv")));
    EXPECT_TRUE(fs::exists(path("database.xls")));

    dialogs.log.clear();
    dialogs.fileAnswers = {path("no folder/out.xls"), path("never.xls")};
    EXPECT_THROW(save.run(), Error);
    EXPECT_EQ(dialogs.log, (Strings{"file dialog | saving..."})) << "later rows not tried";
    EXPECT_EQ(workspace.statusLine, "saving...");
}

// A table saved under a .csv name is CSV text, whatever the case of the extension; the view's
// blank rows at the end are no lines. Any other name gets the BIFF label stream.
TEST_F(SaveCommandTest, ACsvNameGetsCommaSeparatedText) {
    show(false, false, true, false);
    workspace.StringGrid5 = test::inputTable(
        {{"sample name", "note"}, {"S1", "a, b"}, {"S\"2\"", "line\nbreak"}, {"Ж", ""}});
    dialogs.fileAnswers = {path("view.CSV")};
    save.run();
    EXPECT_EQ(readFile(path("view.CSV")), "sample name,note\r\nS1,\"a, b\"\r\n\"S\"\"2\"\"\","
                                          "\"line\nbreak\"\r\nЖ,\r\n");
    EXPECT_EQ(dialogs.log.back(), "message Save by haplotype(s) | ");
    dialogs.fileAnswers = {path("view.xls")};
    save.run();
    EXPECT_EQ(readFile(path("view.xls")).substr(0, 4), std::string("\x09\x08\x08\x00", 4));
}

// A write cancelled at its first report, halfway or at its last leaves the old file byte for byte
// and nothing beside it, and the status line as it was before the command.
TEST_F(SaveCommandTest, ACancelledWriteLeavesTheOldFileAndNothingElse) {
    show(false, false, true, false);
    test::Rows rows{{"sample name", "number", "note"}};
    for (int r = 0; r < 20000; ++r)
        rows.push_back({"S" + std::to_string(r), std::to_string(r), "x"});
    workspace.StringGrid5 = test::inputTable(rows);
    const auto filesInFolder = [&] {
        Strings names;
        for (const auto& entry : fs::directory_iterator(directory))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    for (const std::string extension : {".xls", ".csv"}) {
        fs::remove_all(directory);
        fs::create_directories(directory);
        test::StoppingRunner whole;
        dialogs.fileAnswers = {path("whole" + extension)};
        save.run(whole);
        ASSERT_GE(whole.reports, 3U) << extension;
        fs::remove(path("whole" + extension));
        const std::string old = "the old file's bytes";
        testing_files::writeFile(path("old" + extension), old);
        for (const std::size_t stopAt : {std::size_t{1}, whole.reports / 2, whole.reports}) {
            workspace.statusLine = "as before";
            dialogs.log.clear();
            dialogs.fileAnswers = {path("old" + extension)};
            test::StoppingRunner runner(stopAt);
            save.run(runner);
            EXPECT_EQ(runner.phases, Strings{"Writing old" + extension});
            EXPECT_EQ(readFile(path("old" + extension)), old) << extension << " " << stopAt;
            EXPECT_EQ(filesInFolder(), Strings{"old" + extension}) << extension << " " << stopAt;
            EXPECT_EQ(workspace.statusLine, "as before");
            EXPECT_EQ(dialogs.log, Strings{"file dialog | saving..."}) << "no message of a save";
        }
    }
}

TEST(ErrorReportText, AddsAFullStopUnlessTheTextEndsInOneOrBelowIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"Cannot open file", "Cannot open file."},
        {"Done.", "Done."},
        {"Really!", "Really!"},
        {"(see above)", "(see above)"},
        {"trailing ", "trailing "},
        {"'x' is not a valid integer value", "'x' is not a valid integer value."},
        {"Файл", "Файл."},
        {"", ""},
        {"ends in -", "ends in -"},
        {"ends in /", "ends in /."},
    };
    for (const auto& [message, shown] : cases)
        EXPECT_EQ(errorReportText(message), shown) << message;
}

} // namespace
} // namespace tarnwick
