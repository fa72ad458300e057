#pragma once

#include <chrono>
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

// Fetch 0 of a fresh start: piece 1's GET from byte 0, redirects followed.
// Its head gives the size and whether ranges work; the plan is made and
// stored (definition, progress file, target file), the other pieces go out
// where the redirects led, and the same answer goes on as piece 1's bytes.
class FirstRequest {
public:
    explicit FirstRequest(Download& download) : engine_(download) {}

    std::unique_ptr<net::Fetch> start();

private:
    void onHead(const net::AnswerHead& head);
    void onFailure(const net::FetchFailure& failure);
    // The server names the file otherwise: the download takes that name.
    void takeServerName(const net::AnswerHead& head);
    void succeed(const net::AnswerHead& head, std::optional<std::int64_t> fileSize);
    // Opens the target; the counts of what it already holds when resuming.
    std::optional<std::vector<std::int64_t>> openTarget(bool resumable, std::string* reason);
    void fail(const std::string& message);
    // A fresh start failed: the empty target it made and its claim go.
    void abandonFresh(bool targetMade);
    void keepScratchCopy(const std::string& head);

    Download& engine_;
    // The running fetch now serves piece 1.
    bool handedOver_ = false;
    std::chrono::steady_clock::time_point askedAt_;
};

}  // namespace tandu
