#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "commands/ViewStates.h"
#include "ui/Fonts.h"
#include "ui/GridModel.h"
#include "ui/ImportDialog.h"
#include "ui/QtDialogs.h"
#include "ui/QtTextMeasurer.h"
#include "ui/Translation.h"
#include "ui/Unit1.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/Unit5.h"
#include "ui/Unit6.h"
#include "ui/Unit7.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <QMenu>

#include <filesystem>
#include <set>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// A control of a window, found by its name as the windows declare it.
// The import dialog's outcome once the file has been read through for it.
QString settledOutcome(const QObject* dialog) {
    const auto* worker = dialog->findChild<ImportOutcomeWorker*>();
    EXPECT_TRUE(worker && QTest::qWaitFor([&] { return !worker->pending(); }, 10000));
    return dialog->findChild<QLabel*>("Outcome")->text();
}

template <typename T> T* widget(const QObject* window, const char* name) {
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// The measurer the program makes for its views.
QtTextMeasurer viewMeasurer() {
    return QtTextMeasurer(msSansSerif8(), cellMarginBeyondPadding(QApplication::style()));
}
using testing_files::writeFile;

const char* const kDatabase = "id,population,c2,c3,c4,c5,c6,DYS19,DYS390\n"
                              "1,X,,,,,,14,24\n2,Y,,,,,,15,23\n3,X,,,,,,14,25\n";
const char* const kFaultyDatabase = "id,population,c2,c3,c4,c5,c6,DYS19,DYS390\n"
                                    "1,X,,,,,,NA,24\n2,Y,,,,,,15,23\n";
const char* const kSearch = "sample,comment,DYS390,DYS19\nS1,,24,14\n";

class MainWindow : public ::testing::Test {
protected:
    MainWindow() : program(dialogs, measurer), form(program, dialogs, measurer) {
        dialogs.watch(program.workspace);
        directory = testing_files::scratchPath("tarnwick-ui-test");
        fs::create_directories(directory);
        form.show();
        QApplication::processEvents();
    }
    ~MainWindow() override { fs::remove_all(directory); }

    std::string file(const std::string& name, const char* content) {
        const auto path = (directory / name).string();
        writeFile(path, content);
        return path;
    }
    // Visible views 1, 2, 5, 7 and enabled Button4, Save1, Button5, Button6, as the widgets show.
    std::string views() const {
        return std::to_string(widget<QTableView>(&form, "StringGrid1")->isVisible()) +
               std::to_string(widget<QTableView>(&form, "StringGrid2")->isVisible()) +
               std::to_string(widget<QTableView>(&form, "StringGrid5")->isVisible()) +
               std::to_string(widget<QTableView>(&form, "StringGrid7")->isVisible());
    }
    std::string enabled() const {
        return std::to_string(widget<QPushButton>(&form, "Button4")->isEnabled()) +
               std::to_string(widget<QAction>(&form, "Save1")->isEnabled()) +
               std::to_string(widget<QPushButton>(&form, "Button5")->isEnabled()) +
               std::to_string(widget<QPushButton>(&form, "Button6")->isEnabled());
    }
    QWidget* client() const { return form.centralWidget(); }
    // The database and the search set loaded clean, each through its button, "OK" to both.
    void loadBothTablesByTheirButtons() {
        dialogs.fileAnswers = {file("db.csv", kDatabase)};
        dialogs.formActions = {[] {}};
        widget<QPushButton>(&form, "Button1")->click();
        dialogs.fileAnswers = {file("search.csv", kSearch)};
        dialogs.formActions = {[] {}};
        widget<QPushButton>(&form, "Button2")->click();
    }

    test::ScriptedDialogs dialogs;
    const QtTextMeasurer measurer = viewMeasurer();
    Program program;
    TForm1 form;
    fs::path directory;
};

TEST_F(MainWindow, OpensInItsSpecifiedState) {
    EXPECT_EQ(form.windowTitle(), "Tarnwick");
    EXPECT_EQ(client()->size(), QSize(697, 515));
    EXPECT_EQ(views(), "0010");
    EXPECT_EQ(enabled(), "0000");
    for (const char* always : {"Button1", "Button2", "Button3", "ComboBox1"})
        EXPECT_TRUE(widget<QWidget>(&form, always)->isEnabled()) << always;
    EXPECT_EQ(widget<QComboBox>(&form, "ComboBox1")->currentText(), "");
    EXPECT_EQ(widget<QComboBox>(&form, "ComboBox1")->count(), 4);
    EXPECT_EQ(widget<QPushButton>(&form, "Button1")->text(), "Load database");
    EXPECT_EQ(widget<QPushButton>(&form, "Button2")->text(), "Load haplotype(s) for search");
    EXPECT_EQ(widget<QLabel>(&form, "Label1")->text(), "Number of steps(max):");
    EXPECT_EQ(widget<QLabel>(&form, "Label3")->text(), "Comment:");
    EXPECT_EQ(widget<QLabel>(&form, "Label2")->text(), "");
    EXPECT_EQ(widget<QAction>(&form, "Numberofsteps1")->text(), "Number of steps(max)");
    EXPECT_EQ(widget<QAction>(&form, "Abouttheprogramme1")->text(), "About the programme");
}

TEST_F(MainWindow, ReadGenotypesIsTheLastSettingAndShowsInTheTitle) {
    auto* item = widget<QAction>(&form, "Readgenotypes1");
    ASSERT_NE(item, nullptr);
    const auto settings = widget<QAction>(&form, "Numberofsteps1")->associatedObjects();
    ASSERT_FALSE(settings.empty());
    auto* menu = qobject_cast<QMenu*>(settings.front());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().back(), item);
    EXPECT_EQ(item->text(), "Read genotypes");
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_TRUE(program.workspace.readGenotypes);
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Tarnwick \u2014 genotypes"));
    // The next load reads genotypes: "15.2" and "NA" are no faults.
    dialogs.fileAnswers = {file("db.csv", "id,population,c2,c3,c4,c5,c6,DYS19\n1,X,,,,,,15.2\n"
                                          "2,Y,,,,,,NA\n")};
    dialogs.formActions = {[] {}};
    widget<QPushButton>(&form, "Button1")->click();
    EXPECT_FALSE(program.workspace.databaseHasErrors);
    EXPECT_EQ(program.workspace.StringGrid1.Cells(7, 1), "15.2");
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Tarnwick \u2014 db.csv \u2014 genotypes"))
        << "the title names the file loaded";
    item->trigger();
    EXPECT_FALSE(program.workspace.readGenotypes);
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Tarnwick \u2014 db.csv"));
    EXPECT_EQ(program.workspace.databaseReading, CellReading::Genotypes) << "nothing emptied";
}

