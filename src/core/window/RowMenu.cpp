#include "window/RowMenu.h"

#include "net/Url.h"
#include "platform/Checksum.h"
#include "services/Application.h"
#include "services/DesktopOpen.h"
#include "text/SpeedLimitText.h"
#include "transfer/DownloadList.h"
#include "transfer/DownloadQueue.h"
#include "window/frmMain.h"
#include "window/modMain.h"

namespace tandu {

namespace {

bool startable(DownloadState state) {
    return state == DownloadState::Waiting || state == DownloadState::Paused;
}

}  // namespace

Download* RowMenu::selected() {
    const int row = form_.lstDown.selectedIndex();
    return row >= 0 && row < form_.downloads().count() ? &form_.downloads().at(row) : nullptr;
}

std::string RowMenu::limitText(std::int64_t own, std::int64_t overall) {
    std::string text = own > 0 ? speedlimit::text(own) : "";
    if (overall > 0) {
        text += (text.empty() ? "" : ", ") + speedlimit::text(overall) + " for all downloads";
    }
    return text;
}

void RowMenu::prepare(const Download& download) {
    const DownloadState state = download.state();
    const bool running = download.running();
    const bool completed = state == DownloadState::Completed;
    const DownloadList& list = form_.downloads();
    form_.menRowDownload.setVisible(!running && startable(state) &&
                                    list.runningCount() < form_.queue().limit());
    form_.menRowPause.setVisible(running);
    // Cancelling a running download is for when others run beside it, as the button.
    form_.menRowCancel.setVisible(running ? form_.queue().limit() > 1 : !completed);
    form_.menRowOpen.setVisible(completed);
    form_.menRowCopy.setVisible(!download.url().empty());
    form_.menRowLimit.setVisible(!completed);
    form_.menRowChecksum.setVisible(!completed && state != DownloadState::Verifying);
}

void RowMenu::popup() {
    if (const Download* download = selected()) {
        prepare(*download);
        form_.app().platform().ui.popupMenu(form_.menRow);
    }
}

void RowMenu::doubleClick() {
    const Download* download = selected();
    if (download != nullptr && download->state() == DownloadState::Completed) {
        open();
    }
}

void RowMenu::keyDown(ListView::Key key) {
    // The same as the buttons, with whatever they ask first.
    if (key == ListView::Key::Delete && form_.cmbCancel.enabled()) {
        form_.cmbCancel_Click();
    } else if (key == ListView::Key::Enter && form_.cmbDownSel.enabled()) {
        form_.cmbDownSel_Click();
    }
}

void RowMenu::download() {
    if (Download* download = selected(); download != nullptr && !download->running()) {
        if (const auto refusal = form_.app().application().start(download, false)) {
            form_.messages().show(*refusal);
        }
    }
}

void RowMenu::pause() {
    if (Download* download = selected(); download != nullptr && download->running()) {
        download->pause();
    }
}

void RowMenu::cancel() {
    form_.cmbCancel_Click();
}

void RowMenu::open() {
    if (const Download* download = selected()) {
        if (auto failure =
                DesktopOpen::open(form_.app().platform().launcher, download->targetPath())) {
            form_.messages().show(*failure);
        }
    }
}

void RowMenu::openFolder() {
    if (const Download* download = selected()) {
        if (auto failure = DesktopOpen::openFolderOf(form_.app().platform().launcher,
                                                     download->targetPath())) {
            form_.messages().show(*failure);
        }
    }
}

void RowMenu::copyUrl() {
    const Download* download = selected();
    if (download == nullptr) {
        return;
    }
    // Every program may read the clipboard: a password stays in the definition.
    std::string url = download->url();
    if (const auto parsed = net::Url::parse(url); parsed && !parsed->password().empty()) {
        url = parsed->display();
        if (const std::size_t at = url.find(":***@"); at != std::string::npos) {
            url.erase(at, 4);
        }
    }
    form_.app().platform().ui.setClipboardText(url);
}

void RowMenu::speedLimit() {
    const Download* download = selected();
    if (download == nullptr) {
        return;
    }
    const std::string name = download->name();
    const std::string shown =
        download->ownLimit() > 0 ? speedlimit::text(download->ownLimit()) : "0";
    const std::string answer = form_.app().platform().ui.inputBox(
        "Speed limit of \"" + download->text() +
            "\" in KB/s (e.g. 500 or 2M; 0: none).\nThe limit for all downloads together is set "
            "in Preferences.",
        "Speed limit", shown);
    // The prompt let events run: the row is found again by its name.
    Download* now = form_.downloads().find(name);
    if (answer.empty() || now == nullptr) {
        return;
    }
    const auto kbps = speedlimit::parse(answer);
    if (!kbps) {
        form_.messages().show({"\"" + answer + "\" is no speed: give KB/s, e.g. 500 or 2M.",
                               "Speed limit", MsgIcon::Critical});
    } else if (auto failure = form_.app().application().setOwnLimit(*now, *kbps)) {
        form_.messages().show(*failure);
    }
}

void RowMenu::checksum() {
    const Download* download = selected();
    if (download == nullptr) {
        return;
    }
    const std::string name = download->name();
    const std::string answer = form_.app().platform().ui.inputBox(
        "Checksum the file of \"" + download->text() +
            "\" must match, as the site publishes it:\nsha256=, sha512=, sha1= or md5= and its "
            "hexadecimal digits (\"none\": no check).",
        "Checksum", download->checksumText());
    Download* now = form_.downloads().find(name);
    if (answer.empty() || now == nullptr) {
        return;
    }
    const auto parsed = Checksum::parse(answer);
    if (!parsed && answer != "none") {
        form_.messages().show({"\"" + answer +
                                   "\" is no checksum: give sha256=, sha512=, sha1= or md5= "
                                   "followed by its hexadecimal digits.",
                               "Checksum", MsgIcon::Critical});
    } else if (auto failure = form_.app().application().setChecksum(*now, parsed)) {
        form_.messages().show(*failure);
    }
}

}  // namespace tandu
