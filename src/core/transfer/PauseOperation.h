#pragma once

namespace tandu {

class TransferEngine;

// "Pause Download": every buffer goes to the file, the progress file records
// it, the connections close and the row reads "Paused".
class PauseOperation {
public:
    explicit PauseOperation(TransferEngine& engine) : engine_(engine) {}

    void run();
    // A pause that also stops a start still waiting for its probe.
    void interrupt();

private:
    TransferEngine& engine_;
};

}  // namespace tandu
