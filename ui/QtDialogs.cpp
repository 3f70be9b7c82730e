#include "ui/QtDialogs.h"

#include "commands/StartFolder.h"

#include "ui/ConfirmationDialog.h"
#include "ui/ImportDialog.h"
#include "ui/Unit4.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace tarnwick {
namespace {

// A window manager writes the caption into the title bar beside an icon and three buttons; a
// box at least this wide shows it whole, also where the fonts are large.
int widthForCaption(const QString& caption) {
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    return QFontMetrics(titleFont).horizontalAdvance(caption) + 120;
}

} // namespace

QString shownText(const std::string& text) {
    return QString::fromStdString(text).replace("\r\n", "\n");
}

void QtDialogs::setForms(ConfirmationDialog* form2, ConfirmationDialog* form3, TForm4* form4,
                         TForm4* form10) {
    form2_ = form2;
    form3_ = form3;
    form4_ = form4;
    form10_ = form10;
}

void QtDialogs::prepareModal() {
    if (beforeModal_)
        beforeModal_();
}

std::optional<std::string> QtDialogs::runFileDialog(const FileDialogState& state) {
    prepareModal();
    const bool open = state.kind == FileDialogState::Kind::Open;
    QFileDialog dialog(parent_, QString::fromStdString(state.title));
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile); // an open dialog accepts a name not (yet) there
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters;
    for (const auto& [name, pattern] : state.filters) {
        const QString label = QString::fromStdString(name);
        // "All files(*.*)" already names its pattern.
        filters << (label.contains('(') ? label
                                        : label + " (" + QString::fromStdString(pattern) + ")");
    }
    dialog.setNameFilters(filters);
    if (!state.fileName.empty())
        dialog.selectFile(QString::fromStdString(state.fileName));
    else if (!startFolder_.isEmpty())
        dialog.setDirectory(startFolder_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

void QtDialogs::showModal(FormId form, const std::string& text) {
    prepareModal();
    switch (form) {
    case FormId::Form2:
    case FormId::Form3: {
        ConfirmationDialog* dialog = form == FormId::Form2 ? form2_ : form3_;
        dialog->setMessage(text);
        dialog->exec();
        break;
    }
    case FormId::Form4:
    case FormId::Form10: {
        TForm4* dialog = form == FormId::Form4 ? form4_ : form10_;
        dialog->setFaultCount(text);
        dialog->exec();
        break;
    }
    }
}

bool QtDialogs::runImportDialog(ImportPreview& preview) {
    prepareModal();
    ImportDialog dialog(preview, parent_);
    return dialog.exec() == QDialog::Accepted;
}

void QtDialogs::showBox(int icon, const std::string& text) {
    prepareModal();
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), kProgramTitle, shownText(text),
                    QMessageBox::Ok, parent_);
    // The box sizes itself to its text; a row of this width across its grid keeps it from
    // getting narrower than its caption needs.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(widthForCaption(kProgramTitle), 0, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    box.exec();
}

void QtDialogs::showMessage(const std::string& text) {
    showBox(QMessageBox::NoIcon, text);
}

void QtDialogs::showError(const std::string& text) {
    showBox(QMessageBox::Critical, text);
}

QString defaultStartFolder() {
    const auto folder = startFolder(QCoreApplication::applicationDirPath().toStdString(),
                                    TARNWICK_INSTALLED_EXAMPLES, QDir::homePath().toStdString());
    return QString::fromStdString(folder.string());
}

} // namespace tarnwick
