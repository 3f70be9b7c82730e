#include "commands/LoadCommand.h"
#include "ScriptedDialogs.h"
#include "StoppingRunner.h"
#include "TableBuilder.h"
#include "TestFiles.h"
#include "commands/Calculation.h"
#include "commands/Readings.h"
#include "commands/TableOperations.h"
#include "core/Error.h"
#include "io/WorkbookReader.h"

#include "commands/InputTables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using testing_files::writeFile;

const char* const kCleanDatabase = "id,population,c2,c3,c4,c5,c6,DYS19,DYS390\n"
                                   "1,X,,,,,,14,24\n"
                                   "2,Y,,,,,,15.2,23\n";
// Faults at H3 (NA), I2 (12,13) and I4 (.5, which becomes empty).
const char* const kFaultyDatabase = "id,population,c2,c3,c4,c5,c6,DYS19,DYS390\n"
                                    "1,X,,,,,,14,\"12,13\"\n"
                                    "2,Y,,,,,,NA,23\n"
                                    "3,Z,,,,,,13,.5\n";
const char* const kCleanSearch = "sample,comment,DYS390,DYS19\nS1,,24,14\n";
const char* const kFaultySearch = "sample,comment,DYS390,DYS19\nS1,,24,14x\n";

std::string fixture(const std::string& name) {
    return (fs::path(TARNWICK_TEST_DATA) / name).string();
}

