#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/TransferLocks.h"

namespace tandu {

class Download;
class DownloadList;

// Starts downloads of a list, up to a number at once. In "all" mode it takes
// the next one whenever one ends: the first "Paused" row, else the first
// "Waiting" one (or the given names, in their order). A download it could not
// start is passed over; each is tried once per run.
class DownloadQueue {
public:
    static constexpr int kMostAtOnce = 32;

    explicit DownloadQueue(DownloadList& list);

    void setLimit(int atOnce);
    int limit() const { return limit_; }
    // Restricts "all" mode to these downloads (by name), in this order.
    void setNames(std::vector<std::string> names) { names_ = std::move(names); }

    // Whether "all" mode is on, asked at each step.
    std::function<bool()> allMode;
    // "all" mode took this download; the front-end may select it.
    std::function<void(Download&)> onPicked;
    // Nothing runs and nothing is left to start. `heldName` names a download
    // passed over because another process transfers it (then nothing is finished).
    std::function<void(const std::string& heldName)> onFinished;

    // The start button: in "all" mode a new run, else this one download.
    // False when nothing started.
    bool start(Download* selected);
    // Goes on with the run, e.g. after a download was stopped from outside.
    void goOn() { fill(); }
    // From the list: a download ended.
    void downloadEnded(Download& download);
    // A running download has every byte and waits only for the disk.
    void lastByteIn();

private:
    bool all() const { return allMode && allMode(); }
    void fill();
    void fillOnce();
    Download* pick(std::string& heldName);
    // Takes the download's lock when nobody else holds it.
    bool heldElsewhere(const Download& download);

    DownloadList& list_;
    int limit_ = 1;
    std::vector<std::string> names_;
    std::set<std::string> tried_;
    bool filling_ = false;
    bool again_ = false;
    std::unique_ptr<TransferLock> picked_;
};

}  // namespace tandu