TEST_F(MainWindow, MatchProbabilitiesShowInTheirOwnViewOnceBothTablesAreLoaded) {
    auto* item = widget<QAction>(&form, "MatchProbabilities1");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "Match probabilities");
    EXPECT_FALSE(item->isEnabled());
    loadBothTablesByTheirButtons();
    ASSERT_TRUE(item->isEnabled());
    item->trigger();
    auto* view = widget<QTableView>(&form, "MatchProbabilitiesView");
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(views(), "0000");
    EXPECT_EQ(view->model()->rowCount(), 3) << "X, Y and All under the header";
    EXPECT_EQ(widget<QLabel>(&form, "Label2")->text(), kMatchProbabilitiesStatus);
    EXPECT_EQ(view->geometry(), widget<QTableView>(&form, "StringGrid5")->geometry());
    widget<QPushButton>(&form, "Button6")->click();
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(views(), "0010");
}

// A load cancelled through its progress dialog keeps the old table, the title, the views and the
// commands offered, and says nothing of the file.
TEST_F(MainWindow, ACancelledLoadKeepsTheOldTableTitleAndCommands) {
    loadBothTablesByTheirButtons();
    // Long enough to read that its progress shows.
    std::string rows = "id,population,c2,c3,c4,c5,c6,DYS19,DYS390\n";
    for (int r = 0; r < 600000; ++r)
        rows += std::to_string(r) + ",X,,,,,," + std::to_string(10 + r % 9) + ",24\n";
    const std::string large = file("large.csv", rows.c_str());
    const auto state = [&] {
        const QAbstractItemModel* model = widget<QTableView>(&form, "StringGrid1")->model();
        return form.windowTitle().toStdString() + "|" + views() + enabled() +
               std::to_string(widget<QAction>(&form, "MatchProbabilities1")->isEnabled()) + "|" +
               widget<QLabel>(&form, "Label2")->text().toStdString() + "|" +
               std::to_string(model->rowCount()) + "|" +
               model->index(1, 7).data().toString().toStdString();
    };
    const std::string before = state();
    const std::size_t messages = dialogs.log.size();
    bool cancelled = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = form.findChild<QProgressDialog*>("WorkProgress");
        if (cancelled || !dialog || !dialog->isVisible())
            return;
        auto* cancel = dialog->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        QTest::mouseClick(cancel, Qt::LeftButton);
        cancelled = true;
    });
    watch.start(10);
    dialogs.fileAnswers = {large};
    widget<QPushButton>(&form, "Button1")->click();
    watch.stop();
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(state(), before);
    EXPECT_EQ(dialogs.log.size(), messages + 1) << "the file dialog only";
}

