#pragma once

#include <memory>

#include "platform/FileHasher.h"

namespace tandu {

class Download;

// After the last byte: the file is hashed and compared with the checksum the
// user gave or the server announced. The download completes only on a match;
// a mismatch ends it in "Error" naming both values, the file kept.
class ChecksumCheck {
public:
    explicit ChecksumCheck(Download& download) : engine_(download) {}

    // The last byte is written: true while the check runs (the download
    // completes or fails later); false when there is nothing (more) to check.
    bool begin();
    // The transfer ends: a running check stops, and the next one starts afresh.
    void reset();
    bool running() const { return job_ != nullptr; }

private:
    void progress(std::int64_t hashed, std::int64_t total);
    void done(const FileHasher::Result& result);

    Download& engine_;
    std::unique_ptr<FileHasher::Job> job_;
    bool matched_ = false;
};

}  // namespace tandu
