// The table of visible views and enabled commands, driven through every command.
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "commands/Calculation.h"
#include "commands/PopulationViews.h"
#include "commands/Program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

TEST(ViewStates, EveryCommandLeavesTheViewsAndCommandsTheTableGives) {
    test::ScriptedDialogs dialogs;
    const FixedWidthMeasurer measurer(7);
    Program program(dialogs, measurer);
    Workspace& w = program.workspace;
    dialogs.watch(w);
    const auto folder = testing_files::scratchPath("tarnwick-view-states");
    fs::create_directories(folder);
    const auto file = [&](const char* name, const char* content) {
        testing_files::writeFile(folder / name, content);
        return (folder / name).string();
    };
    const auto database = file("db.csv", "id,population,c2,c3,c4,c5,c6,DYS19\n1,X,,,,,,14\n");
    const auto faultyDatabase =
        file("dbf.csv", "id,population,c2,c3,c4,c5,c6,DYS19\n1,X,,,,,,NA\n");
    const auto search = file("s.csv", "sample,comment,DYS19\nS1,,14\n");
    const auto faultySearch = file("sf.csv", "sample,comment,DYS19\nS1,,x\n");
    LoadForms& forms = program.loads.forms;
    const auto load = [&](
                          InputRole role, std::optional<std::string> path,
                          std::function<void()> inDialog = [] {}) {
        return [&, role, path, inDialog] {
            dialogs.fileAnswers = {path};
            dialogs.formActions = {inDialog};
            program.loads.load(role);
        };
    };
    const struct {
        const char* command;
        std::function<void()> run;
        const char* views;   // StringGrid1, 2, 5, 7 visible
        const char* enabled; // Button4, Save1, Button5, Button6
    } steps[] = {
        {"window opened", [] {}, "0010", "0000"},
        {"load database, OK", load(InputRole::Database, database), "1000", "0000"},
        {"load search, OK", load(InputRole::Search, search), "0100", "0000"},
        {"calculate with matches",
         [&] {
             w.stepLimit = "1";
             calculate(w, dialogs, measurer);
         },
         "0010", "1110"},
        {"by populations", [&] { showByPopulations(w, measurer); }, "0001", "1101"},
        {"by haplotype(s)", [&] { showByHaplotypes(w); }, "0010", "1110"},
        {"calculate without a match",
         [&] {
             w.stepLimit = "-1";
             calculate(w, dialogs, measurer);
         },
         "0010", "1110"},
        {"load search, file dialog cancelled", load(InputRole::Search, std::nullopt), "0010",
         "1110"},
        {"load database with faults, Edit..",
         load(InputRole::Database, faultyDatabase, [&] { forms.Form4.Button3Click(); }), "1000",
         "1000"},
        {"calculate refused", [&] { calculate(w, dialogs, measurer); }, "1000", "1000"},
        {"load search with faults, Cancel",
         load(InputRole::Search, faultySearch, [&] { forms.Form10.Button2Click(); }), "0010",
         "0000"},
        {"load database with faults, Save cancelled",
         load(InputRole::Database, faultyDatabase, [&] { forms.Form4.Button1Click(); }), "0010",
         "0000"},
    };
    for (const auto& step : steps) {
        step.run();
        const auto bit = [](bool b) { return b ? '1' : '0'; };
        const std::string views{bit(w.StringGrid1.Visible()), bit(w.StringGrid2.Visible()),
                                bit(w.StringGrid5.Visible()), bit(w.StringGrid7.Visible())};
        const std::string enabled{bit(w.enabled.Button4), bit(w.enabled.Save1),
                                  bit(w.enabled.Button5), bit(w.enabled.Button6)};
        EXPECT_EQ(views, step.views) << step.command;
        EXPECT_EQ(enabled, step.enabled) << step.command;
    }
    fs::remove_all(folder);
}

} // namespace
} // namespace tarnwick