TEST_F(MainWindow, LoadsTheFileItWasStartedWithAsTheDatabase) {
    dialogs.formActions = {[] {}};
    form.loadDatabaseFile(file("db.csv", kDatabase));
    EXPECT_EQ(views(), "1000");
    EXPECT_EQ(program.workspace.StringGrid1.Cells(7, 1), "14");
    EXPECT_TRUE(dialogs.fileDialogsRun.empty());
}

TEST_F(MainWindow, LaysItselfOutOnEveryResize) {
    struct Expected {
        QRect view, bevel1;
        QPoint label3, label2;
        int button3, button56, button4, combo;
    };
    const auto check = [&](const Expected& e) {
        for (const char* view : {"StringGrid1", "StringGrid2", "StringGrid5", "StringGrid7"})
            EXPECT_EQ(widget<QTableView>(&form, view)->geometry(), e.view) << view;
        EXPECT_EQ(widget<QFrame>(&form, "Bevel1")->geometry(), e.bevel1);
        EXPECT_EQ(widget<QLabel>(&form, "Label3")->pos(), e.label3);
        EXPECT_EQ(widget<QLabel>(&form, "Label3")->height(), 14);
        EXPECT_EQ(widget<QLabel>(&form, "Label2")->pos(), e.label2);
        EXPECT_EQ(widget<QPushButton>(&form, "Button3")->x(), e.button3);
        EXPECT_EQ(widget<QPushButton>(&form, "Button5")->x(), e.button56);
        EXPECT_EQ(widget<QPushButton>(&form, "Button6")->x(), e.button56);
        EXPECT_EQ(widget<QPushButton>(&form, "Button4")->x(), e.button4);
        EXPECT_EQ(widget<QComboBox>(&form, "ComboBox1")->width(), e.combo);
        EXPECT_EQ(widget<QComboBox>(&form, "ComboBox1")->x(), 276);
        EXPECT_EQ(widget<QPushButton>(&form, "Button1")->geometry(), QRect(1, 24, 103, 25));
        EXPECT_EQ(widget<QPushButton>(&form, "Button2")->geometry(), QRect(108, 24, 165, 25));
        EXPECT_EQ(widget<QPushButton>(&form, "Button5")->y(), 8);
        EXPECT_EQ(widget<QPushButton>(&form, "Button6")->y(), 40);
        EXPECT_EQ(widget<QPushButton>(&form, "Button4")->y(), 24);
        EXPECT_EQ(widget<QFrame>(&form, "Bevel2")->width(), form.frameGeometry().width());
    };
    check({{3, 70, 691, 430}, {3, 500, 691, 14}, {497, 500}, {557, 500}, 437, 517, 612, 157});
    form.resize(form.width() + 100, form.height() + 100);
    QApplication::processEvents();
    ASSERT_EQ(client()->size(), QSize(797, 615));
    check({{3, 70, 791, 530}, {3, 600, 791, 14}, {597, 600}, {657, 600}, 537, 617, 712, 257});
    // The window cannot be made smaller than it opens.
    form.resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(client()->size(), QSize(697, 515));
}

TEST_F(MainWindow, HandlersShowTheViewsAndCommandsTheirCommandsLeave) {
    // Load database without faults, "OK".
    dialogs.fileAnswers = {file("db.csv", kDatabase)};
    dialogs.formActions = {[&] { /* "OK" */ }};
    widget<QPushButton>(&form, "Button1")->click();
    EXPECT_EQ(views(), "1000");
    EXPECT_EQ(enabled(), "0000");
    EXPECT_EQ(widget<QTableView>(&form, "StringGrid1")->model()->rowCount(), 6 - 1)
        << "the header row is the header";
    EXPECT_EQ(widget<QTableView>(&form, "StringGrid1")->horizontalHeader()->isVisible(), true);
    // Load search, "OK"; calculate with a limit typed into the box.
    dialogs.fileAnswers = {file("search.csv", kSearch)};
    dialogs.formActions = {[&] { /* "OK" */ }};
    widget<QAction>(&form, "Loadhaplotypersforsearch1")->trigger();
    EXPECT_EQ(views(), "0100");
    widget<QComboBox>(&form, "ComboBox1")->setEditText("1");
    widget<QPushButton>(&form, "Button3")->click();
    EXPECT_EQ(views(), "0010");
    EXPECT_EQ(enabled(), "1110");
    EXPECT_EQ(widget<QTableView>(&form, "StringGrid5")->model()->rowCount(), 2) << "two matches";
    widget<QPushButton>(&form, "Button5")->click();
    EXPECT_EQ(views(), "0001");
    EXPECT_EQ(enabled(), "1101");
    widget<QPushButton>(&form, "Button6")->click();
    EXPECT_EQ(views(), "0010");
    EXPECT_EQ(enabled(), "1110");
    // A load whose file dialog is cancelled changes nothing.
    widget<QPushButton>(&form, "Button2")->click();
    EXPECT_EQ(views(), "0010");
    EXPECT_EQ(enabled(), "1110");
    EXPECT_EQ(widget<QLabel>(&form, "Label2")->text(), "");
    // The rest of the table (faulty loads, refusals) is the commands' own, checked without a
    // window by tests/commands/ViewStatesTest.cpp; here each handler only has to reach it.
}

