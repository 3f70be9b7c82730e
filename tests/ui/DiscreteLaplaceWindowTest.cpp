// Calculate, "Discrete Laplace" in the window: checking it adds the two columns to the match
// probabilities shown, fitted behind the progress dialog.
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "commands/LoadCommand.h"
#include "commands/Program.h"
#include "ui/Fonts.h"
#include "ui/QtTextMeasurer.h"
#include "ui/Unit1.h"

#include <QAction>
#include <QApplication>
#include <gtest/gtest.h>

#include <filesystem>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

TEST(DiscreteLaplaceWindow, CheckingTheItemShowsTheTwoColumns) {
    const fs::path directory = testing_files::scratchPath("tarnwick-discrete-laplace-window");
    fs::create_directories(directory);
    test::ScriptedDialogs dialogs;
    const QtTextMeasurer measurer{msSansSerif8(), cellMarginBeyondPadding(QApplication::style())};
    Program program(dialogs, measurer);
    dialogs.watch(program.workspace);
    const auto load = [&](InputRole role, const char* name, const char* content) {
        testing_files::writeFile(directory / name, content);
        dialogs.fileAnswers = {(directory / name).string()};
        dialogs.formActions = {[] {}};
        program.loads.load(role);
    };
    load(InputRole::Database, "db.csv",
         "id,population,c2,c3,c4,c5,c6,DYS19,DYS390\n1,X,,,,,,14,24\n2,X,,,,,,14,23\n"
         "3,X,,,,,,15,24\n4,X,,,,,,13,22\n5,Y,,,,,,17,21\n6,Y,,,,,,17,22\n7,Y,,,,,,18,21\n");
    load(InputRole::Search, "s.csv", "sample,comment,DYS19,DYS390\nS1,,14,24\n");

    TForm1 form(program, dialogs, measurer);
    form.show();
    auto* item = form.findChild<QAction*>("DiscreteLaplace1");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "Discrete Laplace");
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());
    form.findChild<QAction*>("MatchProbabilities1")->trigger();
    auto* view = form.findChild<QTableView*>("MatchProbabilitiesView");
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    ASSERT_EQ(view->model()->columnCount(), 10);

    item->trigger();
    EXPECT_TRUE(item->isChecked());
    ASSERT_EQ(view->model()->columnCount(), 12);
    EXPECT_EQ(view->model()->headerData(10, Qt::Horizontal, Qt::DisplayRole).toString(),
              "discrete_laplace");
    EXPECT_EQ(view->model()->headerData(11, Qt::Horizontal, Qt::DisplayRole).toString(),
              "clusters");
    EXPECT_FALSE(view->model()->index(0, 10).data().toString().isEmpty()) << "S1 in X";
    EXPECT_GT(view->columnWidth(11), 0);
    fs::remove_all(directory);
}

} // namespace
} // namespace tarnwick
