#pragma once

#include <QPointer>
#include <QWidget>

#include "TwipsScale.h"
#include "platform/UiServices.h"

namespace tandu::qt {

// UI services on Qt widgets. Dialogs are Qt's own (not the desktop's), so
// they behave the same on every desktop and under test.
class QtUi : public UiServices {
public:
    void messageBox(const std::string& text, const std::string& title, MsgIcon icon) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void showOpen(CommonDialog& dialog) override;
    void showSave(CommonDialog& dialog) override;
    std::string browseForFolder(const std::string& prompt) override;
    std::string clipboardText() override;
    void setClipboardText(const std::string& text) override;
    void processPendingEvents() override;
    void post(std::function<void()> call) override;
    // The same from any thread (background work reporting back).
    static void postFromThread(std::function<void()> call);
    void showModal(Form& form) override;
    void popupMenu(MenuItem& menu) override;
    bool modalShown() override;
    void activate(Form& form) override;
    void endProgram() override;
    std::string thousandsSeparator() override;
    double twipsPerPixelX() override { return scale().twipsPerPixel(); }

    void setMainWindow(QWidget* window) { mainWindow_ = window; }
    TwipsScale scale() const { return TwipsScale::forScreen(); }

    // Converts "Description|pattern|..." to Qt's "Description (pattern);;...".
    static QString qtFilter(const std::string& filter);

private:
    QWidget* parentWindow() const;
    QPointer<QWidget> mainWindow_;
};

}  // namespace tandu::qt
