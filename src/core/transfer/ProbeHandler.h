#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tandu {

class Download;

namespace net {
class Fetch;
struct AnswerHead;
struct FetchFailure;
}  // namespace net

// Fetch 0: the probe of a fresh start (a HEAD, or a GET of byte 0 for a
// server that refuses HEAD), and what its answer sets up — the piece plan,
// the definition and progress files, the target file and the data fetches.
class ProbeHandler {
public:
    explicit ProbeHandler(Download& download) : engine_(download) {}

    // A new start asks with HEAD again.
    void reset() { headRefused_ = false; }
    std::unique_ptr<net::Fetch> start();

private:
    void onHead(const net::AnswerHead& head);
    void onFailure(const net::FetchFailure& failure);
    void succeed(std::optional<std::int64_t> fileSize, bool rangesAllowed);
    // Opens the target; the counts of what it already holds when resuming.
    std::optional<std::vector<std::int64_t>> openTarget(bool resumable, std::string* reason);
    void fail(const std::string& message);
    // A fresh start failed: the empty target it made and its claim go.
    void abandonFresh(bool targetMade);
    void keepScratchCopy(const std::string& head);

    Download& engine_;
    bool headRefused_ = false;
};

}  // namespace tandu
