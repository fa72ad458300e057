#pragma once

#include <QAction>
#include <memory>
#include <string>

#include "CurlFetcher.h"
#include "FakeServices.h"
#include "FileTransferLocks.h"
#include "ModalDriver.h"
#include "OpenSslFileHasher.h"
#include "PosixEnvironment.h"
#include "QtIoWatcher.h"
#include "QtMainWindow.h"
#include "QtUi.h"
#include "TempFolder.h"
#include "WidgetActions.h"
#include "WorkerThreads.h"
#include "platform/Platform.h"
#include "window/frmMain.h"
#include "window/modMain.h"

namespace tandu::test {

// The Qt services of the real program; only ending the program is recorded,
// since it would end every later test's event loops too.
class TestQtUi : public qt::QtUi {
public:
    void endProgram() override { ++endProgramCalls; }
    int endProgramCalls = 0;
};

// The program assembled as main() assembles it — the real UI services,
// network and main window — over a temporary program folder. Only what must
// not run in a test is swapped: the launcher records, the tray and the
// single-instance channel are fakes, and port 80 leads to `serverPort`.
class LiveWindow {
public:
    explicit LiveWindow(int serverPort = 0);
    ~LiveWindow();

    void writeSettings(const std::string& contents);
    // Runs the program's entry procedure: the window loads and shows.
    qt::QtMainWindow& open(const std::string& commandLine = "");
    // Ends this run of the program: its window and state go, the folder stays.
    void close();

    frmMain& form() { return *app->mainWindow(); }
    template <typename Widget>
    Widget* need(const char* name) {
        return test::need<Widget>(window.get(), QString::fromLatin1(name));
    }
    QAction* action(const char* name) { return need<QAction>(name); }
    // A notification from the tray icon, delivered as the real tray delivers it.
    void trayNotify(int message);

    std::string definitionPath(const std::string& name) const {
        return folder.definitions() + name + ".def";
    }

    TempFolder folder;
    ModalDriver driver;
    TestQtUi ui;
    RecordingLauncher launcher;
    PosixEnvironment environment;
    FakeTray tray;
    FakeInstanceChannel instance;
    FileTransferLocks locks;
    qt::QtIoWatcher watcher;
    CurlFetcher fetcher;
    OpenSslFileHasher hasher{[this](std::function<void()> call) { ui.post(std::move(call)); }};
    WorkerThreads background{&qt::QtUi::postFromThread};
    Platform platform{ui,    launcher, environment, tray,      instance,
                      locks, fetcher,  hasher,      background};
    std::unique_ptr<modMain> app;
    std::unique_ptr<qt::QtMainWindow> window;
};

}  // namespace tandu::test
