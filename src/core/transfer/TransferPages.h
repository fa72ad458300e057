#pragma once

#include <string>

namespace tandu {

class TransferEngine;

// What the window shows of the running transfer outside the timer's figures:
// the General and Buffer pages, the pieces list, the row and the buttons.
class TransferPages {
public:
    explicit TransferPages(TransferEngine& engine) : engine_(engine) {}

    // URL, target, size and pieces; the buffer figures; both gauges' ranges.
    void showDownloadFigures();
    // One row per connection: "Connection 1", "Connection 2", ...
    void listPieces();
    void resetBufferPage();
    void setRowState(const std::string& state);
    // After a transfer: only "Clear Completed" stays usable until a row is selected.
    void settleButtons();
    // While a transfer starts: nothing that would disturb it.
    void lockButtons();

private:
    TransferEngine& engine_;
};

}  // namespace tandu
