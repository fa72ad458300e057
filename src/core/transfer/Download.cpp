#include "transfer/Download.h"

#include <cstdio>
#include <filesystem>

#include "net/Fetcher.h"
#include "platform/TransferLocks.h"
#include "storage/CookieFile.h"
#include "storage/DefinitionFile.h"
#include "storage/DownloadRows.h"
#include "storage/FileNames.h"
#include "storage/TextFile.h"
#include "transfer/AnnouncedDigest.h"
#include "transfer/TransferMessages.h"

namespace tandu {

namespace {

std::string baseNameOf(const std::string& definitionPath) {
    return std::filesystem::path(definitionPath).stem().string();
}

}  // namespace

Download::Download(DownloadSetup& setup, DownloadEvents& events, std::string definitionPath,
                   std::string text, DownloadState state)
    : setup_(setup),
      events_(events),
      definitionPath_(std::move(definitionPath)),
      name_(baseNameOf(definitionPath_)),
      text_(std::move(text)),
      state_(state),
      progress_(setup.progressBatch),
      start_(*this),
      first_(*this),
      data_(*this),
      balancer_(*this),
      checksum_(*this),
      completion_(*this),
      pause_(*this),
      timer_(*this) {
    record_.definitionPath = definitionPath_;
    record_.progressPath = ProgressPathFor(definitionPath_);
}

Download::~Download() = default;

void Download::setRowState(DownloadState state, const std::string& sizeText) {
    state_ = state;
    row_ = RowTexts{};
    row_.size = sizeText;
}

void Download::remember(const DownloadRow& row) {
    remember(row.url, row.folder, row.extras);
}

void Download::remember(const std::string& url, const std::string& folder,
                        const std::map<std::string, std::string>& extras) {
    url_ = url;
    folder_ = folder;
    extras_ = extras;
    const auto limit = extras_.count(DefinitionFile::kLimitKey)
                           ? textfile::parseWholeNumber(extras_[DefinitionFile::kLimitKey])
                           : std::nullopt;
    ownLimit_ = limit && *limit > 0 ? *limit : 0;
}

std::string Download::targetPath() const {
    if (!record_.targetPath.empty()) {
        return record_.targetPath;
    }
    std::string folder = textfile::trim(folder_);
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder + text_;
}

std::string Download::checksumText() const {
    if (const auto it = extras_.find(DefinitionFile::kChecksumKey); it != extras_.end()) {
        return it->second == kNoChecksum ? "" : it->second;
    }
    const auto carried = Checksum::fromUrl(url_);
    return carried ? carried->text() : std::string();
}

namespace {

// One extra line of the definition, in the file and in what a running
// transfer writes back with every rewrite.
bool storeExtra(const std::string& path, std::map<std::string, std::string>& extras,
                std::map<std::string, std::string>& running, const std::string& key,
                const std::string& value, std::string* reason) {
    if (!DefinitionFile::setExtra(path, key, value, reason)) {
        return false;
    }
    for (auto* map : {&extras, &running}) {
        if (value.empty()) {
            map->erase(key);
        } else {
            (*map)[key] = value;
        }
    }
    return true;
}

}  // namespace

bool Download::setOwnLimit(std::int64_t kbps, std::string* reason) {
    if (!settleDefinition(reason) ||
        !storeExtra(definitionPath_, extras_, record_.defExtras, DefinitionFile::kLimitKey,
                    kbps > 0 ? std::to_string(kbps) : "", reason)) {
        return false;
    }
    ownLimit_ = std::max<std::int64_t>(kbps, 0);
    if (rateGroup_) {
        rateGroup_->setLimit(ownLimit_ * 1000);
    }
    changed();
    return true;
}

bool Download::setChecksum(const std::optional<Checksum>& checksum, std::string* reason) {
    // "none" outweighs a checksum the URL carries and one the server announces.
    if (!settleDefinition(reason) ||
        !storeExtra(definitionPath_, extras_, record_.defExtras, DefinitionFile::kChecksumKey,
                    checksum ? checksum->text() : kNoChecksum, reason)) {
        return false;
    }
    if (running() && !record_.afterLastByte()) {
        record_.checksum = checksum;
    }
    changed();
    return true;
}

bool Download::settleDefinition(std::string* reason) {
    return !deferred_->holdsStep() || deferred_->run(reason);
}

bool Download::rateHeld() const {
    return rateGroup_ && rateGroup_->held();
}

void Download::noteAnnouncedChecksum(const net::AnswerHead& head) {
    const auto stored = record_.defExtras.find(DefinitionFile::kChecksumKey);
    if (record_.checksum || (stored != record_.defExtras.end() && stored->second == kNoChecksum)) {
        return;
    }
    if (auto announced = AnnouncedDigest(head)) {
        record_.checksum = announced;
        // Stored with the next rewrite of the definition, for a later resume.
        record_.defExtras[DefinitionFile::kChecksumKey] = announced->text();
    }
}

bool Download::start(bool quiet, std::unique_ptr<TransferLock> lock) {
    if (running()) {
        return false;
    }
    lock_ = std::move(lock);
    quiet_ = quiet;
    pausedOnFault_ = false;
    lastFailure_.clear();
    start_.run();
    if (!running()) {
        lock_.reset();
    }
    return running() || state_ == DownloadState::Completed;
}

void Download::tick() {
    if (!record_.downloading) {
        return;
    }
    // Counted down first: a retry made due by this tick goes out with it.
    if (record_.probing && record_.probeRetryIn > 0 && --record_.probeRetryIn == 0) {
        connect(0);
    }
    for (int k = 1; k <= record_.stretchCount() && running(); ++k) {
        Stretch& p = record_.stretch(k);
        if (!p.done && p.retryIn > 0 && --p.retryIn == 0) {
            connect(k);
        }
    }
    if (!record_.afterLastByte()) {
        timer_.tick();
        balancer_.tick();
    }
    // Bytes written since the last commit count within a second or two, even
    // when nothing more comes.
    std::string reason;
    if (running() && !record_.probing && !record_.stretches.empty() &&
        !advanceProgress(&reason)) {
        failOnFile(record_.progressPath, reason);
    }
}

std::string Download::retryText() const {
    if (record_.probing && record_.probeRetryIn > 0) {
        return "retrying in " + std::to_string(record_.probeRetryIn) + " s";
    }
    // Pieces are laid out only once the first answer came.
    for (const Stretch& s : record_.stretches) {
        if (s.retryIn > 0) {
            return "retrying piece " + std::to_string(s.piece) + " in " +
                   std::to_string(s.retryIn) + " s";
        }
    }
    return "";
}

std::string Download::helpText() const {
    std::string text;
    for (const Stretch& s : record_.stretches) {
        if (!s.done && s.connection != s.piece) {
            text += (text.empty() ? "" : ", ") + std::string("connection ") +
                    std::to_string(s.connection) + " → piece " + std::to_string(s.piece);
        }
    }
    return text;
}

// ---------------------------------------------------------------- fetches

bool Download::fetching(int index) const {
    return index >= 0 && index < static_cast<int>(fetches_.size()) &&
           fetches_[static_cast<std::size_t>(index)] != nullptr;
}

void Download::connect(int index) {
    if (fetches_.size() <= static_cast<std::size_t>(index)) {
        fetches_.resize(static_cast<std::size_t>(index) + 1);
    }
    // The old fetch goes first: no event of it may reach the new one's state.
    destroyConnection(index);
    auto fetch = index == 0 ? first_.start() : data_.start(index);
    if (running() && fetches_.size() > static_cast<std::size_t>(index)) {
        fetches_[static_cast<std::size_t>(index)] = std::move(fetch);
    }
}

void Download::handOver(int from, int to) {
    if (fetches_.size() <= static_cast<std::size_t>(to)) {
        fetches_.resize(static_cast<std::size_t>(to) + 1);
    }
    fetches_[static_cast<std::size_t>(to)] = std::move(fetches_[static_cast<std::size_t>(from)]);
}

void Download::takeName(const std::string& wanted) {
    if (!setup_.claimName) {
        return;
    }
    DefinitionFile definition;
    definition.fileName = text_;
    definition.url = record_.defURL;
    definition.saveFolder = record_.saveFolder;
    definition.pieces = record_.defPieces;
    definition.extras = record_.defExtras;
    const auto name = setup_.claimName(wanted, definition);
    if (!name) {
        return;
    }
    const std::string path = DefinitionPath(setup_.definitionsFolder(), *name);
    auto lock = setup_.locks.tryAcquire(path);
    std::error_code error;
    // The cookies handed over with the link go with it.
    if (lock && FileExists(CookieFile::pathFor(definitionPath_))) {
        std::filesystem::rename(CookieFile::pathFor(definitionPath_), CookieFile::pathFor(path),
                                error);
    }
    if (!lock || error) {
        std::remove(path.c_str());
        return;
    }
    // The new definition is whole before the old one goes.
    std::remove(definitionPath_.c_str());
    std::remove(record_.progressPath.c_str());
    lock_ = std::move(lock);
    record_.targetPath.replace(record_.targetPath.size() - text_.size(), text_.size(), *name);
    definitionPath_ = record_.definitionPath = path;
    record_.progressPath = ProgressPathFor(path);
    name_ = text_ = record_.fileName = *name;
    changed();
}

void Download::retryLater(int index, std::optional<std::chrono::seconds> serverDelay,
                          const std::string& reason) {
    int& failures = index == 0 ? record_.probeFailures : record_.stretch(index).failures;
    int& retryIn = index == 0 ? record_.probeRetryIn : record_.stretch(index).retryIn;
    destroyConnection(index);
    const auto& delays = setup_.retryDelays;
    if (failures >= static_cast<int>(delays.size())) {
        giveUp(index, reason);
        return;
    }
    constexpr std::chrono::seconds kLongestServerDelay{300};
    int delay = delays[static_cast<std::size_t>(failures)];
    if (serverDelay) {
        delay = std::max<int>(
            delay, static_cast<int>(std::min(*serverDelay, kLongestServerDelay).count()));
    }
    ++failures;
    // Ticks come once a second at any phase: one more makes the wait at least
    // the delay, and lets the next figures show it.
    retryIn = std::max(delay, 1) + 1;
    changed();
}

void Download::giveUp(int index, const std::string& reason) {
    if (index == 0) {
        failStart(messages::connectionError(reason));
        return;
    }
    destroyConnection(index);
    Stretch& s = record_.stretch(index);
    s.gaveUp = true;
    s.retryIn = 0;
    s.recentRate = -1;  // standing still: the first worth helping
    s.crawlingSince.reset();
    lastFailure_ = reason;
    changed();
    if (stalled()) {
        pauseStalled();
    }
}

void Download::pauseStalled() {
    const std::string message = messages::noConnectionLeft(text_, lastFailure_);
    pausedOnFault_ = true;
    pause_.run();
    showError(message);
}

void Download::destroyConnection(int index) {
    if (index >= 0 && index < static_cast<int>(fetches_.size())) {
        // Moved out first: the fetch may be the one whose event is running.
        std::unique_ptr<net::Fetch> gone = std::move(fetches_[static_cast<std::size_t>(index)]);
    }
}

void Download::destroyConnections() {
    for (int i = static_cast<int>(fetches_.size()) - 1; i >= 0; --i) {
        destroyConnection(i);
    }
}

bool Download::stalled() const {
    if (!record_.downloading || record_.probing || record_.afterLastByte()) {
        return false;
    }
    for (int k = 1; k <= record_.stretchCount(); ++k) {
        const Stretch& p = record_.stretch(k);
        if (!p.done && (fetching(k) || p.retryIn > 0)) {
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- files and lock

bool Download::acquireLock() {
    if (!lock_) {
        lock_ = setup_.locks.tryAcquire(definitionPath_);
    }
    return lock_ != nullptr;
}

std::unique_ptr<TransferLock> Download::releaseLock() {
    return std::move(lock_);
}

bool Download::writeDefinition(std::string* reason) {
    // One staged text at a time: an earlier one goes in place first.
    if (!settleDefinition(reason)) {
        return false;
    }
    DefinitionFile definition;
    definition.fileName = record_.fileName;
    definition.url = record_.defURL;
    definition.saveFolder = record_.saveFolder;
    definition.pieces = record_.defPieces;
    definition.extras = record_.defExtras;
    // Put in place beside the loop before any byte counts; until then, and
    // until the progress file's next commit in the same folder, a cut leaves
    // the older definition, which resumes as well.
    auto staged = definition.stageForm2(record_.definitionPath, record_.plan.fileSize,
                                        record_.plan.pieceSize, record_.plan.remainder, reason);
    if (!staged) {
        return false;
    }
    deferred_->addStep(std::move(*staged));
    return true;
}

ProgressWriter::Sync Download::targetSync() {
    return [names = deferred_, data = target_.syncJob()](std::string* reason) {
        return names->run(reason) && data(reason);
    };
}

bool Download::rewriteProgress(std::string* reason) {
    return progress_.replace(targetSync(), record_.progressPath, record_.plan,
                             record_.writtenCounts(), reason);
}

bool Download::claimTarget(std::string* reason) {
    // Its name is durable before the target's can be: after any cut, a target
    // made by a fresh start has the progress file that says it is its own.
    return progress_.claim(record_.progressPath, record_.plan, reason);
}

void Download::syncNameLater(const std::string& path) {
    deferred_->addFolder(textfile::folderOf(path));
}

bool Download::advanceProgress(std::string* reason) {
    return progress_.advance(targetSync(), record_.progressPath, record_.plan,
                             record_.writtenCounts(), setup_.clock(), reason);
}

bool Download::settleProgress(std::string* reason) {
    return progress_.settle(reason);
}

// ---------------------------------------------------------------- state

void Download::began() {
    record_.ticks = 0;
    record_.shortestTrip = 1e9;
    rateGroup_ = setup_.fetcher.makeRateGroup();
    rateGroup_->setLimit(ownLimit_ * 1000);
    events_.downloadStarted(*this);
}

void Download::setState(DownloadState state) {
    state_ = state;
    events_.downloadChanged(*this);
}

// ---------------------------------------------------------------- endings

void Download::endTransfer() {
    record_.downloading = false;
    record_.probing = false;
    record_.rangesHonoured = false;
    checksum_.reset();
    completion_.reset();
    // What a start put off is done now, so no staged text is left behind.
    deferred_->run(nullptr);
    deferred_ = std::make_shared<DeferredSyncs>();
    destroyConnections();
    rateGroup_.reset();
    progress_.settle(nullptr);
    target_.close();
    for (Stretch& piece : record_.stretches) {
        piece.buffer.release();
        piece.retryIn = 0;
    }
    lock_.reset();
}

void Download::failStart(const std::optional<std::string>& message) {
    endTransfer();
    setState(DownloadState::Error);
    if (message) {
        showError(*message);
    }
    ended();
}

void Download::failOnFile(const std::string& path, const std::string& reason) {
    // What is in the target file stays counted, so a later resume goes on from there.
    if (!record_.stretches.empty() && FileExists(record_.progressPath)) {
        rewriteProgress(nullptr);
    }
    failStart(messages::fileError(path, reason));
}

void Download::failTransfer(const std::string& message) {
    if (!record_.stretches.empty() && FileExists(record_.progressPath)) {
        rewriteProgress(nullptr);
    }
    failStart(message);
}

void Download::showError(const std::string& text) {
    events_.downloadMessage(*this, {text, messages::kErrorTitle, MsgIcon::Critical});
}

void Download::showNotice(const std::string& text) {
    events_.downloadMessage(*this, {text, messages::kNoticeTitle, MsgIcon::Information});
}

void Download::showConnectionError(const std::string& description) {
    showError(messages::connectionError(description));
}

}  // namespace tandu
