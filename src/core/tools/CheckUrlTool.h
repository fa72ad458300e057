#pragma once

#include <memory>
#include <string>

#include "net/Fetcher.h"

namespace tandu {

class frmMain;

// Check URL: connect, then one HEAD request, the answer's head shown raw.
class CheckUrlTool {
public:
    // How the last check ended, for callers that wait on it.
    // Closed: the server hung up without a word.
    enum class Outcome { None, Running, Answered, Closed, Failed };

    // The most of an answer that is shown.
    static constexpr std::size_t kMaxAnswer = 4096;

    explicit CheckUrlTool(frmMain& form);
    ~CheckUrlTool();

    void start();

    Outcome outcome() const { return outcome_; }
    // The text typed at the prompt, exactly as typed.
    const std::string& CheckURL() const { return checkUrl_; }
    // The answer as shown in the result message.
    const std::string& answer() const { return answer_; }

private:
    void onConnected(const net::Url& url);
    void onHead(const net::AnswerHead& head);
    void onFailure(const net::FetchFailure& failure);
    // Handlers that act only while their check is the current one.
    net::FetchHandlers handlers();

    frmMain& form_;
    std::unique_ptr<net::Fetch> fetch_;
    std::string checkUrl_;
    std::string answer_;
    Outcome outcome_ = Outcome::None;
    // Counts the checks started, so a message box left open by one check
    // cannot act for the next.
    unsigned generation_ = 0;
};

}  // namespace tandu
