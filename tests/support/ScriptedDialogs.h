#pragma once
#include <deque>
#include <optional>
#include <vector>

#include "platform/ui/Dialogs.h"

// Answers the program's dialogs from a script while it lives and records
// what they asked. A message box without a scripted answer gets its
// default button; a file, folder, font or colour dialog without one is
// cancelled.
class ScriptedDialogs : public platform::ui::DialogAnswerer {
public:
    ScriptedDialogs() { platform::ui::SetDialogAnswerer(this); }
    ~ScriptedDialogs() override { platform::ui::SetDialogAnswerer(nullptr); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    platform::ui::Button messageBox(const platform::ui::MessageBoxRequest& request) override {
        messages.push_back(request);
        return Next(messageAnswers).value_or(request.defaultButton);
    }
    std::optional<QString> fileDialog(const platform::ui::FileDialogRequest& request) override {
        files.push_back(request);
        return Next(fileAnswers).value_or(std::nullopt);
    }
    std::optional<QString> folderDialog(const platform::ui::FolderDialogRequest& request) override {
        folders.push_back(request);
        return Next(folderAnswers).value_or(std::nullopt);
    }
    std::optional<QFont> fontDialog(const platform::ui::FontDialogRequest& request) override {
        fonts.push_back(request);
        return Next(fontAnswers).value_or(std::nullopt);
    }
    std::optional<QColor> colourDialog(const platform::ui::ColourDialogRequest& request) override {
        colours.push_back(request);
        return Next(colourAnswers).value_or(std::nullopt);
    }

    std::deque<platform::ui::Button> messageAnswers;
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<std::optional<QString>> folderAnswers;
    std::deque<std::optional<QFont>> fontAnswers;
    std::deque<std::optional<QColor>> colourAnswers;

    std::vector<platform::ui::MessageBoxRequest> messages;
    std::vector<platform::ui::FileDialogRequest> files;
    std::vector<platform::ui::FolderDialogRequest> folders;
    std::vector<platform::ui::FontDialogRequest> fonts;
    std::vector<platform::ui::ColourDialogRequest> colours;

private:
    template <typename T>
    static std::optional<T> Next(std::deque<T>& answers) {
        if (answers.empty())
            return std::nullopt;
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};
