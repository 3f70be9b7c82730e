#pragma once

#include "commands/Dialogs.h"
#include "commands/Workspace.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::test {

// Plays the user: answers file dialogs from a list, and in each form shown runs the next action
// (which presses the form's buttons). Logs everything with the status line at that moment.
class ScriptedDialogs : public Dialogs {
public:
    explicit ScriptedDialogs(const Workspace& workspace) : workspace_(&workspace) {}
    ScriptedDialogs() = default;
    // The workspace whose status line the log shows.
    void watch(const Workspace& workspace) { workspace_ = &workspace; }

    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::function<void()>> formActions;
    std::vector<std::string> log;
    std::vector<FileDialogState> fileDialogsRun;

    void showMessage(const std::string& text) override {
        log.push_back("message " + text + " | " + status());
    }

    std::optional<std::string> runFileDialog(const FileDialogState& dialog) override {
        fileDialogsRun.push_back(dialog);
        log.push_back("file dialog | " + status());
        if (fileAnswers.empty())
            return std::nullopt;
        auto answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }

    void showModal(FormId form, const std::string& text) override {
        static const char* const names[] = {"Form2", "Form3", "Form4", "Form10"};
        log.push_back(std::string(names[static_cast<int>(form)]) + " " + text + " | " + status());
        if (formActions.empty())
            return; // closed by its title bar
        auto action = formActions.front();
        formActions.pop_front();
        action();
    }

    // Each import dialog runs the next action on its preview (the user's changes) and is answered
    // OK when it returns true; without one, it is answered OK as it opened.
    std::deque<std::function<bool(ImportPreview&)>> importActions;
    bool runImportDialog(ImportPreview& preview) override {
        log.push_back("import dialog " + preview.summary() + " | " + status());
        if (importActions.empty())
            return true;
        auto action = importActions.front();
        importActions.pop_front();
        return action(preview);
    }

    void showError(const std::string& text) override {
        log.push_back("error " + text + " | " + status());
    }

private:
    std::string status() const { return workspace_ ? workspace_->statusLine : ""; }

    const Workspace* workspace_ = nullptr;
};

} // namespace tarnwick::test
