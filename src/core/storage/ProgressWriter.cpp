#include "storage/ProgressWriter.h"

#include <numeric>

#include "storage/ProgressFile.h"

namespace tandu {

namespace {

std::int64_t sum(const std::vector<std::int64_t>& counts) {
    return std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
}

}  // namespace

ProgressWriter::~ProgressWriter() {
    reap(true, nullptr);
}

bool ProgressWriter::commit(const Sync& sync, const std::string& path, const PiecePlan& plan,
                            const std::vector<std::int64_t>& counts, std::string* reason) {
    return (!sync || sync(reason)) && ProgressFile::write(path, plan, counts, reason);
}

bool ProgressWriter::reap(bool wait, std::string* reason) {
    if (!running_ || (!wait && !running_->done)) {
        return true;
    }
    running_->thread.join();
    const bool ok = running_->ok;
    if (!ok && reason) {
        *reason = running_->reason;
    }
    running_.reset();
    return ok;
}

bool ProgressWriter::settle(std::string* reason) {
    return reap(true, reason);
}

bool ProgressWriter::replace(const Sync& sync, const std::string& path, const PiecePlan& plan,
                             const std::vector<std::int64_t>& counts, std::string* reason) {
    reap(true, nullptr);  // what it wrote is replaced now anyway
    if (!commit(sync, path, plan, counts, reason)) {
        committed_.clear();
        return false;
    }
    committed_ = counts;
    committedBytes_ = sum(counts);
    return true;
}

bool ProgressWriter::claim(const std::string& path, const PiecePlan& plan, std::string* reason) {
    reap(true, nullptr);
    if (!ProgressFile::claim(path, plan, reason)) {
        committed_.clear();
        return false;
    }
    committed_.assign(static_cast<std::size_t>(plan.pieces), 0);
    committedBytes_ = 0;
    return true;
}

bool ProgressWriter::advance(const Sync& sync, const std::string& path, const PiecePlan& plan,
                             const std::vector<std::int64_t>& counts,
                             std::chrono::steady_clock::time_point now, std::string* reason) {
    if (!reap(false, reason)) {
        return false;
    }
    if (committedAt_ == std::chrono::steady_clock::time_point{}) {
        committedAt_ = now;  // the first interval starts with the first bytes
    }
    const std::int64_t bytes = sum(counts);
    const bool due =
        now - committedAt_ >= batch_.interval || bytes - committedBytes_ >= batch_.bytes;
    if (running_ || counts == committed_ || !due) {
        return true;
    }
    committed_ = counts;
    committedBytes_ = bytes;
    committedAt_ = now;
    if (batch_.interval.count() == 0) {
        return commit(sync, path, plan, counts, reason);
    }
    running_ = std::make_unique<Commit>();
    Commit* job = running_.get();
    job->thread = std::thread([job, sync, path, plan, counts] {
        job->ok = commit(sync, path, plan, counts, &job->reason);
        job->done = true;
    });
    return true;
}

}  // namespace tandu
