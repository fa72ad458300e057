#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/UiServices.h"

namespace tandu::test {

struct ShownMessage {
    std::string text;
    std::string title;
    MsgIcon icon;
};

// UI services for tests: records what the program shows and answers prompts
// and dialogs from scripts. An unscripted modal form closes as if by its frame.
class HeadlessUi : public UiServices {
public:
    void messageBox(const std::string& text, const std::string& title, MsgIcon icon) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void showOpen(CommonDialog& dialog) override;
    void showSave(CommonDialog& dialog) override;
    std::string browseForFolder(const std::string& prompt) override;
    std::string clipboardText() override { return clipboard; }
    void setClipboardText(const std::string& text) override;
    void processPendingEvents() override;
    // Runs the call at once: no test waits on a loop for it.
    void post(std::function<void()> call) override { call(); }
    void showModal(Form& form) override;
    void popupMenu(MenuItem& menu) override;
    bool modalShown() override { return modalDepth > 0; }
    void activate(Form& form) override;
    void endProgram() override { ++endProgramCalls; }
    std::string thousandsSeparator() override { return separator; }
    double twipsPerPixelX() override { return twipsPerPixel; }

    // Scripted answers, taken front first; an empty queue answers "" (cancel).
    std::deque<std::string> inputAnswers;
    std::deque<std::string> openAnswers;
    std::deque<std::string> saveAnswers;
    std::deque<std::string> folderAnswers;
    // Each modal form shown takes the next script; the script fills the form
    // and presses its buttons.
    std::deque<std::function<void(Form&)>> modalScripts;
    // Runs inside every message box (after it is recorded), e.g. to act while it is open.
    std::function<void(const ShownMessage&)> onMessage;
    std::function<void()> onPendingEvents;

    std::string clipboard;
    std::string separator = ",";
    double twipsPerPixel = 15.0;

    // What was shown.
    std::vector<ShownMessage> messages;
    std::vector<std::string> prompts;         // prompt texts of input boxes
    std::vector<std::string> openTitles;      // dialog titles of open dialogs
    std::vector<std::string> openFilters;
    std::vector<std::string> saveFilters;
    std::vector<std::string> folderPrompts;
    std::vector<std::string> clipboardWrites;
    std::vector<std::string> modalForms;      // names of forms shown modally
    std::vector<std::string> popups;          // names of menus popped up
    int activations = 0;
    int modalDepth = 0;  // modal forms and message boxes open now
    int pendingEventCalls = 0;
    int endProgramCalls = 0;

    // The last message, or an empty one.
    ShownMessage lastMessage() const;
};

}  // namespace tandu::test