// The status strip shows its text whole, moving left for a long one; only a text wider than the
// window is elided, whole in its tooltip.
TEST_F(MainWindow, TheStatusStripShowsItsTextWhole) {
    auto* label = widget<QLabel>(&form, "Label2");
    const QString longText = QString("match probabilities ").repeated(40);
    for (const QString& text : {QString(kMatchProbabilitiesStatus), longText}) {
        program.workspace.statusLine = text.toStdString();
        form.refreshWidgets();
        const QRect inClient = label->geometry();
        EXPECT_LE(inClient.right(), client()->width() - 3) << text.toStdString();
        EXPECT_GE(inClient.width(), label->sizeHint().width());
        EXPECT_LT(widget<QLabel>(&form, "Label3")->geometry().right(), inClient.left());
        const bool whole = text != longText;
        EXPECT_EQ(label->text() == text, whole);
        EXPECT_EQ(label->toolTip(), whole ? QString() : text);
    }
}

TEST_F(MainWindow, PaintsFaultyCellsRedAndMakesTheTableEditable) {
    dialogs.fileAnswers = {file("faulty.csv", kFaultyDatabase)};
    dialogs.formActions = {[&] { program.loads.forms.Form4.Button3Click(); }};
    widget<QPushButton>(&form, "Button1")->click();
    QApplication::processEvents();
    const auto pixel = [&](int viewRow, int col) {
        QTableView* view = widget<QTableView>(&form, "StringGrid1");
        const QRect cell = view->visualRect(view->model()->index(viewRow, col));
        const QImage image = view->viewport()->grab().toImage();
        return image.pixelColor(cell.center() + QPoint(cell.width() / 4, 0));
    };
    EXPECT_EQ(pixel(0, 7), QColor(255, 0, 0)) << "H2 holds NA";
    EXPECT_NE(pixel(1, 7), QColor(255, 0, 0));
    EXPECT_NE(pixel(0, 8), QColor(255, 0, 0));
    EXPECT_TRUE(program.workspace.StringGrid1.goEditing()) << "drawing turned editing on";
    // An edit in place goes into the table.
    QAbstractItemModel* model = widget<QTableView>(&form, "StringGrid1")->model();
    EXPECT_TRUE(model->flags(model->index(0, 7)) & Qt::ItemIsEditable);
    model->setData(model->index(0, 7), "13");
    EXPECT_EQ(program.workspace.StringGrid1.Cells(7, 1), "13");
    EXPECT_EQ(pixel(0, 7), QColor(255, 0, 0)) << "the highlight belongs to the position";
    // With the flag off nothing is painted, whatever the list holds.
    program.workspace.databaseHasErrors = false;
    widget<QTableView>(&form, "StringGrid1")->viewport()->update();
    EXPECT_NE(pixel(0, 7), QColor(255, 0, 0));
}

TEST_F(MainWindow, SaveAsksForEachShownTableInOrder) {
    dialogs.fileAnswers = {file("db.csv", kDatabase)};
    dialogs.formActions = {[&] { program.loads.forms.Form4.Button3Click(); }};
    widget<QPushButton>(&form, "Button1")->click();
    widget<QTableView>(&form, "StringGrid2")->setVisible(true);
    program.workspace.StringGrid2.setVisible(true);
    program.workspace.enabled.Button4 = true;
    form.refreshWidgets();
    dialogs.log.clear();
    dialogs.fileAnswers = {(directory / "search-out").string(), (directory / "db-out").string()};
    widget<QAction>(&form, "Save1")->setEnabled(true);
    widget<QPushButton>(&form, "Button4")->click();
    EXPECT_EQ(dialogs.log, (Strings{"file dialog | saving...", "message Save! | ", "file dialog | ",
                                    "message Save! | "}));
    EXPECT_TRUE(fs::exists(directory / "db-out.xls"));
    EXPECT_EQ(program.save.SaveDialog4.fileName, (directory / "db-out.xls").string());
}

