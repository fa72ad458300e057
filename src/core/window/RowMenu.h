#pragma once

#include <string>

#include "controls/ListView.h"

namespace tandu {

class Download;
class frmMain;

// What a row of the download list offers by itself: its pop-up menu (each
// command only where it applies), a double click that opens a finished
// file, Enter that starts and Delete that cancels as the buttons do.
class RowMenu {
public:
    explicit RowMenu(frmMain& form) : form_(form) {}

    // Shows the selected row's menu.
    void popup();
    void doubleClick();
    void keyDown(ListView::Key key);

    void download();
    void pause();
    void cancel();
    void open();
    void openFolder();
    void copyUrl();
    void speedLimit();
    void checksum();

    // "500KB/s", "2MB/s for all downloads", or both; empty when no limit applies.
    static std::string limitText(std::int64_t own, std::int64_t overall);

private:
    Download* selected();
    // Shows the items that apply to the download; false when none does.
    void prepare(const Download& download);

    frmMain& form_;
};

}  // namespace tandu
