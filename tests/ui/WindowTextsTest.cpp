#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "commands/ViewStates.h"
#include "ui/Fonts.h"
#include "ui/ImportDialog.h"
#include "ui/QtDialogs.h"
#include "ui/QtTextMeasurer.h"
#include "ui/Translation.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/Unit5.h"
#include "ui/Unit6.h"
#include "ui/Unit7.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// Each label and button whose text does not fit the space the control gives it. The space is
// reckoned here on its own: a label's contents, a button less 4 pixels of frame on each side.
std::vector<std::string> clippedTexts(QWidget* window) {
    std::vector<std::string> clipped;
    const auto report = [&](QWidget* control, const QString& text, QSize needed, QSize space) {
        if (needed.width() > space.width() || needed.height() > space.height())
            clipped.push_back(
                window->objectName().toStdString() + "/" + control->objectName().toStdString() +
                " \"" + text.left(40).toStdString() + "\" needs " + std::to_string(needed.width()) +
                "x" + std::to_string(needed.height()) + ", has " + std::to_string(space.width()) +
                "x" + std::to_string(space.height()));
    };
    // The window's own controls with a text: not those of its dialogs, nor Qt's inner parts,
    // nor those it hides.
    const auto ownWithText = [&](QWidget* control, const QString& text) {
        return control->window() == window && !text.isEmpty() && control->isVisibleTo(window);
    };
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!ownWithText(label, label->text()))
            continue;
        // A label with a buddy underlines its "&" letter rather than showing the "&".
        const int mnemonic = label->buddy() ? Qt::TextShowMnemonic : 0;
        const QSize needed =
            label->fontMetrics()
                .boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft | Qt::AlignTop | mnemonic,
                              label->text())
                .size();
        const QRect contents = label->contentsRect().marginsRemoved(
            QMargins(label->margin(), label->margin(), label->margin(), label->margin()));
        // A label never reaches beyond its window, unless its text scrolls in a scroll area.
        const bool scrolls = label->parentWidget() &&
                             qobject_cast<QScrollArea*>(label->parentWidget()->parentWidget());
        const QRect shown =
            scrolls
                ? contents
                : contents.intersected(QRect(label->mapFrom(window, QPoint(0, 0)), window->size()));
        report(label, label->text(), needed, shown.size());
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!ownWithText(button, button->text()))
            continue;
        const QSize needed(button->fontMetrics().horizontalAdvance(button->text()),
                           button->fontMetrics().height());
        report(button, button->text(), needed, button->size() - QSize(8, 4));
    }
    return clipped;
}

