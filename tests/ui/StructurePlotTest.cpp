// Calculate, "Population structure" in the window: the plot drawn into SVG and an image, the menu
// item's run on its worker thread, "Save plot", and Cancel of the progress dialog.
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "commands/LoadCommand.h"
#include "commands/Program.h"
#include "commands/StructureView.h"
#include "ui/Fonts.h"
#include "ui/LeftOutMenDialog.h"
#include "ui/QtTextMeasurer.h"
#include "ui/StructurePlotDrawing.h"
#include "ui/StructureProgress.h"
#include "ui/StructureSettingsDialog.h"
#include "ui/StructureWidget.h"
#include "ui/Unit1.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// Three populations, one with a name outside ASCII and one with a character XML escapes.
std::string database(int menPerPopulation) {
    const char* const names[] = {"Mari", "Коми-пермяки", "Poles & Finns"};
    std::string csv = "id,population,c2,c3,c4,c5,c6,DYS19,DYS390,DYS391\n";
    std::uint32_t state = 7;
    const auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
    for (int man = 0; man < 3 * menPerPopulation + 2; ++man) {
        const int p = man % 3;
        csv += std::to_string(man) + "," + names[p] + ",,,,,";
        for (int locus = 0; locus < 3; ++locus)
            csv += "," + std::to_string(12 + 2 * p * (locus == p) + static_cast<int>(next() % 4));
        csv += "\n";
    }
    return csv;
}

class StructureWindow : public ::testing::Test {
protected:
    StructureWindow()
        : directory(testing_files::scratchPath("tarnwick-structure-window")),
          program(dialogs, measurer) {
        dialogs.watch(program.workspace);
        fs::create_directories(directory);
    }
    ~StructureWindow() override { fs::remove_all(directory); }

    void loadDatabase(int menPerPopulation, const std::string& extraRows = "") {
        const auto path = (directory / "db.csv").string();
        testing_files::writeFile(path, database(menPerPopulation) + extraRows);
        dialogs.fileAnswers = {path};
        dialogs.formActions = {[] {}};
        program.loads.load(InputRole::Database);
    }

    fs::path directory;
    test::ScriptedDialogs dialogs;
    const QtTextMeasurer measurer{msSansSerif8(), cellMarginBeyondPadding(QApplication::style())};
    Program program;
};

TEST_F(StructureWindow, ThePlotDrawsOneLabelledPointPerPopulation) {
    loadDatabase(10);
    ASSERT_TRUE(runPopulationStructure(program.workspace, {}, measurer));
    const StructureResult& result = *program.workspace.structure.result;
    const StructurePlot plot = structurePlotOf(result, 640, 480);

    const std::string svg = structurePlotSvg(plot).toStdString();
    for (const char* label :
         {"Mari", "Коми-пермяки", "Poles &amp; Finns", "Coordinate 1", "Goodness of fit"})
        EXPECT_NE(svg.find(label), std::string::npos) << label;
    std::size_t ellipses = 0;
    for (const char* element : {"<ellipse", "<circle"})
        for (auto at = svg.find(element); at != std::string::npos; at = svg.find(element, at + 1))
            ++ellipses;
    EXPECT_EQ(ellipses, 3u);

    const QImage image = structurePlotImage(plot);
    const auto path = fs::path(TARNWICK_TEST_ARTEFACTS) / "population-structure-plot.png";
    fs::create_directories(path.parent_path());
    ASSERT_TRUE(image.save(QString::fromStdString(path.string())));
    // Each point's centre is painted in the points' blue, and nowhere else near the corners.
    for (const PlotPoint& point : plot.points) {
        const QColor centre =
            image.pixelColor(static_cast<int>(point.x), static_cast<int>(point.y));
        EXPECT_GT(centre.blue(), centre.red() + 40) << point.label;
    }
    const QColor corner =
        image.pixelColor(static_cast<int>(plot.right) - 2, static_cast<int>(plot.top) + 2);
    EXPECT_EQ(corner, QColor(Qt::white));
}