class LoadCommand : public ::testing::Test {
protected:
    LoadCommand() : dialogs(workspace), commands(workspace, dialogs, measurer) {
        directory = fs::temp_directory_path() /
                    ("tarnwick-load-" +
                     std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(directory);
    }
    ~LoadCommand() override {
        fs::permissions(directory, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(directory);
    }

    std::string file(const std::string& name, const std::string& content) {
        const auto path = (directory / name).string();
        writeFile(path, content);
        return path;
    }

    // Visible views (StringGrid1, 2, 5, 7) and enabled commands (Button4, Save1, Button5,
    // Button6), as two strings of 0 and 1.
    std::string views() const {
        const Workspace& w = workspace;
        return std::to_string(w.StringGrid1.Visible()) + std::to_string(w.StringGrid2.Visible()) +
               std::to_string(w.StringGrid5.Visible()) + std::to_string(w.StringGrid7.Visible());
    }
    std::string enabled() const {
        const EnabledCommands& e = workspace.enabled;
        return std::to_string(e.Button4) + std::to_string(e.Save1) + std::to_string(e.Button5) +
               std::to_string(e.Button6);
    }

    Workspace workspace;
    test::ScriptedDialogs dialogs;
    FixedWidthMeasurer measurer{7};
    LoadCommands commands;
    fs::path directory;
};

TEST_F(LoadCommand, CleanDatabaseThenOk) {
    workspace.StringGrid5.setCells(0, 0, "old result");
    workspace.enabled = {true, true, true, false};
    workspace.StringGrid7.setRowCount(5);
    dialogs.fileAnswers = {file("db.csv", kCleanDatabase)};
    dialogs.formActions = {[] { /* "OK": the dialog closes, nothing else */ }};
    commands.Button1Click();
    EXPECT_EQ(dialogs.log,
              (Strings{"file dialog | loading database...",
                       "Form2 The following data format was identified in the database:\r\n"
                       "Number of haplotypes: 2\r\nNumber of markers: 2\r\n"
                       "1 cell such as \"15.2\" read as whole repeats; \"Read genotypes\" "
                       "keeps them | "}));
    const StringGrid& table = workspace.StringGrid1;
    EXPECT_EQ(table.RowCount(), 5) << "the sheet's 3 rows and two blank ones";
    EXPECT_EQ(table.Cells(7, 2), "15") << "tidied";
    EXPECT_FALSE(table.goEditing());
    EXPECT_EQ(table.ColWidths(1), 10 * 7 + 6);
    EXPECT_EQ(views(), "1000");
    EXPECT_EQ(enabled(), "0000");
    EXPECT_FALSE(workspace.databaseHasErrors);
    EXPECT_EQ(faultyCellCount(workspace.StringGrid6), 0);
    EXPECT_EQ(workspace.StringGrid5.Cells(0, 0), "");
    EXPECT_EQ(workspace.StringGrid5.RowCount(), 1);
    EXPECT_EQ(workspace.StringGrid7.RowCount(), 2);
    EXPECT_EQ(workspace.StringGrid7.ColCount(), 7);
    EXPECT_EQ(workspace.statusLine, "");
    EXPECT_EQ(dialogs.fileDialogsRun.at(0).defaultExtension, "xls");
    // Every kind of table the program reads is offered first, then the list Save offers.
    auto filters = dialogs.fileDialogsRun.at(0).filters;
    ASSERT_EQ(filters.size(), spreadsheetFilters().size() + 1);
    EXPECT_EQ(filters.front().first, "Tables (*.xls *.xlsx *.ods *.csv *.tsv *.txt)");
    EXPECT_EQ(filters.front().second, "*.xls *.xlsx *.ods *.csv *.tsv *.txt");
    filters.erase(filters.begin());
    EXPECT_EQ(filters, spreadsheetFilters());
    EXPECT_EQ(commands.OpenDialog1.fileName, (directory / "db.csv").string());
}

TEST_F(LoadCommand, AGivenFileLoadsWithoutItsDialog) {
    dialogs.formActions = {[] {}};
    commands.load(InputRole::Database, file("db.csv", kCleanDatabase));
    EXPECT_TRUE(dialogs.fileDialogsRun.empty());
    EXPECT_EQ(workspace.StringGrid1.Cells(7, 1), "14");
    EXPECT_EQ(views(), "1000");
    EXPECT_EQ(commands.OpenDialog1.fileName, (directory / "db.csv").string())
        << "the dialog opens there next time";
}

TEST_F(LoadCommand, CleanSearchThenCancelLeavesOneEmptyCell) {
    workspace.StringGrid1.setVisible(true);
    dialogs.fileAnswers = {file("search.csv", kCleanSearch)};
    dialogs.formActions = {[&] { commands.forms.Form3.Button2Click(); }};
    commands.Button2Click();
    EXPECT_EQ(dialogs.log.at(1), "Form3 The following data format was identified in the "
                                 "haplotypes for search:\r\nNumber of haplotypes: 1\r\n"
                                 "Number of markers: 2 | ");
    const StringGrid& table = workspace.StringGrid2;
    EXPECT_EQ(table.ColCount(), 1);
    EXPECT_EQ(table.RowCount(), 1);
    EXPECT_EQ(table.FixedRows(), 0);
    EXPECT_FALSE(isLoaded(table));
    EXPECT_EQ(views(), "0100");
    EXPECT_FALSE(workspace.searchHasErrors);
}

// A cancelled dialog is no load: the table, perhaps edited by hand, and all else stay.
TEST_F(LoadCommand, ACancelledDialogChangesNothing) {
    for (const InputRole role : {InputRole::Database, InputRole::Search}) {
        StringGrid& table = workspace.inputTable(role);
        table = test::inputTable({{"id"}, {"1"}});
        table.setVisible(true);
        table.setGoEditing(true);
        workspace.databaseHasErrors = true;
        workspace.StringGrid5.setCells(0, 0, "result");
        workspace.enabled = {true, true, true, false};
        workspace.StringGrid6.setCells(0, 0, "8");
        workspace.statusLine = "status";
        const std::string viewsBefore = views();
        for (const auto& run : std::vector<std::function<void()>>{
                 [&] { commands.load(role); },   // the file dialog cancelled
                 [&] { commands.import(role); }, // the file dialog cancelled
                 [&] {                           // the import dialog cancelled
                     dialogs.fileAnswers = {fixture("import-derived.csv")};
                     dialogs.importActions = {[](ImportPreview&) { return false; }};
                     commands.import(role);
                 }}) {
            run();
            EXPECT_EQ(test::row(table, 1), Strings{"1"});
            EXPECT_TRUE(table.Visible());
            EXPECT_TRUE(table.goEditing());
            EXPECT_EQ(views(), viewsBefore);
            EXPECT_EQ(enabled(), "1110");
            EXPECT_TRUE(workspace.databaseHasErrors);
            EXPECT_EQ(faultyCellCount(workspace.StringGrid6), 1);
            EXPECT_EQ(workspace.StringGrid5.Cells(0, 0), "result");
            EXPECT_EQ(workspace.statusLine, "status");
        }
    }
}

// The title names the files of the loaded tables, and only while they are loaded.
TEST_F(LoadCommand, TheTitleNamesTheFilesOfTheLoadedTables) {
    EXPECT_EQ(mainWindowTitle(workspace), "Tarnwick");
    dialogs.fileAnswers = {file("database.csv", kCleanDatabase), file("search.csv", kCleanSearch)};
    dialogs.formActions = {[] {}, [] {}};
    commands.Button1Click();
    commands.Button2Click();
    EXPECT_EQ(mainWindowTitle(workspace), "Tarnwick \u2014 database.csv, search.csv");
    workspace.readGenotypes = true;
    EXPECT_EQ(mainWindowTitle(workspace),
              "Tarnwick \u2014 database.csv, search.csv \u2014 genotypes");
    dialogs.fileAnswers = {file("other.csv", kCleanDatabase)};
    dialogs.formActions = {[&] { commands.forms.Form2.Button2Click(); }};
    commands.Button1Click();
    EXPECT_EQ(mainWindowTitle(workspace), "Tarnwick \u2014 search.csv \u2014 genotypes")
        << "the database was discarded";
}

TEST_F(LoadCommand, FaultyDatabaseThenCancel) {
    workspace.StringGrid5 = test::inputTable({{"a", "b"}});
    dialogs.fileAnswers = {file("db.csv", kFaultyDatabase)};
    dialogs.formActions = {[&] {
        EXPECT_EQ(views(), "0010");
        EXPECT_EQ(workspace.StringGrid5.RowCount(), 1);
        EXPECT_EQ(workspace.StringGrid5.FixedRows(), 0);
        commands.forms.Form4.Button2Click();
    }};
    commands.Button1Click();
    EXPECT_EQ(dialogs.log.at(1), "Form4 3 | error");
    EXPECT_EQ(test::row(workspace.StringGrid6, 0), (Strings{"8", "9", "9"}));
    EXPECT_EQ(test::row(workspace.StringGrid6, 1), (Strings{"3", "2", "4"}));
    EXPECT_EQ(workspace.StringGrid1.RowCount(), 2);
    EXPECT_FALSE(isLoaded(workspace.StringGrid1));
    EXPECT_EQ(views(), "0010");
    EXPECT_EQ(enabled(), "0000");
    EXPECT_TRUE(workspace.databaseHasErrors);
    EXPECT_EQ(workspace.statusLine, "");
}

// One "NA" repeated down 49 columns of 980,000 rows: every fault counted, the first million
// marked (column H whole, then column I down to row 20,001).
TEST_F(LoadCommand, MillionsOfFaultsAreCountedAndTheFirstMillionMarked) {
    dialogs.fileAnswers = {fixture("hostile/repeated-faults.ods")};
    dialogs.formActions = {[&] { commands.forms.Form4.Button2Click(); }};
    commands.Button1Click();
    EXPECT_EQ(dialogs.log.at(1), "Form4 42140000 | error");
    ASSERT_EQ(workspace.StringGrid6.ColCount(), 1'000'000);
    EXPECT_EQ(workspace.StringGrid6.Cells(999'999, 0), "9");
    EXPECT_EQ(workspace.StringGrid6.Cells(999'999, 1), "20001");
}

TEST_F(LoadCommand, FaultyDatabaseThenEditShowsTheTidiedTable) {
    workspace.StringGrid2.setVisible(true);
    dialogs.fileAnswers = {file("db.csv", kFaultyDatabase)};
    dialogs.formActions = {[&] { commands.forms.Form4.Button3Click(); }};
    commands.Button1Click();
    const StringGrid& table = workspace.StringGrid1;
    EXPECT_EQ(table.RowCount(), 4) << "the blank rows removed";
    EXPECT_EQ(table.Cells(8, 3), "") << ".5 tidied to nothing";
    EXPECT_EQ(table.ColWidths(8), 6 * 7 + 6) << "\"DYS390\" is the widest";
    EXPECT_EQ(views(), "1000");
    EXPECT_EQ(enabled(), "1000") << "Save button on, Save item off";
    EXPECT_TRUE(workspace.databaseHasErrors);
    EXPECT_EQ(faultyCellCount(workspace.StringGrid6), 3);
}

TEST_F(LoadCommand, FaultySearchThenEditHidesTheDatabase) {
    workspace.StringGrid1 = test::inputTable({{"id"}, {"1"}});
    workspace.StringGrid1.setVisible(true);
    workspace.databaseHasErrors = true;
    dialogs.fileAnswers = {file("search.csv", kFaultySearch)};
    dialogs.formActions = {[&] { commands.forms.Form10.Button3Click(); }};
    commands.Button2Click();
    EXPECT_EQ(dialogs.log.at(1), "Form10 1 | error");
    EXPECT_EQ(views(), "0100");
    EXPECT_TRUE(workspace.searchHasErrors);
    EXPECT_TRUE(workspace.databaseHasErrors) << "the other flag stays";
    EXPECT_EQ(test::row(workspace.StringGrid6, 0), (Strings{"4"})) << "the search table's list";
}

TEST_F(LoadCommand, ClosingTheDataErrorDialogKeepsTheTableLoaded) {
    dialogs.fileAnswers = {file("search.csv", kFaultySearch)};
    commands.Button2Click(); // no action: closed by the title bar
    EXPECT_TRUE(isLoaded(workspace.StringGrid2));
    EXPECT_EQ(views(), "0010");
    EXPECT_TRUE(workspace.searchHasErrors);
}

TEST_F(LoadCommand, SaveWritesTheHighlightedWorkbookThenDiscardsTheTable) {
    const auto database = file("db.csv", kFaultyDatabase);
    // The workbook is an .xlsx package: the database dialog adds ".xlsx" to a name typed without
    // an extension, and keeps one that is typed.
    const struct {
        std::string typed, saved;
    } cases[] = {{"highlighted", "highlighted.xlsx"}, {"kept.xls", "kept.xls"}};
    for (const auto& c : cases) {
        dialogs.log.clear();
        dialogs.fileAnswers = {database, (directory / c.typed).string()};
        dialogs.formActions = {[&] { commands.forms.Form4.Button1Click(); }};
        commands.Button1Click();
        EXPECT_EQ(dialogs.log,
                  (Strings{"file dialog | loading database...", "Form4 3 | error",
                           std::string("message ") + kHighlightedSaveWarning + " | error",
                           "file dialog | saving...", "message save! | saving..."}));
        const auto saved = (directory / c.saved).string();
        ASSERT_TRUE(fs::exists(saved)) << c.typed;
        EXPECT_EQ(commands.forms.Form4.SaveDialog1.fileName, saved);
        EXPECT_FALSE(isLoaded(workspace.StringGrid1));
        EXPECT_EQ(views(), "0010");
        EXPECT_TRUE(workspace.databaseHasErrors);
        // The workbook loads again: the tidied table.
        StringGrid again(1, 2);
        ReadWorkbookIntoTable(
            again, readInputTable(saved, InputRole::Database, CellReading::TidiedIntegers));
        EXPECT_EQ(again.Cells(7, 2), "NA");
        EXPECT_EQ(again.Cells(8, 1), "12,13");
        EXPECT_EQ(again.RowCount(), 4 + 2);
    }
    const auto& filters = dialogs.fileDialogsRun.back().filters;
    ASSERT_FALSE(filters.empty());
    EXPECT_EQ(filters.front(), (std::pair<std::string, std::string>{"Excel workbook", "*.xlsx"}));
}

TEST_F(LoadCommand, SearchDialogAddsTheWorkbooksExtensionAsTheDatabasesDoes) {
    const auto typed = (directory / "search-highlighted").string();
    dialogs.fileAnswers = {file("search.csv", kFaultySearch), typed};
    dialogs.formActions = {[&] { commands.forms.Form10.Button1Click(); }};
    commands.Button2Click();
    EXPECT_TRUE(fs::exists(typed + ".xlsx"));
    EXPECT_FALSE(isLoaded(workspace.StringGrid2));
    EXPECT_EQ(dialogs.fileDialogsRun.back().filters, commands.forms.Form4.SaveDialog1.filters);
    EXPECT_EQ(dialogs.fileDialogsRun.back().defaultExtension, "xlsx");
}

TEST_F(LoadCommand, SaveWithTheFileDialogCancelledStillDiscards) {
    dialogs.fileAnswers = {file("db.csv", kFaultyDatabase), std::nullopt};
    dialogs.formActions = {[&] { commands.forms.Form4.Button1Click(); }};
    commands.Button1Click();
    EXPECT_EQ(dialogs.log.back(), "file dialog | saving...");
    EXPECT_FALSE(isLoaded(workspace.StringGrid1));
    EXPECT_EQ(fs::directory_iterator(directory)->path().filename(), "db.csv");
}

TEST_F(LoadCommand, ASaveThatCannotWriteNamesTheFileAndKeepsTheTable) {
    // A folder that does not exist cannot be written for any user, root included.
    const auto target = (directory / "no such folder" / "out.xlsx").string();
    dialogs.fileAnswers = {file("db.csv", kFaultyDatabase), target};
    std::string error;
    dialogs.formActions = {[&] {
        try {
            commands.forms.Form4.Button1Click();
        } catch (const Error& e) {
            error = e.what();
        }
        // The dialog is still open: the table is loaded and the user can choose again.
        EXPECT_TRUE(isLoaded(workspace.StringGrid1));
        EXPECT_EQ(workspace.statusLine, "saving...");
        commands.forms.Form4.Button2Click();
    }};
    commands.Button1Click();
    EXPECT_EQ(error, "Cannot create file \"" + target + "\". No such file or directory");
    EXPECT_EQ(dialogs.log.back(), "file dialog | saving...") << "no \"save!\"";
    EXPECT_FALSE(isLoaded(workspace.StringGrid1)) << "then Cancel discarded it";
}

TEST_F(LoadCommand, AReaderFailureEndsTheCommandWhereItIs) {
    workspace.databaseHasErrors = true;
    workspace.StringGrid1.setVisible(true);
    dialogs.fileAnswers = {(directory / "missing").string()};
    EXPECT_THROW(commands.Button1Click(), Error);
    EXPECT_EQ(workspace.statusLine, "loading database...");
    EXPECT_FALSE(workspace.StringGrid1.Visible());
    EXPECT_EQ(workspace.StringGrid1.ColCount(), 1);
    EXPECT_EQ(workspace.StringGrid1.RowCount(), 2);
    EXPECT_TRUE(workspace.databaseHasErrors);
    EXPECT_EQ(faultyCellCount(workspace.StringGrid6), 0);
    EXPECT_EQ(commands.OpenDialog1.fileName, (directory / "missing.xls").string())
        << "a name typed without an extension gets the default one";
}

TEST(FormatMessage, CountsHaplotypesAndMarkersNeverBelowZero) {
    StringGrid sheet(27, 51 + 2);
    EXPECT_EQ(formatMessage(InputRole::Database, sheet),
              "The following data format was identified in the database:\r\n"
              "Number of haplotypes: 50\r\nNumber of markers: 20");
    StringGrid narrow(3, 3);
    EXPECT_EQ(formatMessage(InputRole::Database, narrow).substr(59),
              "Number of haplotypes: 0\r\nNumber of markers: 0");
    StringGrid single(1, 4);
    EXPECT_EQ(formatMessage(InputRole::Search, single).substr(72),
              "Number of haplotypes: 1\r\nNumber of markers: 0");
}

TEST_F(LoadCommand, TheResultCommandsFollowTheMainWindowsTable) {
    dialogs.fileAnswers = {file("db.csv", kCleanDatabase), file("search.csv", kCleanSearch)};
    commands.Button1Click();
    commands.Button2Click();
    workspace.stepLimit = "3";
    calculate(workspace, dialogs, measurer);
    EXPECT_EQ(enabled(), "1110");
    EXPECT_EQ(views(), "0010");
    // A load whose file dialog is cancelled changes nothing.
    commands.Button2Click();
    EXPECT_EQ(enabled(), "1110");
    // A load that reads a file disables them all.
    dialogs.fileAnswers = {file("search2.csv", kCleanSearch)};
    commands.Button2Click();
    EXPECT_EQ(enabled(), "0000");
}

// An import installs its table as a load does: a clean one behind the format message with what
// the import found, a faulty one behind the data error dialog; a cancelled one changes nothing.
TEST_F(LoadCommand, ImportInstallsTheTableAsALoadDoes) {
    dialogs.fileAnswers = {fixture("import-derived.csv")};
    dialogs.formActions = {[] {}};
    dialogs.importActions = {[](ImportPreview& preview) {
        preview.mark(7, ColumnRole::Locus); // "DYS385sum", derived, read as a locus after all
        return true;
    }};
    commands.import(InputRole::Database);
    EXPECT_EQ(dialogs.log, (Strings{"file dialog | loading database...",
                                    "import dialog 6 rows, 4 men, 4 loci; 2 rows typed at no "
                                    "locus | loading database...",
                                    "Form2 The following data format was identified in the "
                                    "database:\r\nNumber of haplotypes: 6\r\nNumber of markers: 5"
                                    "\r\nPopulation from column \"Population Code\"\r\nRows "
                                    "typed at no locus: 2 | "}));
    const StringGrid& table = workspace.StringGrid1;
    EXPECT_EQ(test::row(table, 0),
              (Strings{"ID", "Population Code", "order", "sex", "haplogroup", "", "", "DYS19",
                       "DYS385a", "DYS385b", "DYS385sum", "DYS390"}));
    EXPECT_EQ(views(), "1000");
    EXPECT_EQ(workspace.databaseReading, CellReading::Genotypes);
    EXPECT_EQ(workspace.statusLine, "");

    dialogs.log.clear();
    dialogs.fileAnswers = {file("search.csv", "sample,DYS19,DYS390\nS1,14,x\n")};
    dialogs.formActions = {[] {}};
    commands.import(InputRole::Search);
    EXPECT_EQ(dialogs.log.back(), "Form10 1 | error");
    EXPECT_TRUE(workspace.searchHasErrors);
    EXPECT_EQ(views(), "0010");

    dialogs.fileAnswers = {fixture("import-derived.csv")};
    dialogs.importActions = {[](ImportPreview&) { return false; }};
    commands.import(InputRole::Database);
    EXPECT_EQ(test::row(workspace.StringGrid1, 0).at(0), "ID") << "the table imported stays";
    EXPECT_EQ(workspace.statusLine, "");
    EXPECT_EQ(dialogs.log.back(), "import dialog 6 rows, 4 men, 4 loci; 2 rows typed at no locus "
                                  "| loading database...")
        << "no form after a cancelled import";
}

// The dialog offers OK only for settings that import.
TEST(ImportPreviewOutcome, TellsWhetherTheSettingsImport) {
    ImportPreview preview(fixture("import-derived.csv"), InputRole::Database);
    EXPECT_TRUE(preview.outcome().importable);
    for (const int locus : {4, 5, 6, 8})
        preview.mark(locus, ColumnRole::Other);
    const ImportPreview::Outcome none = preview.outcome();
    EXPECT_FALSE(none.importable);
    EXPECT_NE(none.text.find("has no column titled as a locus"), std::string::npos) << none.text;
}

// A read cancelled at its first report, halfway or at its last leaves the old table, its views,
// the enabled commands and the status line, and shows nothing.
TEST_F(LoadCommand, ACancelledReadKeepsTheOldTable) {
    std::string rows = "id,population,c2,c3,c4,c5,c6,DYS19,DYS390\n";
    for (int r = 0; r < 10000; ++r)
        rows += std::to_string(r) + ",X,,,,,,14,24\n";
    const std::string large = file("large.csv", rows);
    const std::string old = file("old.csv", kCleanDatabase);
    const auto shown = [&] {
        std::string state = views() + enabled() + workspace.statusLine + "|" +
                            workspace.fileOf(InputRole::Database) + "|" +
                            std::to_string(dialogs.log.size());
        const StringGrid& table = workspace.StringGrid1;
        for (int row = 0; row < table.RowCount(); ++row)
            for (int col = 0; col < table.ColCount(); ++col)
                state += table.Cells(col, row) + ",";
        return state;
    };
    test::StoppingRunner whole;
    commands.load(InputRole::Database, large, whole);
    ASSERT_GE(whole.reports, 3U);
    for (const std::size_t stopAt : {std::size_t{1}, whole.reports / 2, whole.reports}) {
        commands.load(InputRole::Database, old);
        workspace.statusLine = "as before";
        const std::string before = shown();
        test::StoppingRunner runner(stopAt);
        commands.load(InputRole::Database, large, runner);
        EXPECT_EQ(runner.phases, Strings{"Reading large.csv"});
        EXPECT_EQ(shown(), before) << "stopped at report " << stopAt;
    }
}

} // namespace
} // namespace tarnwick