TEST_F(MainWindow, AnErrorIsReportedWithAFullStopAndTheWindowGoesOn) {
    dialogs.fileAnswers = {(directory / "missing.csv").string()};
    widget<QPushButton>(&form, "Button1")->click();
    ASSERT_FALSE(dialogs.log.empty());
    EXPECT_EQ(dialogs.log.back(), "error Cannot read \"" + (directory / "missing.csv").string() +
                                      "\": No such file or directory. | loading database...");
    EXPECT_EQ(widget<QLabel>(&form, "Label2")->text(), "loading database...")
        << "the status line keeps its text";
    EXPECT_TRUE(form.isVisible());
}

TEST(StepLimitDialog, CopiesItsOwnTextOnOkOnly) {
    test::ScriptedDialogs dialogs;
    const QtTextMeasurer measurer = viewMeasurer();
    Program program(dialogs, measurer);
    TForm1 form(program, dialogs, measurer);
    TForm7 dialog([&](const QString& text) { form.setStepLimitText(text); }, &form);
    EXPECT_EQ(dialog.windowTitle(), "Number of steps");
    EXPECT_EQ(dialog.size(), QSize(290, 97));
    widget<QComboBox>(&dialog, "ComboBox1")->setEditText("7");
    widget<QPushButton>(&dialog, "Button1")->click();
    EXPECT_EQ(widget<QComboBox>(&form, "ComboBox1")->currentText(), "7");
    EXPECT_EQ(program.workspace.stepLimit, "7");
    // The dialog keeps its own text; closing it by its close box copies nothing.
    widget<QComboBox>(&form, "ComboBox1")->setEditText("2");
    dialog.show();
    EXPECT_EQ(widget<QComboBox>(&dialog, "ComboBox1")->currentText(), "7");
    dialog.reject();
    EXPECT_EQ(program.workspace.stepLimit, "2");
    widget<QComboBox>(&dialog, "ComboBox1")->setEditText("");
    widget<QPushButton>(&dialog, "Button1")->click();
    EXPECT_EQ(program.workspace.stepLimit, "");
}

// Typing a limit and Enter sets the limit; the lists stay "0", "1", "2", "3". Enter runs
// Calculate in the main window and presses "Ok" in the dialog.
TEST(StepLimitBoxes, WhatIsTypedNeverJoinsTheList) {
    test::ScriptedDialogs dialogs;
    const QtTextMeasurer measurer = viewMeasurer();
    Program program(dialogs, measurer);
    TForm1 form(program, dialogs, measurer);
    TForm7 dialog([&](const QString& text) { form.setStepLimitText(text); }, &form);
    dialog.show();
    for (QComboBox* box :
         {widget<QComboBox>(&form, "ComboBox1"), widget<QComboBox>(&dialog, "ComboBox1")}) {
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), "17");
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(box->count(), 4) << box->window()->objectName().toStdString();
        EXPECT_EQ(box->currentText(), "17");
    }
    EXPECT_EQ(dialogs.log, std::vector<std::string>{"message data not load | "})
        << "Calculate ran once, from the main window's box";
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(program.workspace.stepLimit, "17");
}

// The menus open by Alt and their letter, or F10; the commands used most have their keys.
TEST_F(MainWindow, MenusAndCommandsAreReachableFromTheKeyboard) {
    QStringList titles;
    for (const QAction* menu : form.menuBar()->actions())
        titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Settings", "&Calculate", "&Help"}));
    const std::pair<const char*, QKeySequence> keys[] = {
        {"Loaddatabase1", QKeySequence("Ctrl+O")},
        {"Loadhaplotypersforsearch1", QKeySequence("Ctrl+Shift+O")},
        {"Save1", QKeySequence("Ctrl+S")},
        {"Calculate1", QKeySequence("F5")},
        {"Quit1", QKeySequence("Ctrl+Q")},
        {"Instructions1", QKeySequence("F1")}};
    for (const auto& [action, key] : keys)
        EXPECT_EQ(widget<QAction>(&form, action)->shortcut(), key) << action;
    // The keys reach the commands.
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&form, Qt::Key_F5);
    EXPECT_EQ(dialogs.log,
              (Strings{"file dialog | loading database...", "file dialog | loading haplotape(s)...",
                       "message nonselected step | error"}));
    QTest::keyClick(&form, Qt::Key_F10);
    EXPECT_EQ(form.menuBar()->activeAction(), form.menuBar()->actions().constFirst());
    QTest::keyClick(form.menuBar(), Qt::Key_Escape);
    QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(form.isVisible());
}

