#include "transfer/ProbeAnswer.h"

#include "platform/Socket.h"
#include "transfer/HttpHeader.h"

namespace tandu {

namespace {
constexpr std::size_t kReadStep = 4096;
}  // namespace

void ProbeAnswer::clear() {
    text_.clear();
    progress_ = Progress::Incomplete;
}

ProbeAnswer::Progress ProbeAnswer::take(Socket& socket) {
    while (progress_ == Progress::Incomplete) {
        const std::size_t before = text_.size();
        if (socket.readInto(text_, kReadStep) == 0) {
            break;
        }
        if (const auto end = HttpHeader::findEnd(text_, before)) {
            text_.resize(*end);  // a HEAD answer has no body; anything after is not ours
            progress_ = Progress::Complete;
        } else if (text_.size() > HttpHeader::kLongest) {
            progress_ = Progress::Unusable;
        }
    }
    return progress_;
}

std::optional<std::int64_t> ProbeAnswer::fileSize() const {
    if (progress_ != Progress::Complete) {
        return std::nullopt;
    }
    const HttpHeader header = HttpHeader::parse(text_);
    if (!header.successful() || header.encodedTransfer()) {
        return std::nullopt;
    }
    return header.contentLength();
}

}  // namespace tandu
