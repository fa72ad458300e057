#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "transfer/CompletionActions.h"
#include "transfer/DataPath.h"
#include "transfer/PauseOperation.h"
#include "transfer/ProbeHandler.h"
#include "transfer/ProgressTimer.h"
#include "transfer/ProgressWriter.h"
#include "transfer/StartProcedure.h"
#include "transfer/TargetFile.h"
#include "transfer/TransferPages.h"
#include "transfer/TransferRecord.h"

namespace tandu {

class frmMain;
class Socket;
class TransferLock;
struct Platform;

// The one running transfer of the main window: its record, the socket array
// WS (element 0 probes; 1..n fetch the pieces), the target file and the lock
// that keeps other processes off the download.
class TransferEngine {
public:
    static constexpr int kHttpPort = 80;

    explicit TransferEngine(frmMain& form);
    ~TransferEngine();

    // --- what the window's handlers call ---
    bool downloading() const { return record_.downloading; }
    void rowSelected() { start_.rowSelected(); }
    void start() { start_.run(); }
    void pause() { pause_.run(); }
    void tick() { timer_.tick(); }
    std::string tooltip() const { return timer_.tooltip(); }
    void onConnect(int index);
    void onDataArrival(int index);
    void onError(int index, int number, const std::string& description);
    void onClose(int index);

    // --- for tandu-cli ---
    // Stops the transfer as "Pause Download" does; a start still waiting for
    // its probe is dropped, its row unchanged.
    void interrupt() { pause_.interrupt(); }
    // A transfer runs but no connection is left that could move it on.
    bool stalled() const;
    // 0-based row of the running (or last) transfer, -1 before the first.
    int currentRow() const { return record_.curRow; }

    // --- for the transfer steps ---
    frmMain& form() { return form_; }
    Platform& platform();
    TransferRecord& record() { return record_; }
    TransferPages& pages() { return pages_; }
    TargetFile& target() { return target_; }
    Socket* socket(int index);
    // Creates WS(1)..WS(count) afresh.
    void createConnections(int count);
    // Connects WS(index) to the host on port 80, creating it when missing.
    void connect(int index);
    void destroyConnection(int index);
    void destroyConnections();
    bool acquireLock(const std::string& definitionPath);
    // Rewrites the progress file from the bytes now in the target file.
    bool rewriteProgress(std::string* reason);
    // The same after a flush, when counts have only grown.
    bool advanceProgress(std::string* reason);

    // Ends the running transfer: timer off, data connections gone, target file
    // closed, lock released, idle layout. The caller sets the row and the buttons.
    void endTransfer();
    // The start failed before any data: row "Error", idle layout, buttons
    // usable; `message` (if any) is shown once the window is settled; with
    // "Download all" the next download starts.
    void failStart(const std::optional<std::string>& message);
    // A file could not be written: the transfer ends, the row reads "Error",
    // what was written stays.
    void failOnFile(const std::string& path, const std::string& reason);
    void runCompletion() { completion_.run(); }
    // "Download all" goes on with the next row.
    void startNext() { start_.next(); }
    void showError(const std::string& text);
    void showNotice(const std::string& text);
    void showConnectionError(const std::string& description);

private:
    std::unique_ptr<Socket> makeSocket(int index);

    frmMain& form_;
    TransferRecord record_;
    std::vector<std::unique_ptr<Socket>> WS;
    TargetFile target_;
    ProgressWriter progress_;
    std::unique_ptr<TransferLock> lock_;
    TransferPages pages_;
    StartProcedure start_;
    ProbeHandler probe_;
    DataPath data_;
    CompletionActions completion_;
    PauseOperation pause_;
    ProgressTimer timer_;
};

}  // namespace tandu