// Ctrl+C copies the selected block as tab-separated text; Ctrl+A selects every cell.
TEST_F(MainWindow, CopiesTheSelectedCellsAsTabSeparatedText) {
    dialogs.fileAnswers = {file("db.csv", kDatabase)};
    dialogs.formActions = {[] {}};
    widget<QPushButton>(&form, "Button1")->click();
    auto* view = widget<QTableView>(&form, "StringGrid1");
    view->setFocus();
    const QAbstractItemModel* model = view->model();
    view->selectionModel()->select(QItemSelection(model->index(0, 7), model->index(1, 8)),
                                   QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "14\t24\n15\t23\n");
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view->selectionModel()->selectedIndexes().size(),
              model->rowCount() * model->columnCount());
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("1\tX\t\t\t\t\t\t14\t24\n2\tY\t"));
}

TEST(DataErrorDialogWindow, AFailedSaveKeepsItOpen) {
    Workspace workspace;
    test::ScriptedDialogs dialogs(workspace);
    FixedWidthMeasurer measurer(7);
    DataErrorForm form(workspace, dialogs, measurer, InputRole::Search);
    workspace.StringGrid2.setCells(0, 0, "sample");
    TForm10 dialog(TForm4::Instance::Form10, form, dialogs, nullptr);
    EXPECT_EQ(dialog.size(), QSize(318, 103));
    EXPECT_EQ(dialog.windowTitle(), "Attention: Data error.");
    dialogs.fileAnswers = {"/no such folder/x.xlsx"};
    widget<QPushButton>(&dialog, "Button1")->click();
    EXPECT_EQ(dialogs.log.back(),
              "error Cannot create file \"/no such folder/x.xlsx\". No such file or directory. | "
              "saving...");
    EXPECT_EQ(dialog.result(), 0) << "not closed";
    EXPECT_EQ(workspace.StringGrid2.Cells(0, 0), "sample");
    widget<QPushButton>(&dialog, "Button2")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(workspace.StringGrid2.Cells(0, 0), "");
}

// The fault count stands on the baseline of its label "Number of errors:".
TEST(DataErrorDialogWindow, TheCountSitsOnItsLabelsBaseline) {
    Workspace workspace;
    test::ScriptedDialogs dialogs(workspace);
    FixedWidthMeasurer measurer(7);
    DataErrorForm form(workspace, dialogs, measurer, InputRole::Database);
    TForm4 dialog(TForm4::Instance::Form4, form, dialogs, nullptr);
    dialog.setFaultCount("3");
    dialog.show();
    QApplication::processEvents();
    const QImage image = dialog.grab().toImage();
    // The lowest row of dark pixels in the label's place; neither text has a descender.
    const auto baseline = [&](const char* name) {
        const QRect area = widget<QLabel>(&dialog, name)->geometry();
        int lowest = -1;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    lowest = y;
        return lowest;
    };
    EXPECT_GT(baseline("Label1"), 0);
    EXPECT_EQ(baseline("Label2"), baseline("Label1"));
}

// The Instructions window fits the screen it opens on, here smaller than it was designed; its
// text scrolls.
TEST(InstructionsWindow, FitsTheScreenAndScrollsItsText) {
    const QRect available = QApplication::primaryScreen()->availableGeometry();
    ASSERT_LT(available.width(), 972);
    TForm5 form5(nullptr);
    form5.show();
    QApplication::processEvents();
    EXPECT_TRUE(available.contains(form5.frameGeometry()));
    auto* scroll = widget<QScrollArea>(&form5, "ScrollBox1");
    EXPECT_EQ(scroll->geometry(), form5.rect());
    EXPECT_GT(scroll->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(),
              widget<QLabel>(&form5, "lbl1")->width() - scroll->viewport()->width());
}

