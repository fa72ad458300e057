#pragma once

#include <QAbstractItemModel>
#include <QApplication>
#include <QTreeView>
#include <memory>

#include "FileTransferLocks.h"
#include "PosixEnvironment.h"
#include "QtMainWindow.h"
#include "QtUi.h"
#include "TestProgram.h"

namespace tandu::test {

// The real main window over a temporary program folder. Prompts and dialogs
// that need a person stay scripted through the headless UI services, while
// every control is the real widget bound to the real view model.
class WindowFixture {
public:
    WindowFixture() { program.writeSettings(); }

    qt::QtMainWindow& open(const std::string& commandLine = "") {
        program.app =
            std::make_unique<modMain>(program.host.platform, program.folder.path(), commandLine);
        program.app->onMainWindowCreated = [this](frmMain& form) {
            window = std::make_unique<qt::QtMainWindow>(form, qt::TwipsScale(96));
        };
        program.main = &program.app->loadMainWindow();
        QApplication::processEvents();
        return *window;
    }

    template <typename Widget>
    Widget* find(const char* objectName) {
        return window->findChild<Widget*>(QString::fromLatin1(objectName));
    }

    ~WindowFixture() { window.reset(); }

    TestProgram program;
    std::unique_ptr<qt::QtMainWindow> window;
};

}  // namespace tandu::test
