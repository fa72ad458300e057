#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "storage/DeferredSyncs.h"
#include "storage/ProgressWriter.h"
#include "transfer/ChecksumCheck.h"
#include "transfer/CompletionActions.h"
#include "transfer/ConnectionBalancer.h"
#include "transfer/DataPath.h"
#include "transfer/DownloadEvents.h"
#include "transfer/DownloadSetup.h"
#include "transfer/DownloadState.h"
#include "transfer/FirstRequest.h"
#include "transfer/PauseOperation.h"
#include "transfer/ProgressTimer.h"
#include "transfer/StartProcedure.h"
#include "transfer/TargetFile.h"
#include "transfer/TransferRecord.h"

namespace tandu {

class TransferLock;
struct DownloadRow;

namespace net {
class Fetch;
class RateGroup;
struct AnswerHead;
}  // namespace net

// One download, known by its definition file's base name: its record, its
// fetches (0 is a fresh start's first request until its answer makes the
// plan; k >= 1 fetches stretch k), the target file and the lock that keeps
// other processes off it. Commanded by calls; tells its
// DownloadEvents what it does.
class Download {
public:
    // The texts of its row in a list of downloads.
    struct RowTexts {
        std::string speed = "???";
        std::string size = "???";
        std::string eta = "???";
    };

    Download(DownloadSetup& setup, DownloadEvents& events, std::string definitionPath,
             std::string text, DownloadState state);
    ~Download();
    Download(const Download&) = delete;
    Download& operator=(const Download&) = delete;

    const std::string& name() const { return name_; }
    // The name shown for it: line 1 of its definition, or its file's name.
    const std::string& text() const { return text_; }
    const std::string& definitionPath() const { return definitionPath_; }
    DownloadState state() const { return state_; }
    const RowTexts& row() const { return row_; }
    const TransferRecord& record() const { return record_; }
    bool running() const { return record_.downloading; }
    bool probing() const { return record_.probing; }
    // The ends of a row that is not running, for a list that reads them again.
    void setRowState(DownloadState state, const std::string& sizeText);
    // What its definition said when its row was read.
    void remember(const DownloadRow& row);
    void remember(const std::string& url, const std::string& folder,
                  const std::map<std::string, std::string>& extras);
    // The URL as added, and where its file is (or will be).
    const std::string& url() const { return url_; }
    std::string targetPath() const;
    // Its own speed limit, KB/s (0: none).
    std::int64_t ownLimit() const { return ownLimit_; }
    // The checksum its file must match, as stored ("sha256=HEX") or carried
    // by its URL; empty for none.
    std::string checksumText() const;
    // Stored when the user wants no check at all.
    static constexpr const char* kNoChecksum = "none";
    // Each stores the value in the definition and applies it at once, also to
    // a running transfer. False with the reason when the definition cannot
    // be written.
    bool setOwnLimit(std::int64_t kbps, std::string* reason);
    bool setChecksum(const std::optional<Checksum>& checksum, std::string* reason);

    // --- commands ---
    // Starts a "Waiting" download afresh or resumes a "Paused" one. Quiet: a
    // URL that cannot be fetched fails without a message. False when it did
    // not start (a message said why, unless it failed quietly). A lock the
    // caller already holds on the download is used rather than taken again.
    bool start(bool quiet, std::unique_ptr<TransferLock> lock = nullptr);
    void pause() { pause_.run(); }
    // Paused by the download itself (its file went away), not by the user: a
    // queue goes on with the next one.
    void pauseOnFault() {
        pausedOnFault_ = true;
        pause_.run();
    }
    bool pausedOnFault() const { return pausedOnFault_; }
    // The once-a-second figures; retries that waited long enough go out.
    void tick();
    // A transfer runs but no connection is left that could move it on.
    bool stalled() const;
    // Paused, keeping every byte, with a message saying why it cannot go on.
    void pauseStalled();
    // "retrying piece 3 in 4 s" while a fetch waits to go out again, else "".
    std::string retryText() const;
    // "connection 3 → piece 7" for each connection helping another's piece.
    std::string helpText() const;
    // "Downloading NAME @ 12KB/s"
    std::string tooltip() const { return timer_.tooltip(); }

