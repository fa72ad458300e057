#pragma once

namespace tandu {

class Download;

// The last piece is complete: the files of the download go, its row reads
// "Completed", and then the next download of "Download all" or the shutdown.
class CompletionActions {
public:
    explicit CompletionActions(Download& download) : engine_(download) {}

    void run();

private:
    Download& engine_;
};

}  // namespace tandu
