#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>

#include "EventLoop.h"
#include "platform/UiServices.h"

namespace tandu::cli {

// UI services on a console: message boxes become "TITLE: TEXT" lines on
// standard error, prompts and dialogs are answered from the command line.
class ConsoleUi : public UiServices {
public:
    explicit ConsoleUi(EventLoop& loop);

    void messageBox(const std::string& text, const std::string& title, MsgIcon icon) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void showOpen(CommonDialog& dialog) override;
    void showSave(CommonDialog& dialog) override;
    std::string browseForFolder(const std::string& prompt) override;
    std::string clipboardText() override { return clipboard_; }
    void setClipboardText(const std::string& text) override { clipboard_ = text; }
    void processPendingEvents() override { loop_.processPending(); }
    void showModal(Form& form) override;
    void popupMenu(MenuItem&) override {}
    bool modalShown() override { return false; }
    void activate(Form&) override {}
    void endProgram() override { loop_.quit(); }
    std::string thousandsSeparator() override;
    double twipsPerPixelX() override { return 15.0; }

    // Answers, taken in order.
    std::deque<std::string> inputAnswers;
    std::deque<std::string> fileAnswers;
    // Fills a modal form by its name and presses its buttons; a form without
    // a filler closes as if by its frame.
    std::map<std::string, std::function<void(Form&)>> formFillers;

    // An error (critical) message was shown.
    bool errorShown() const { return errorShown_; }
    int messageCount() const { return messages_; }

private:
    EventLoop& loop_;
    std::string clipboard_;
    bool errorShown_ = false;
    int messages_ = 0;
};

}  // namespace tandu::cli
