#pragma once

#include <memory>
#include <string>

namespace tandu {

class frmMain;
class Socket;

// Check URL: one HEAD request on its own socket, the answer's start shown raw.
class CheckUrlTool {
public:
    // How the last check ended, for callers that wait on it.
    // Closed: the server hung up without a word.
    enum class Outcome { None, Running, Answered, Closed, Failed };

    // The most of an answer that is read and shown.
    static constexpr std::size_t kMaxAnswer = 4096;

    explicit CheckUrlTool(frmMain& form);
    ~CheckUrlTool();

    void start();
    void onConnect();
    void onDataArrival();
    void onError(int number, const std::string& description);
    void onClose();

    Outcome outcome() const { return outcome_; }
    // The text typed at the prompt, exactly as typed.
    const std::string& CheckURL() const { return checkUrl_; }
    // The answer as shown in the result message.
    const std::string& answer() const { return answer_; }

private:
    void closeSocket();

    frmMain& form_;
    std::unique_ptr<Socket> WskCheck;
    std::string checkUrl_;
    std::string answer_;
    Outcome outcome_ = Outcome::None;
    // Counts the checks started, so a message box left open by one check
    // cannot act for the next.
    unsigned generation_ = 0;
};

}  // namespace tandu
