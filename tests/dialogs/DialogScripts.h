#pragma once

#include <functional>
#include <string>
#include <vector>

#include "TestProgram.h"

namespace tandu::test {

// Opens a dialog through its menu handler and runs the script inside it.
template <typename Dialog>
void openDialog(TestProgram& program, void (frmMain::*menu)(),
                std::function<void(Dialog&)> script) {
    program.host.ui.modalScripts.push_back(
        [script](Form& form) { script(static_cast<Dialog&>(form)); });
    (program.main->*menu)();
}

// The five lines of a freshly added download's definition file.
inline std::string form1(const std::string& name, const std::string& url, const std::string& folder,
                         const std::string& connections) {
    return name + "\r\nWaiting\r\n" + url + "\r\n" + folder + "\r\n" + connections + "\r\n";
}

inline std::vector<std::string> rowTexts(const ListView& rows) {
    std::vector<std::string> texts;
    for (int row = 0; row < rows.rowCount(); ++row) {
        texts.push_back(rows.text(row));
    }
    return texts;
}

}  // namespace tandu::test
