#include "ConsoleUi.h"

#include <clocale>
#include <iostream>

#include "controls/CommonDialog.h"
#include "controls/Form.h"

namespace tandu::cli {

namespace {
std::string take(std::deque<std::string>& answers) {
    if (answers.empty()) {
        return {};
    }
    std::string answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}
}  // namespace

ConsoleUi::ConsoleUi(EventLoop& loop) : loop_(loop) {}

void ConsoleUi::messageBox(const std::string& text, const std::string& title, MsgIcon icon) {
    ++messages_;
    if (icon == MsgIcon::Critical) {
        errorShown_ = true;
    }
    std::cerr << title << ": " << text << std::endl;
}

std::string ConsoleUi::inputBox(const std::string&, const std::string&, const std::string&) {
    return take(inputAnswers);
}

void ConsoleUi::showOpen(CommonDialog& dialog) {
    dialog.fileName = take(fileAnswers);
}
void ConsoleUi::showSave(CommonDialog& dialog) {
    dialog.fileName = take(fileAnswers);
}
std::string ConsoleUi::browseForFolder(const std::string&) {
    return {};
}

void ConsoleUi::showModal(Form& form) {
    auto filler = formFillers.find(form.name());
    if (filler != formFillers.end()) {
        filler->second(form);
    }
    if (!form.unloaded()) {
        form.requestClose();
    }
}

std::string ConsoleUi::thousandsSeparator() {
    const std::lconv* conventions = std::localeconv();
    if (conventions == nullptr || conventions->thousands_sep == nullptr ||
        conventions->thousands_sep[0] == '\0') {
        return ",";
    }
    return conventions->thousands_sep;
}

}  // namespace tandu::cli
