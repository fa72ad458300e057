#include "HostRequest.h"

#include "storage/JsonText.h"
#include "text/DisplayText.h"

namespace tandu {

HostRequest HostRequest::refused(std::string error) {
    HostRequest request;
    request.error_ = std::move(error);
    return request;
}

HostRequest HostRequest::fromJson(std::string_view json) {
    std::string error;
    auto message = HandOffMessage::parse(json, &error);
    if (!message) {
        return refused(std::move(error));
    }
    HostRequest request;
    request.message_ = std::move(*message);
    return request;
}

HostRequest HostRequest::read(std::istream& in) {
    std::uint32_t length = 0;
    if (!in.read(reinterpret_cast<char*>(&length), sizeof length)) {
        return refused("The message ended before its length.");
    }
    if (length > kMaxMessage) {
        return refused("The message is longer than 1 MB.");
    }
    std::string body(length, '\0');
    if (!in.read(body.data(), length)) {
        return refused("The message is shorter than its length says.");
    }
    return fromJson(body);
}

std::string HostRequest::answer() const {
    const std::string json =
        accepted() ? std::string("{\"ok\":true}")
                   : std::string("{\"ok\":false,\"error\":") + JsonText::quote(error_) + "}";
    const auto length = static_cast<std::uint32_t>(json.size());
    return std::string(reinterpret_cast<const char*>(&length), sizeof length) + json;
}

}  // namespace tandu
