// Tarnwick: starts the program, creating its windows hidden in their fixed order.

#include "io/InterruptedSaves.h"
#include "ui/DisplayCheck.h"
#include "ui/Fonts.h"
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

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QScreen>
#include <QTimer>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

namespace {

// The command line: --help, --version and at most one file, the database to load (as "Open with"
// of a file manager gives it).
class CommandLine {
public:
    CommandLine() {
        parser_.setApplicationDescription("Compares Y-STR haplotypes with a reference database.");
        parser_.addHelpOption();
        parser_.addVersionOption();
        parser_.addPositionalArgument("file", "The database to load.", "[file]");
    }

    // Answers --help and --version before anything needs a display; Qt's own options (-platform,
    // -style...) are not known yet and let through.
    void answerHelpOrVersion(int argc, char** argv) {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        parser_.parse(arguments);
        if (parser_.isSet("help") || parser_.isSet("help-all")) {
            std::cout << parser_.helpText().toStdString();
            std::exit(0);
        }
        if (parser_.isSet("version")) {
            std::cout << "tarnwick " << TARNWICK_VERSION << "\n";
            std::exit(0);
        }
    }

    // Once Qt has taken its options: refuses what is left but one file, else gives the file.
    std::optional<QString> file() {
        parser_.process(QApplication::arguments());
        const QStringList files = parser_.positionalArguments();
        if (files.size() > 1) {
            std::cerr << "tarnwick: give at most one file\n" << parser_.helpText().toStdString();
            std::exit(2);
        }
        return files.empty() ? std::nullopt : std::optional<QString>(files.front());
    }

private:
    QCommandLineParser parser_;
};

} // namespace

int main(int argc, char** argv) {
    using namespace tarnwick;
    CommandLine commandLine;
    {
        const QCoreApplication names(argc, argv);
        QCoreApplication::setApplicationName("tarnwick");
        QCoreApplication::setApplicationVersion(TARNWICK_VERSION);
        commandLine.answerHelpOrVersion(argc, argv);
        // In the locale's language, as the windows would have said it.
        const std::unique_ptr<QTranslator> translation = translationFor(QLocale());
        if (translation)
            QCoreApplication::installTranslator(translation.get());
        if (const std::string problem = displayProblem(); !problem.empty()) {
            std::cerr << QCoreApplication::translate("tarnwick::DisplayCheck",
                                                     "Tarnwick needs a graphical display: %1.")
                             .arg(QString::fromStdString(problem))
                             .toStdString()
                      << "\n";
            return 1;
        }
    }
    installInterruptedSaveCleanup();
    QApplication application(argc, argv);
    QApplication::setApplicationName(kProgramTitle);
    QApplication::setApplicationVersion(TARNWICK_VERSION);
    QGuiApplication::setDesktopFileName(TARNWICK_APP_ID);
    QApplication::setWindowIcon(QIcon::fromTheme("tarnwick", QIcon(":/tarnwick.png")));
    const std::optional<QString> file = commandLine.file();
    installFontSubstitutes();
    const std::unique_ptr<QTranslator> translation = translationFor(QLocale());
    if (translation)
        QCoreApplication::installTranslator(translation.get());

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
    if (file)
        QTimer::singleShot(0, &form1,
                           [&form1, path = file->toStdString()] { form1.loadDatabaseFile(path); });
    return QApplication::exec();
}