// All windows of the program, made as it makes them, their texts the longest they show.
TEST(WindowTexts, EveryLabelAndButtonShowsItsWholeText) {
    test::ScriptedDialogs dialogs;
    const QtTextMeasurer measurer(msSansSerif8(), cellMarginBeyondPadding(QApplication::style()));
    Program program(dialogs, measurer);
    TForm1 form1(program, dialogs, measurer);
    auto& forms = program.loads.forms;
    TForm2 form2(forms.Form2, &form1);
    TForm3 form3(forms.Form3, &form1);
    TForm4 form4(TForm4::Instance::Form4, forms.Form4, dialogs, &form1);
    TForm10 form10(TForm4::Instance::Form10, forms.Form10, dialogs, &form1);
    TForm5 form5(&form1);
    TForm6 form6(&form1);
    TForm7 form7([](const QString&) {}, &form1);
    ImportPreview preview(std::string(TARNWICK_TEST_DATA) + "/import-sheets.xlsx",
                          InputRole::Search);
    ImportDialog importDialog(preview, &form1);
    const std::string longestLines =
        "\r\nNumber of haplotypes: 1048573\r\nNumber of markers: 16377"
        "\r\n17163091968 cells such as \"16.2 read twice, ждё...\" read as "
        "whole repeats; \"Read genotypes\" keeps them";
    form2.setMessage("The following data format was identified in the database:" + longestLines);
    form3.setMessage("The following data format was identified in the haplotypes for search:" +
                     longestLines);
    form4.setFaultCount("17163091968");
    form10.setFaultCount("17163091968");
    program.workspace.statusLine = kMatchProbabilitiesStatus; // the longest the strip shows
    form1.refreshWidgets();
    std::vector<std::string> clipped;
    for (QWidget* window : std::initializer_list<QWidget*>{&form1, &form2, &form3, &form4, &form10,
                                                           &form5, &form6, &form7, &importDialog}) {
        window->show();
        QApplication::processEvents();
        const auto found = clippedTexts(window);
        clipped.insert(clipped.end(), found.begin(), found.end());
    }
    EXPECT_EQ(clipped, std::vector<std::string>{})
        << "at " << QApplication::primaryScreen()->logicalDotsPerInch() << " DPI";
    // The format message, one line longer than the three it was made for, stays above the buttons.
    for (QWidget* window : std::initializer_list<QWidget*>{&form2, &form3}) {
        const auto* label = window->findChild<QLabel*>("Label1");
        for (const char* name : {"Button1", "Button2"}) {
            const auto* button = window->findChild<QPushButton*>(name);
            ASSERT_TRUE(label && button);
            EXPECT_LT(label->geometry().bottom(), button->geometry().top()) << name;
            EXPECT_LE(button->geometry().bottom(), window->height()) << name;
        }
    }
    // The import dialog shows its preview's columns whole where the screen has room for them.
    EXPECT_FALSE(
        importDialog.findChild<QTableWidget*>("Preview")->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(
        QApplication::primaryScreen()->availableGeometry().contains(importDialog.geometry()));
}

// Under the Russian translation the dialogs show their Russian texts, whole in their fixed
// sizes; without it they show the English ones as written.
TEST(Translation, ShowsRussianTextsWholeAndLeavesEnglishAsWritten) {
    test::ScriptedDialogs dialogs;
    const QtTextMeasurer measurer(msSansSerif8(), cellMarginBeyondPadding(QApplication::style()));
    Program program(dialogs, measurer);
    auto& forms = program.loads.forms;
    const auto russian = translationFor(QLocale(QLocale::Russian));
    ASSERT_NE(russian, nullptr);
    QCoreApplication::installTranslator(russian.get());
    TForm4 form4(TForm4::Instance::Form4, forms.Form4, dialogs, nullptr);
    TForm7 form7([](const QString&) {}, nullptr);
    const TForm5 instructions(nullptr);
    QCoreApplication::removeTranslator(russian.get());
    // The help text is one message: a change to its English source must be made in the .ts too.
    EXPECT_TRUE(instructions.findChild<QLabel*>("lbl1")->text().startsWith(
        QString::fromUtf8("Для работы с Tarnwick")));
    EXPECT_EQ(form4.windowTitle(), QString::fromUtf8("Внимание: ошибка в данных."));
    EXPECT_EQ(form7.findChild<QLabel*>("Label1")->text(),
              QString::fromUtf8("Число шагов (макс.):"));
    form4.setFaultCount("17163091968");
    std::vector<std::string> clipped;
    for (QWidget* window : std::initializer_list<QWidget*>{&form4, &form7}) {
        window->show();
        QApplication::processEvents();
        const auto found = clippedTexts(window);
        clipped.insert(clipped.end(), found.begin(), found.end());
    }
    EXPECT_EQ(clipped, std::vector<std::string>{});
    const TForm4 english(TForm4::Instance::Form4, forms.Form4, dialogs, nullptr);
    EXPECT_EQ(english.windowTitle(), "Attention: Data error.");
}

// A window manager writes the program's title into each box's title bar, beside its icon and
// buttons; a box narrower than that shows "Ta…k" or nothing.
TEST(WindowTexts, MessageBoxesAreWideEnoughForTheirCaption) {
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int needed = QFontMetrics(titleFont).horizontalAdvance(kProgramTitle) + 120;
    for (const char* text : {"not match", "Save!", "save!", "data not load", "nonselected step"}) {
        QtDialogs dialogs;
        int width = 0;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            width = box->width();
            box->close();
        });
        dialogs.showMessage(text);
        EXPECT_GE(width, needed) << text;
    }
}

// The checks above once more at the font resolutions of larger screens, where text in points
// takes more pixels: the test program runs itself on an offscreen screen of that resolution.
TEST(WindowTexts, FitAtLargerFontResolutions) {
    for (const int dpi : {120, 144}) {
        const auto config = testing_files::scratchPath("tarnwick-screen-" + std::to_string(dpi));
        testing_files::writeFile(config, "{\"screens\":[{\"name\":\"s\",\"x\":0,\"y\":0,"
                                         "\"width\":1920,\"height\":1080,\"logicalDpi\":" +
                                             std::to_string(dpi) + ",\"logicalBaseDpi\":" +
                                             std::to_string(dpi) + ",\"dpr\":1}]}");
        const std::string command = "QT_QPA_PLATFORM=offscreen:configfile=" + config.string() +
                                    " /proc/" + std::to_string(::getpid()) +
                                    "/exe --gtest_filter='WindowTexts.*:-*FitAtLarger*' 2>&1";
        FILE* run = ::popen(command.c_str(), "r");
        ASSERT_NE(run, nullptr);
        std::string output;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, run)) > 0;)
            output.append(buffer, n);
        const int status = ::pclose(run);
        fs::remove(config);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << dpi << " DPI:\n" << output;
        EXPECT_NE(output.find("[  PASSED  ] 2 tests"), std::string::npos) << output;
    }
}

} // namespace
} // namespace tarnwick
