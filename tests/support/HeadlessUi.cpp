#include "HeadlessUi.h"

#include "controls/CommonDialog.h"
#include "controls/Form.h"
#include "controls/MenuItem.h"

namespace tandu::test {

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

void HeadlessUi::messageBox(const std::string& text, const std::string& title, MsgIcon icon) {
    messages.push_back(ShownMessage{text, title, icon});
    if (onMessage) {
        ++modalDepth;
        onMessage(messages.back());
        --modalDepth;
    }
}

std::string HeadlessUi::inputBox(const std::string& prompt, const std::string&,
                                 const std::string&) {
    prompts.push_back(prompt);
    return take(inputAnswers);
}

void HeadlessUi::showOpen(CommonDialog& dialog) {
    openTitles.push_back(dialog.dialogTitle);
    openFilters.push_back(dialog.filter);
    dialog.fileName = take(openAnswers);
}

void HeadlessUi::showSave(CommonDialog& dialog) {
    saveFilters.push_back(dialog.filter);
    dialog.fileName = take(saveAnswers);
}

std::string HeadlessUi::browseForFolder(const std::string& prompt) {
    folderPrompts.push_back(prompt);
    return take(folderAnswers);
}

void HeadlessUi::setClipboardText(const std::string& text) {
    clipboard = text;
    clipboardWrites.push_back(text);
}

void HeadlessUi::processPendingEvents() {
    ++pendingEventCalls;
    if (onPendingEvents) {
        onPendingEvents();
    }
}

void HeadlessUi::showModal(Form& form) {
    modalForms.push_back(form.name());
    ++modalDepth;
    form.setVisible(true);
    if (!modalScripts.empty()) {
        auto script = std::move(modalScripts.front());
        modalScripts.pop_front();
        script(form);
    }
    if (!form.unloaded()) {
        form.requestClose();
    }
    form.setVisible(false);
    --modalDepth;
}

void HeadlessUi::popupMenu(MenuItem& menu) { popups.push_back(menu.name()); }

void HeadlessUi::activate(Form&) { ++activations; }

ShownMessage HeadlessUi::lastMessage() const {
    return messages.empty() ? ShownMessage{"", "", MsgIcon::Information} : messages.back();
}

}  // namespace tandu::test
