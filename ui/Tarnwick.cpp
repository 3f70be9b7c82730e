// Tarnwick: starts the program, creating its windows hidden in their fixed order.

#include "io/InterruptedSaves.h"
#include "ui/DisplayCheck.h"
#include "ui/Fonts.h"
#include "ui/QtDialogs.h"
#include "ui/QtTextMeasurer.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/Unit5.h"
#include "ui/Unit6.h"
#include "ui/Unit7.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <iostream>

int main(int argc, char** argv) {
    using namespace tarnwick;
    if (const std::string problem = displayProblem(); !problem.empty()) {
        std::cerr << "Tarnwick needs a graphical display: " << problem << ".\n";
        return 1;
    }
    installInterruptedSaveCleanup();
    QApplication application(argc, argv);
    QApplication::setApplicationName(kProgramTitle);
    // One file may be given, the database to load (as "Open with" of a file manager does).
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 2) {
        std::cerr << "usage: tarnwick [DATABASE]\n";
        return 2;
    }
    installFontSubstitutes();

    // The program's state and commands come first and outlive the windows.
    QtDialogs dialogs;
    const QtTextMeasurer measurer(msSansSerif8(), cellMarginBeyondPadding(QApplication::style()));
    Program program(dialogs, measurer);
    LoadForms& forms = program.loads.forms;
    TForm1 form1(program, dialogs, measurer);
    auto* form2 = new TForm2(forms.Form2, &form1);
    auto* form3 = new TForm3(forms.Form3, &form1);
    auto* form4 = new TForm4(TForm4::Instance::Form4, forms.Form4, dialogs, &form1);
    auto* form6 = new TForm6(&form1);
    auto* form7 =
        new TForm7([&form1](const QString& text) { form1.setStepLimitText(text); }, &form1);
    auto* form10 = new TForm10(TForm4::Instance::Form10, forms.Form10, dialogs, &form1);
    auto* form5 = new TForm5(&form1);
    dialogs.setParent(&form1);
    dialogs.setForms(form2, form3, form4, form10);
    dialogs.setBeforeModal([&form1] { form1.refreshWidgets(); });
    dialogs.setStartFolder(defaultStartFolder());
    form1.setSecondaryWindows(form7, form5, form6);

    // Centred on the desktop when first shown.
    if (const QScreen* screen = QApplication::primaryScreen())
        form1.move(screen->availableGeometry().center() - form1.rect().center());
    form1.show();
    if (arguments.size() == 2)
        QTimer::singleShot(0, &form1, [&form1, file = arguments[1].toStdString()] {
            form1.loadDatabaseFile(file);
        });
    return QApplication::exec();
}
