#include "transfer/ChecksumCheck.h"

#include "transfer/Download.h"
#include "transfer/TransferMessages.h"

namespace tandu {

bool ChecksumCheck::begin() {
    const auto& expected = engine_.record().checksum;
    if (matched_ || !expected) {
        return false;
    }
    if (job_) {
        return true;
    }
    TransferRecord& rec = engine_.record();
    rec.verifying = true;
    Download::RowTexts& row = engine_.rowTexts();
    const std::string total = engine_.setup().numbers.kb(rec.plan.fileSize);
    row.speed = "-";
    row.size = total + "/" + total + "KB";
    row.eta = "0%";
    engine_.setState(DownloadState::Verifying);
    job_ = engine_.setup().hasher.start(
        rec.targetPath, expected->algorithm,
        [this](std::int64_t hashed, std::int64_t total) { progress(hashed, total); },
        [this](const FileHasher::Result& result) { done(result); });
    return true;
}

void ChecksumCheck::reset() {
    job_.reset();
    matched_ = false;
    engine_.record().verifying = false;
}

void ChecksumCheck::progress(std::int64_t hashed, std::int64_t total) {
    const std::int64_t percent = total > 0 ? hashed * 100 / total : 100;
    engine_.rowTexts().eta = std::to_string(percent) + "%";
    engine_.changed();
}

void ChecksumCheck::done(const FileHasher::Result& result) {
    // The job reports once and is done with: it goes before anything else runs.
    std::unique_ptr<FileHasher::Job> finished = std::move(job_);
    TransferRecord& rec = engine_.record();
    rec.verifying = false;
    engine_.rowTexts().eta = "-";
    if (!result.error.empty()) {
        engine_.failTransfer(messages::checksumUnreadable(rec.targetPath, result.error));
        return;
    }
    const Checksum expected = *rec.checksum;
    if (result.found != expected) {
        engine_.failTransfer(messages::checksumMismatch(engine_.text(), expected, result.found));
        return;
    }
    matched_ = true;
    engine_.runCompletion();
}

}  // namespace tandu
