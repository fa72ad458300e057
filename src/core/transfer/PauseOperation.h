#pragma once

namespace tandu {

class Download;

// "Pause Download": every buffer goes to the file, the progress file records
// it, the connections close and the download reads "Paused". A start still
// waiting for its first answer is dropped, its state unchanged.
class PauseOperation {
public:
    explicit PauseOperation(Download& download) : engine_(download) {}

    void run();

private:
    Download& engine_;
};

}  // namespace tandu
