// Every published file of the real-data folder through both load commands, as a user would load
// them unchanged: multi-copy loci, microvariants, "NA" and "--" cells and spaced headers must end
// in the data-error dialog or the confirmation, with nothing lost. Skips when the folder is absent.

#include "RealFiles.h"
#include "ScriptedDialogs.h"
#include "commands/LoadCommand.h"
#include "commands/TableOperations.h"
#include "io/WorkbookReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing_files::kRealFiles;

TEST(RealFilesLoad, EveryFileLoadsAsDatabaseAndAsSearchTable) {
    if (!fs::is_directory(kRealFiles))
        GTEST_SKIP() << kRealFiles << " is absent";
    const std::vector<fs::path> paths = testing_files::realFiles();
    EXPECT_EQ(paths.size(), 16u);
    for (const fs::path& file : paths) {
        const std::string path = file.string();
        const auto asRead = readHaplotypeTable(path, kSheetLayout, CellReading::Integers).table;
        for (InputRole role : {InputRole::Database, InputRole::Search}) {
            Workspace workspace;
            test::ScriptedDialogs dialogs(workspace);
            FixedWidthMeasurer measurer(7);
            LoadCommands commands(workspace, dialogs, measurer);
            dialogs.fileAnswers = {path};
            // "Edit.." on a data-error dialog, "OK" on a confirmation: the table stays loaded.
            dialogs.formActions = {[&] {
                if (role == InputRole::Database) {
                    if (dialogs.log.back().starts_with("Form4"))
                        commands.forms.Form4.Button3Click();
                } else if (dialogs.log.back().starts_with("Form10")) {
                    commands.forms.Form10.Button3Click();
                }
            }};
            commands.load(role);
            const StringGrid& table =
                role == InputRole::Database ? workspace.StringGrid1 : workspace.StringGrid2;
            const bool faulty = role == InputRole::Database ? workspace.databaseHasErrors
                                                            : workspace.searchHasErrors;
            const int faults = faultyCellCount(workspace.StringGrid6);
            EXPECT_EQ(faulty, faults > 0) << path;
            // Nothing lost: every row and column of the sheet is there, blank rows removed only
            // on the faulty path, and every cell outside the faults holds its tidied text.
            EXPECT_EQ(table.ColCount(), asRead->columnCount()) << path;
            EXPECT_EQ(table.RowCount(), asRead->rowCount() + 2 - (faulty ? 2 : 0)) << path;
            EXPECT_EQ(table.Cells(0, 0), asRead->title(0)) << path;
            EXPECT_TRUE(table.Visible()) << path;
            std::string shown = dialogs.log.at(1);
            shown = shown.substr(0, shown.find(" | "));
            if (!faulty)
                shown.replace(shown.find("\r\n", shown.find("haplotypes:")), 2, ", ");
            std::cout << file.filename().string()
                      << (role == InputRole::Database ? " as database: " : " as search: ")
                      << (faulty ? std::to_string(faults) + " faulty cells"
                                 : shown.substr(shown.find("Number of haplotypes")))
                      << "\n";
        }
    }
}

} // namespace
} // namespace tarnwick