TEST(SecondaryWindows, HaveTheirCaptionsSizesAndTexts) {
    Workspace workspace;
    ConfirmationForm form(workspace, InputRole::Search);
    TForm3 form3(form, nullptr);
    EXPECT_EQ(form3.windowTitle(), "Load haplotype(s) for search");
    EXPECT_EQ(form3.size(), QSize(371, 118));
    EXPECT_TRUE(widget<QPushButton>(&form3, "Button1")->isDefault()) << "Enter presses \"OK\"";
    EXPECT_FALSE(widget<QPushButton>(&form3, "Button2")->isDefault());
    TForm5 form5(nullptr);
    EXPECT_EQ(form5.windowTitle(), "Instructions");
    EXPECT_EQ(form5.size(), QSize(972, 416));
    // The instructions name every command, in English unless the user's language has its text.
    const QString english = widget<QLabel>(&form5, "lbl1")->text();
    for (const char* command :
         {"Load database", "Load haplotype(s) for search", "Import database...",
          "Import haplotype(s) for search...", "Read genotypes", "Number of steps(max)",
          "Calculate", "By populations", "By haplotype(s)", "Match probabilities",
          "Population structure", "Save", "Quit", "tarnwick-cli"})
        EXPECT_NE(english.indexOf(command), -1) << command;
    EXPECT_EQ(translationFor(QLocale(QLocale::English, QLocale::UnitedStates)), nullptr);
    const auto russian = translationFor(QLocale(QLocale::Russian, QLocale::Russia));
    ASSERT_NE(russian, nullptr);
    QCoreApplication::installTranslator(russian.get());
    const TForm5 russianForm5(nullptr);
    QCoreApplication::removeTranslator(russian.get());
    const QString translated = widget<QLabel>(&russianForm5, "lbl1")->text();
    EXPECT_TRUE(translated.startsWith(QString::fromUtf8("Для работы с Tarnwick")));
    EXPECT_EQ(translated.count("\n\n"), 6) << "seven paragraphs";
    TForm6 form6(nullptr);
    EXPECT_EQ(form6.windowTitle(), "About the programme");
    EXPECT_TRUE(
        widget<QLabel>(&form6, "Label1")->text().startsWith("Tarnwick software, version 1.66.\n"));
}

TEST(GridModelAdapter, PassesTheModelTesterAndShowsTheFixedRowAsHeader) {
    StringGrid grid(3, 4, 1);
    grid.setCells(0, 0, "h0");
    grid.setCells(2, 3, "x");
    GridModel model(grid);
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "h0");
    EXPECT_EQ(model.data(model.index(2, 2), Qt::DisplayRole).toString(), "x");
    EXPECT_FALSE(model.setData(model.index(0, 0), "y", Qt::EditRole)) << "editing is off";
    grid.setRowCount(1); // loses its fixed row
    model.reload();
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).isValid());
}

TEST_F(MainWindow, RendersTheResultsToAnImage) {
    dialogs.fileAnswers = {file("db.csv", kDatabase), file("search.csv", kSearch)};
    widget<QPushButton>(&form, "Button1")->click();
    widget<QPushButton>(&form, "Button2")->click();
    widget<QComboBox>(&form, "ComboBox1")->setEditText("3");
    widget<QPushButton>(&form, "Button3")->click();
    QApplication::processEvents();
    const QImage image = form.grab().toImage();
    const auto path = fs::path(TARNWICK_TEST_ARTEFACTS) / "main-window-after-calculation.png";
    fs::create_directories(path.parent_path());
    ASSERT_TRUE(image.save(QString::fromStdString(path.string())));
    // Not blank: many colours (text is anti-aliased) and dark text pixels in the view area.
    std::set<QRgb> colours;
    int dark = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) {
            colours.insert(image.pixel(x, y));
            dark += qGray(image.pixel(x, y)) < 100;
        }
    EXPECT_GT(colours.size(), 20u);
    EXPECT_GT(dark, 200);
}

