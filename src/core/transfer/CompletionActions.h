#pragma once

namespace tandu {

class TransferEngine;

// The last piece is complete: the files of the download go, its row reads
// "Completed", and then the next download of "Download all" or the shutdown.
class CompletionActions {
public:
    explicit CompletionActions(TransferEngine& engine) : engine_(engine) {}

    void run();

private:
    TransferEngine& engine_;
};

}  // namespace tandu
