#pragma once

#include <memory>
#include <string>

#include "HeadlessPlatform.h"
#include "TempFolder.h"
#include "transfer/RangeRules.h"
#include "window/frmMain.h"
#include "window/modMain.h"

namespace tandu::test {

// Requests as large as a file, pieces as small as a byte: every piece a
// test answers is one request, and a small file gets all the pieces it asks for.
inline RangeRules wholeRanges() {
    RangeRules rules;
    rules.first = rules.least = rules.most = std::int64_t{1} << 40;
    rules.smallestPiece = 1;
    return rules;
}

// The default settings file: 4 connections, no default folder, 512KB buffers.
inline constexpr const char* kDefaultSettings = "1.0\r\n4\r\n\r\n512KB\r\n";

// A program folder, the headless platform and the program's state around them.
// Files can be placed in the folder before load() runs the window's load steps.
class TestProgram {
public:
    void writeSettings(const std::string& contents = kDefaultSettings) {
        writeFile(folder / "config.cfg", contents);
    }
    // Creates the program state and the main window, and runs its load steps.
    frmMain& load(const std::string& commandLine = "") {
        app = std::make_unique<modMain>(host.platform, folder.path(), commandLine);
        main = &app->loadMainWindow();
        return *main;
    }

    TempFolder folder;
    HeadlessPlatform host;
    std::unique_ptr<modMain> app;
    frmMain* main = nullptr;
};

}  // namespace tandu::test
