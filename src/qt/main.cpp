#include <QApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Artwork.h"
#include "CurlFetcher.h"
#include "FileTransferLocks.h"
#include "NoSavedState.h"
#include "OpenSslFileHasher.h"
#include "PosixEnvironment.h"
#include "PosixProcessLauncher.h"
#include "QtInstanceChannel.h"
#include "QtIoWatcher.h"
#include "QtMainWindow.h"
#include "QtTray.h"
#include "QtUi.h"
#include "Text.h"
#include "WindowArguments.h"
#include "WorkerThreads.h"
#include "window/frmMain.h"
#include "window/modMain.h"

int main(int argc, char** argv) {
    using namespace tandu;
    // The command line as given, before Qt takes its own options out of it.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // Help needs no display: answer it before Qt looks for one.
    if (qt::WindowArguments(arguments).verdict() == qt::WindowArguments::Verdict::Help) {
        std::fputs(qt::WindowArguments::usage(), stdout);
        return 0;
    }

    qt::keepNoSavedState();
    QApplication application(argc, argv);
    // What Qt left of the command line is the window's to judge.
    const qt::WindowArguments left(std::vector<std::string>(argv + 1, argv + argc));
    if (left.verdict() == qt::WindowArguments::Verdict::Unknown) {
        std::fprintf(stderr, "tandu: unknown option '%s'\n%s", left.unknown().c_str(),
                     qt::WindowArguments::usage());
        return 2;
    }
    QApplication::setApplicationName(QString::fromLatin1(kAppTitle));
    QGuiApplication::setDesktopFileName(QStringLiteral("tandu"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(qt::Artwork::appIcon());

    qt::QtUi ui;
    PosixProcessLauncher launcher;
    PosixEnvironment environment;
    qt::QtTray tray;
    qt::QtInstanceChannel instance;
    FileTransferLocks locks;
    qt::QtIoWatcher watcher;
    CurlFetcher fetcher{watcher};
    OpenSslFileHasher hasher{[&ui](std::function<void()> call) { ui.post(std::move(call)); }};
    WorkerThreads background{&qt::QtUi::postFromThread};
    Platform platform{ui,    launcher, environment, tray,      instance,
                      locks, fetcher,  hasher,      background};

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
