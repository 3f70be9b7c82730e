#pragma once

#include "commands/Dialogs.h"

#include <QString>
#include <QWidget>

#include <functional>

namespace tarnwick {

class ConfirmationDialog;
class TForm4;

inline constexpr const char* kProgramTitle = "Tarnwick";

// The program's dialogs: Qt file dialogs, message boxes, and the load forms shown modally.
class QtDialogs : public Dialogs {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    void setForms(ConfirmationDialog* form2, ConfirmationDialog* form3, TForm4* form4,
                  TForm4* form10);
    // Runs before a modal window opens, so that the main window shows the state of that moment.
    void setBeforeModal(std::function<void()> beforeModal) {
        beforeModal_ = std::move(beforeModal);
    }
    // Where a file dialog opens the first time, before it remembers a name.
    void setStartFolder(const QString& folder) { startFolder_ = folder; }

    std::optional<std::string> runFileDialog(const FileDialogState& state) override;
    void showModal(FormId form, const std::string& text) override;
    bool runImportDialog(ImportPreview& preview) override;
    void showMessage(const std::string& text) override;
    void showError(const std::string& text) override;

private:
    void prepareModal();
    void showBox(int icon, const std::string& text); // a QMessageBox::Icon and an OK button

    QWidget* parent_ = nullptr;
    ConfirmationDialog* form2_ = nullptr;
    ConfirmationDialog* form3_ = nullptr;
    TForm4* form4_ = nullptr;
    TForm4* form10_ = nullptr;
    std::function<void()> beforeModal_;
    QString startFolder_;
};

// A message as a window shows it: "\r\n" line ends become line breaks.
QString shownText(const std::string& text);

// The folder the file dialogs open in first (StartFolder.h).
QString defaultStartFolder();

} // namespace tarnwick
