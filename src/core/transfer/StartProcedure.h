#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "catalogue/DefinitionFile.h"

namespace tandu {

class TransferEngine;

// The start button: a "Waiting" row starts afresh with a probe, a "Paused"
// row resumes from its progress file. With "Download all" it picks the row
// itself. Also the buttons for a selected row.
class StartProcedure {
public:
    explicit StartProcedure(TransferEngine& engine) : engine_(engine) {}

    void run();
    // The next download of "Download all"; from inside a start it runs once
    // that start has returned, so a queue of failures never nests.
    void next();
    void rowSelected();

private:
    void runOnce();
    // The row "Download all" takes: the first "Paused" one, else the first
    // "Waiting" one, passing over rows another process is transferring.
    struct Pick {
        int row = -1;
        std::string heldName;  // the first row passed over, if any
    };
    Pick pickRow() const;
    bool heldElsewhere(int row) const;
    void readBufferSize();
    // The row's definition file; shows the message when it cannot be read.
    std::optional<DefinitionFile> readDefinition(int row);
    void fresh(int row);
    void resume(int row);
    // Lines 1 to 5 into the record; false when the start cannot go on.
    bool takeDefinition(int row, const DefinitionFile& definition);

    TransferEngine& engine_;
    bool running_ = false;
    bool again_ = false;
};

}  // namespace tandu
