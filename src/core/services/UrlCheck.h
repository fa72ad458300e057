#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "net/Fetcher.h"
#include "platform/UserMessage.h"

namespace tandu {

// Check URL: connect to the host, then, once the caller goes on, one HEAD
// request whose answer's head is shown raw.
class UrlCheck {
public:
    // How the last check ended, for callers that wait on it.
    // Closed: the server hung up without a word.
    enum class Outcome { None, Running, Answered, Closed, Failed };

    // The most of an answer that is shown.
    static constexpr std::size_t kMaxAnswer = 4096;

    struct Handlers {
        // The host took the connection: askHead() goes on.
        std::function<void()> onHostFound;
        // The head came: answer() holds it.
        std::function<void()> onAnswer;
        std::function<void(const UserMessage&)> onFailure;
    };

    explicit UrlCheck(net::Fetcher& fetcher) : fetcher_(fetcher) {}
    ~UrlCheck();

    // Ends any check before; the message when the text is no address.
    std::optional<UserMessage> start(const std::string& text, Handlers handlers);
    // The HEAD request, once the host was found; nothing after the check ended.
    void askHead();

    static UserMessage hostFound();
    // The answer as the result box shows it.
    UserMessage result() const;

    Outcome outcome() const { return outcome_; }
    // The text to check, exactly as typed.
    const std::string& text() const { return text_; }
    const std::string& answer() const { return answer_; }
    // Changes with every start.
    unsigned generation() const { return generation_; }

private:
    void onHead(const net::AnswerHead& head);
    void onFailure(const net::FetchFailure& failure);
    // Handlers that act only while their check is the current one.
    net::FetchHandlers fetchHandlers();

    net::Fetcher& fetcher_;
    Handlers handlers_;
    std::unique_ptr<net::Fetch> fetch_;
    std::optional<net::Url> url_;
    std::string text_;
    std::string answer_;
    Outcome outcome_ = Outcome::None;
    // Counts the checks started, so a box left open by one check cannot act
    // for the next.
    unsigned generation_ = 0;
};

}  // namespace tandu