    // --- for the transfer steps ---
    DownloadSetup& setup() { return setup_; }
    TransferRecord& record() { return record_; }
    TargetFile& target() { return target_; }
    DataPath& data() { return data_; }
    bool fetching(int index) const;
    bool quiet() const { return quiet_; }
    // The speed-limit group its fetches share while it runs.
    const std::shared_ptr<net::RateGroup>& rateGroup() const { return rateGroup_; }
    // A speed limit holds it back: its connections are slow on purpose.
    bool rateHeld() const;
    // A server's answer may announce the file's checksum, kept when none was given.
    void noteAnnouncedChecksum(const net::AnswerHead& head);
    // Fetch `index` goes out now: the first request (0) or a stretch's next bytes.
    void connect(int index);
    // The running fetch `from` serves stretch `to` from now on.
    void handOver(int from, int to);
    // Nothing written yet: the download goes by this name (numbered where it
    // is taken), its definition, progress file and row with it. Keeps its
    // own name when the new one cannot be had.
    void takeName(const std::string& name);
    // Connection c finished its stretch; it may help a slower one.
    void connectionFree(int connection) { balancer_.connectionFree(connection); }
    void helpIdle() { balancer_.helpIdle(); }
    // Free connections look again (a few times a second at most): call it
    // between ticks.
    void balanceNow() { balancer_.balanceNow(); }
    // Fetch `index` broke or got a passing refusal: it goes out again after
    // a delay; when the tries are spent it gives up.
    void retryLater(int index, std::optional<std::chrono::seconds> serverDelay,
                    const std::string& reason);
    // Fetch `index` cannot go on: the first request fails the start; a stretch is
    // left to the other connections to help, and once none is left the
    // download pauses.
    void giveUp(int index, const std::string& reason);
    void destroyConnection(int index);
    void destroyConnections();
    bool acquireLock();
    std::unique_ptr<TransferLock> releaseLock();
    // The definition with the plan's figures (the URL as added).
    bool writeDefinition(std::string* reason);
    // Rewrites the progress file from the bytes now in the target file, once
    // they are durable.
    bool rewriteProgress(std::string* reason);
    // The progress file of a fresh start, nothing counted, its name made
    // durable before its target is made.
    bool claimTarget(std::string* reason);
    // The new name at `path` is made durable with the target's next sync,
    // beside the loop, before any byte counts.
    void syncNameLater(const std::string& path);
    // The same after a flush, when counts have only grown: batched, beside
    // the loop.
    bool advanceProgress(std::string* reason);
    // A background commit of the progress file has ended; false (with the
    // reason) when it failed.
    bool settleProgress(std::string* reason);
    // Makes every byte written to the target durable; runs on any thread.
    ProgressWriter::Sync targetSync();
    // A definition staged by the start is put in place now, before another
    // write of it.
    bool settleDefinition(std::string* reason);

    // The transfer begins: the figures are known.
    void began();
    void setState(DownloadState state);
    RowTexts& rowTexts() { return row_; }
    void changed() { events_.downloadChanged(*this); }
    // Ends the running transfer: data connections gone, target file closed,
    // lock released. The caller then says how it ended.
    void endTransfer();
    void ended() { events_.downloadEnded(*this); }
    // The start failed before any data: state "Error", the message (if any),
    // the end.
    void failStart(const std::optional<std::string>& message);
    // A file could not be written: the transfer ends in "Error", what was
    // written stays.
    void failOnFile(const std::string& path, const std::string& reason);
    void runCompletion() { completion_.run(); }
    // Completed, and its own files are still being removed.
    bool removingFiles() const { return completion_.removingFiles(); }
    void settleRemoval() { completion_.settleRemoval(); }
    // The last byte is in: true while the file's checksum is being checked.
    bool checkingChecksum() { return checksum_.begin(); }
    void showError(const std::string& text);
    void showNotice(const std::string& text);
    void showConnectionError(const std::string& description);
    // The transfer cannot go on: what was written stays counted, the row
    // goes "Error" with this one message.
    void failTransfer(const std::string& message);

private:
    std::unique_ptr<net::Fetch> makeFetch(int index);

    DownloadSetup& setup_;
    DownloadEvents& events_;
    std::string definitionPath_;
    std::string name_;
    std::string text_;
    std::string url_;
    std::string folder_;
    std::map<std::string, std::string> extras_;
    std::int64_t ownLimit_ = 0;
    std::shared_ptr<net::RateGroup> rateGroup_;
    DownloadState state_;
    RowTexts row_;
    bool quiet_ = false;
    bool pausedOnFault_ = false;
    // Why the last connection to give up did.
    std::string lastFailure_;
    TransferRecord record_;
    std::vector<std::unique_ptr<net::Fetch>> fetches_;
    TargetFile target_;
    std::shared_ptr<DeferredSyncs> deferred_ = std::make_shared<DeferredSyncs>();
    // After the target: its background commit ends before the file closes.
    ProgressWriter progress_;
    std::unique_ptr<TransferLock> lock_;
    StartProcedure start_;
    FirstRequest first_;
    DataPath data_;
    ConnectionBalancer balancer_;
    ChecksumCheck checksum_;
    CompletionActions completion_;
    PauseOperation pause_;
    ProgressTimer timer_;
};

}  // namespace tandu