TEST_F(StructureWindow, TheMenuItemRunsOnAWorkerAndSavePlotWritesTheChosenFormat) {
    TForm1 form(program, dialogs, measurer);
    form.show();
    auto* item = form.findChild<QAction*>("PopulationStructure1");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "Population structure");
    EXPECT_FALSE(item->isEnabled());
    loadDatabase(10);
    form.refreshWidgets();
    ASSERT_TRUE(item->isEnabled());
    // The settings dialog opens modally: choose PhiST and accept it.
    QTimer::singleShot(0, &form, [&form] {
        auto* settings = form.findChild<StructureSettingsDialog*>();
        ASSERT_NE(settings, nullptr);
        settings->findChild<QComboBox*>("Distance")->setCurrentIndex(1);
        settings->accept();
    });
    item->trigger();
    auto* view = form.findChild<StructureWidget*>("PopulationStructureView");
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    ASSERT_TRUE(program.workspace.structure.result);
    EXPECT_EQ(program.workspace.structure.result->settings.distance, StructureDistance::Fst);
    EXPECT_EQ(program.workspace.structure.amova.Cells(0, 4), "PhiST");
    EXPECT_EQ(form.findChild<QTableView*>("PairwiseTable")->model()->rowCount(), 3);
    QApplication::processEvents();
    const auto shot = fs::path(TARNWICK_TEST_ARTEFACTS) / "main-window-population-structure.png";
    fs::create_directories(shot.parent_path());
    EXPECT_TRUE(form.grab().toImage().save(QString::fromStdString(shot.string())));

    dialogs.fileAnswers = {(directory / "plot").string(), (directory / "plot.png").string(),
                           (directory / "plot.jpg").string()};
    auto* savePlot = form.findChild<QPushButton*>("SavePlot");
    for (int i = 0; i < 3; ++i)
        savePlot->click();
    EXPECT_EQ(testing_files::readFile(directory / "plot.svg").rfind("<?xml", 0), 0u);
    EXPECT_EQ(testing_files::readFile(directory / "plot.png").substr(1, 3), "PNG");
    EXPECT_FALSE(fs::exists(directory / "plot.jpg"));
    ASSERT_FALSE(dialogs.log.empty());
    EXPECT_NE(dialogs.log.back().find(".svg or .png"), std::string::npos) << dialogs.log.back();
}

TEST_F(StructureWindow, CancelStopsTheWorkerAndGivesNothing) {
    loadDatabase(400);
    const StructureSample sample = structureSampleOf(program.workspace);
    QWidget parent;
    QTimer::singleShot(150, &parent, [&parent] {
        auto* progress = parent.findChild<QProgressDialog*>("PopulationStructureProgress");
        ASSERT_NE(progress, nullptr);
        EXPECT_TRUE(progress->isVisible());
        progress->cancel();
    });
    const auto result = computeWithProgress(&parent, sample, {StructureDistance::Rst, 99999, 0.05});
    EXPECT_FALSE(result);
}

TEST_F(StructureWindow, MenLeftOutAreListedOnRequestAndSaved) {
    const StructureSettings kQuick{StructureDistance::Rst, 999, 0.05};
    TForm1 form(program, dialogs, measurer);
    form.show();
    loadDatabase(4);
    ASSERT_TRUE(runPopulationStructure(program.workspace, kQuick, measurer));
    form.refreshWidgets();
    auto* button = form.findChild<QPushButton*>("LeftOutMen");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isEnabled()) << "no man was left out";

    loadDatabase(4, "x,Mari,,,,,,14,,12\n");
    ASSERT_TRUE(runPopulationStructure(program.workspace, kQuick, measurer));
    form.refreshWidgets();
    ASSERT_TRUE(button->isEnabled());
    dialogs.fileAnswers = {(directory / "left-out.csv").string()};
    int listed = -1;
    QTimer::singleShot(0, &form, [&] {
        auto* dialog = form.findChild<LeftOutMenDialog*>("LeftOutMenDialog");
        ASSERT_NE(dialog, nullptr);
        listed = dialog->findChild<QTableView*>("LeftOutMenTable")->model()->rowCount();
        dialog->findChild<QPushButton*>("SaveLeftOutMen")->click();
        dialog->accept();
    });
    button->click();
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(testing_files::readFile(directory / "left-out.csv"),
              "Row,Population,Locus,Reason\r\n16,Mari,DYS390,missing\r\n");
}

} // namespace
} // namespace tarnwick
