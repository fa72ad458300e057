#include "LiveWindow.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTest>

namespace tandu::test {

LiveWindow::LiveWindow(int serverPort)
    : fetcher(watcher) {
    if (serverPort > 0) {
        fetcher.options().connectTo = {":80:127.0.0.1:" + std::to_string(serverPort)};
    }
    // Nothing left on the clipboard by another test prefills a dialog.
    QGuiApplication::clipboard()->clear();
}

LiveWindow::~LiveWindow() {
    close();
}

void LiveWindow::close() {
    window.reset();
    app.reset();
    // Sockets and dialogs go with deleteLater: let them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void LiveWindow::writeSettings(const std::string& contents) {
    writeFile(folder / "config.cfg", contents);
}

qt::QtMainWindow& LiveWindow::open(const std::string& commandLine) {
    app = std::make_unique<modMain>(platform, folder.path(), commandLine);
    app->onMainWindowCreated = [this](frmMain& form) {
        window = std::make_unique<qt::QtMainWindow>(form, ui.scale());
        ui.setMainWindow(window.get());
    };
    if (!app->Main()) {
        throw std::runtime_error("the program handed over to another instance");
    }
    if (!QTest::qWaitForWindowExposed(window.get())) {
        throw std::runtime_error("the main window never showed");
    }
    return *window;
}

void LiveWindow::trayNotify(int message) {
    form().mouseMove(0, 0, message * ui.twipsPerPixelX(), 0);
}

}  // namespace tandu::test
