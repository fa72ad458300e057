#include "transfer/CompletionActions.h"

#include <filesystem>
#include <optional>

#include "platform/TransferLocks.h"
#include "storage/CookieFile.h"
#include "storage/TextFile.h"
#include "transfer/Download.h"

namespace tandu {

namespace {

// A file that is already gone is no failure; anything else is reported.
std::optional<std::string> removeFile(const std::string& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
    if (error) {
        return "The file " + path + " cannot be deleted: " + error.message() + ".";
    }
    return std::nullopt;
}

// The cookies go first: a process killed in between never leaves a secret
// behind its download. The definition goes next, and durably: a process
// killed or a power cut in between leaves only a stray progress file, never
// a download that can neither resume nor finish.
BackgroundWork::Work removalOf(std::string cookies, std::string definition, std::string progress) {
    return [cookies = std::move(cookies), definition = std::move(definition),
            progress = std::move(progress)] {
        auto failure = CookieFile::remove(cookies);
        if (auto definitionFailure = removeFile(definition); !failure) {
            failure = definitionFailure;
        }
        const std::string folder = textfile::folderOf(definition);
        textfile::syncFolder(folder);
        if (auto progressFailure = removeFile(progress); !failure) {
            failure = progressFailure;
        }
        textfile::syncFolder(folder);
        return failure.value_or("");
    };
}

}  // namespace

CompletionActions::CompletionActions(Download& download) : engine_(download) {}

CompletionActions::~CompletionActions() {
    if (job_) {
        job_->wait();
    }
    if (removal_) {
        removal_->wait();
    }
}

void CompletionActions::run() {
    if (syncing_) {
        return;  // the disk is already being waited for
    }
    TransferRecord& rec = engine_.record();
    if (engine_.target().isOpen() && !engine_.target().stillNamed()) {
        engine_.pauseOnFault();  // says so, and keeps the row resumable
        return;
    }
    if (!durable_) {
        std::string reason;
        if (!engine_.settleProgress(&reason)) {
            engine_.failOnFile(rec.targetPath, reason);
            return;
        }
        rec.finishing = true;
        syncing_ = true;
        if (engine_.setup().lastByteIn) {
            engine_.setup().lastByteIn(engine_);
        }
        if (!syncing_) {
            return;  // ended while the next download started
        }
        const std::uint64_t ticket = ++ticket_;
        auto job = engine_.setup().background.start(
            [sync = engine_.targetSync()] {
                std::string reason;
                if (sync(&reason)) {
                    return std::string();
                }
                return reason.empty() ? std::string("it cannot be synced") : reason;
            },
            [this, ticket](const std::string& failure) {
                if (ticket == ticket_) {
                    synced(failure);
                }
            });
        if (ticket == ticket_ && syncing_) {  // not when it reported before start returned
            job_ = std::move(job);
        }
        return;
    }
    if (engine_.checkingChecksum()) {
        return;  // back here once the file matches
    }
    finish();
}

void CompletionActions::synced(const std::string& failure) {
    // The job reports once and is done with: it goes before anything else runs.
    std::unique_ptr<BackgroundWork::Job> finished = std::move(job_);
    syncing_ = false;
    ++ticket_;
    if (!failure.empty()) {
        engine_.failOnFile(engine_.record().targetPath, failure);
        return;
    }
    durable_ = true;
    run();
}

void CompletionActions::reset() {
    job_.reset();
    syncing_ = false;
    durable_ = false;
    ++ticket_;
    engine_.record().finishing = false;
}

void CompletionActions::finish() {
    TransferRecord& rec = engine_.record();
    // An earlier completion's files are gone before this one's go.
    settleRemoval();
    removalLock_ = engine_.releaseLock();
    removing_ = true;
    auto removal = engine_.setup().background.start(
        removalOf(CookieFile::pathFor(rec.definitionPath), rec.definitionPath, rec.progressPath),
        [this](const std::string& failure) { removed(failure); });
    if (removing_) {  // not when it reported before start returned
        removal_ = std::move(removal);
    }
    engine_.endTransfer();
    for (Stretch& p : rec.stretches) {
        p.received = p.length;
    }
    const std::string total = engine_.setup().numbers.kb(rec.plan.fileSize);
    Download::RowTexts& row = engine_.rowTexts();
    row.speed = "-";
    row.size = total + "/" + total + "KB";
    row.eta = "-";
    engine_.setState(DownloadState::Completed);
    engine_.ended();
}

void CompletionActions::settleRemoval() {
    if (removing_ && removal_) {
        removed(removal_->wait());
    }
}

void CompletionActions::removed(const std::string& failure) {
    std::unique_ptr<BackgroundWork::Job> finished = std::move(removal_);
    removing_ = false;
    removalLock_.reset();
    if (!failure.empty()) {
        engine_.showError(failure);
    }
}

}  // namespace tandu