// Import: the items follow the loads in the File menu; the dialog changes a column's role by
// keyboard, shows what the import gives after each change, and Enter imports.
TEST_F(MainWindow, ImportsATableThroughTheImportDialog) {
    auto* item = widget<QAction>(&form, "Importdatabase1");
    ASSERT_NE(item, nullptr);
    const QList<QAction*> file = qobject_cast<QMenu*>(item->associatedObjects().front())->actions();
    EXPECT_EQ(file.indexOf(item),
              file.indexOf(widget<QAction>(&form, "Loadhaplotypersforsearch1")) + 1);
    EXPECT_EQ(item->text(), "Import database...");
    EXPECT_EQ(widget<QAction>(&form, "Importhaplotypes1")->text(),
              "Import haplotype(s) for search...");
    widget<QAction>(&form, "Loaddatabase1")->setEnabled(false);
    EXPECT_FALSE(item->isEnabled());
    widget<QAction>(&form, "Loaddatabase1")->setEnabled(true);
    EXPECT_TRUE(item->isEnabled());

    dialogs.fileAnswers = {std::string(TARNWICK_TEST_DATA) + "/import-derived.csv"};
    dialogs.formActions = {[] {}};
    Strings outcomes;
    dialogs.importActions = {[&](ImportPreview& preview) {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Import database");
            EXPECT_FALSE(widget<QComboBox>(dialog, "Sheets")->isVisible()) << "no sheets named";
            outcomes.push_back(settledOutcome(dialog).toStdString());
            EXPECT_EQ(widget<QTableWidget>(dialog, "Preview")->horizontalHeaderItem(7)->text(),
                      "DYS385sum");
            dialog->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
            // Alt+M reaches the first column's role, Tab the next ones.
            QTest::keyClick(dialog, Qt::Key_M, Qt::AltModifier);
            Strings focused;
            for (int column = 0; column < 8; ++column) {
                focused.push_back(QApplication::focusWidget()->objectName().toStdString());
                if (column < 7)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            EXPECT_EQ(focused, (Strings{"Role0", "Role1", "Role2", "Role3", "Role4", "Role5",
                                        "Role6", "Role7"}));
            auto* role = widget<QComboBox>(dialog, "Role7");
            if (QApplication::focusWidget() != role)
                return dialog->reject();
            EXPECT_EQ(role->currentText(), "other");
            QTest::keyClick(role, Qt::Key_Home); // "locus"
            outcomes.push_back(settledOutcome(dialog).toStdString());
            QTest::keyClick(role, Qt::Key_Return);
        });
        return QtDialogs().runImportDialog(preview);
    }};
    item->trigger();
    EXPECT_EQ(outcomes, (Strings{"6 rows, 4 men, 4 loci; 2 rows typed at no locus",
                                 "6 rows, 4 men, 5 loci; 2 rows typed at no locus"}));
    auto* view = widget<QTableView>(&form, "StringGrid1");
    EXPECT_EQ(views(), "1000");
    Strings titles;
    for (int column = 0; column < view->model()->columnCount(); ++column)
        titles.push_back(
            view->model()->headerData(column, Qt::Horizontal).toString().toStdString());
    EXPECT_EQ(titles, (Strings{"ID", "Population Code", "order", "sex", "haplogroup", "", "",
                               "DYS19", "DYS385a", "DYS385b", "DYS385sum", "DYS390"}));
    EXPECT_EQ(view->model()->rowCount(), 6 + 2) << "the rows and a load's two blank ones";
}

// The sheet box offers each sheet and all of them; the outcome follows the choice.
TEST(ImportDialogSheets, AllSheetsImportTogether) {
    ImportPreview preview(std::string(TARNWICK_TEST_DATA) + "/import-sheets.xlsx",
                          InputRole::Search);
    ASSERT_EQ(preview.sheetNames().size(), 3U);
    ImportDialog dialog(preview, nullptr);
    dialog.show();
    auto* sheets = widget<QComboBox>(&dialog, "Sheets");
    EXPECT_TRUE(sheets->isVisible());
    EXPECT_EQ(sheets->count(), 4);
    EXPECT_EQ(settledOutcome(&dialog), "3 rows, 3 men, 4 loci");
    QTest::keyClick(sheets, Qt::Key_End); // "All sheets"
    EXPECT_TRUE(preview.allSheets());
    EXPECT_EQ(settledOutcome(&dialog), "6 rows, 6 men, 4 loci");
}

// The dialog is up, and takes each change, before the file is read through: OK waits for the
// outcome, and changes made in a row are told once, for the last.
TEST(ImportDialogOutcome, WorkedOutOffTheWindowsThreadTheNewestShown) {
    ImportPreview preview(std::string(TARNWICK_TEST_DATA) + "/import-derived.csv",
                          InputRole::Database);
    ImportDialog dialog(preview, nullptr);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    const auto waiting = [&] {
        return widget<QLabel>(&dialog, "Outcome")->text().toStdString() + "|" +
               std::to_string(ok->isEnabled());
    };
    EXPECT_EQ(waiting(), "Reading the whole file...|0");
    EXPECT_EQ(settledOutcome(&dialog), "6 rows, 4 men, 4 loci; 2 rows typed at no locus");
    EXPECT_TRUE(ok->isEnabled());
    QSignalSpy told(dialog.findChild<ImportOutcomeWorker*>(), &ImportOutcomeWorker::ready);
    QTest::keyClick(widget<QComboBox>(&dialog, "Role5"), Qt::Key_End); // DYS385a "other"
    EXPECT_EQ(waiting(), "Reading the whole file...|0");
    QTest::keyClick(widget<QComboBox>(&dialog, "Role6"), Qt::Key_End); // DYS385b "other"
    EXPECT_EQ(settledOutcome(&dialog), "6 rows, 4 men, 2 loci; 2 rows typed at no locus");
    EXPECT_EQ(told.count(), 1);
    EXPECT_TRUE(ok->isEnabled());
}

} // namespace
} // namespace tarnwick
