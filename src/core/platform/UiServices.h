#pragma once

#include <functional>
#include <string>

#include "platform/UserMessage.h"

namespace tandu {

class CommonDialog;
class Form;
class MenuItem;

// What the logic needs from the windowing toolkit beyond its controls.
class UiServices {
public:
    virtual ~UiServices() = default;

    // A modal message box with one OK button.
    virtual void messageBox(const std::string& text, const std::string& title, MsgIcon icon) = 0;
    void show(const UserMessage& message) { messageBox(message.text, message.title, message.icon); }
    // A text prompt; a cancelled prompt answers the empty text.
    virtual std::string inputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) = 0;
    // The file dialogs read filter and title from the dialog and leave the
    // chosen name in dialog.fileName, the empty text when cancelled.
    virtual void showOpen(CommonDialog& dialog) = 0;
    virtual void showSave(CommonDialog& dialog) = 0;
    // The system's folder picker; the empty text when cancelled.
    virtual std::string browseForFolder(const std::string& prompt) = 0;

    virtual std::string clipboardText() = 0;
    virtual void setClipboardText(const std::string& text) = 0;

    // Lets the front-end deliver pending events (paint, input, network).
    virtual void processPendingEvents() = 0;
    // Runs the call from the event loop soon, after the handler that asks returns.
    virtual void post(std::function<void()> call) = 0;
    // Shows the form modally; returns once the form has unloaded.
    virtual void showModal(Form& form) = 0;
    // Shows a menu's items as a pop-up menu at the pointer.
    virtual void popupMenu(MenuItem& menu) = 0;
    // True while a modal form, message box or file dialog is open.
    virtual bool modalShown() = 0;
    // Brings the form's window to the front and gives it the input focus.
    virtual void activate(Form& form) = 0;
    // Ends the program at once, from inside any handler.
    virtual void endProgram() = 0;

    // The user's digit-group separator ("," in the C locale).
    virtual std::string thousandsSeparator() = 0;
    // Twips per screen pixel, horizontally (15 at 96 DPI).
    virtual double twipsPerPixelX() = 0;
};

}  // namespace tandu
