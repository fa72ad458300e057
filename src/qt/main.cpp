#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "Artwork.h"
#include "FileTransferLocks.h"
#include "PosixEnvironment.h"
#include "PosixProcessLauncher.h"
#include "QtInstanceChannel.h"
#include "QtMainWindow.h"
#include "QtSocket.h"
#include "QtTray.h"
#include "QtUi.h"
#include "Text.h"
#include "shell/frmMain.h"
#include "shell/modMain.h"

int main(int argc, char** argv) {
    using namespace tandu;
    // The command line as given, before Qt takes its own options out of it.
    const std::vector<std::string> arguments(argv + 1, argv + argc);

    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kAppTitle));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(qt::Artwork::appIcon());

    qt::QtUi ui;
    qt::QtSocketFactory sockets;
    PosixProcessLauncher launcher;
    PosixEnvironment environment;
    qt::QtTray tray;
    qt::QtInstanceChannel instance;
    FileTransferLocks locks;
    Platform platform{ui, sockets, launcher, environment, tray, instance, locks};

    modMain app(platform, qt::fromQ(QCoreApplication::applicationDirPath()),
                modMain::commandLineFromArguments(arguments));
    std::unique_ptr<qt::QtMainWindow> window;
    app.onMainWindowCreated = [&](frmMain& form) {
        window = std::make_unique<qt::QtMainWindow>(form, ui.scale());
        ui.setMainWindow(window.get());
        tray.onNotify = [&form, &ui](int message) {
            form.mouseMove(0, 0, message * ui.twipsPerPixelX(), 0);
        };
    };
    if (!app.Main()) {
        return 0;  // a running instance took over
    }
    const int status = QApplication::exec();
    tray.onNotify = nullptr;
    window.reset();
    return status;
}
