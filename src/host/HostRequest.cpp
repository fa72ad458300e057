#include "HostRequest.h"

#include <optional>

#include "JsonReader.h"
#include "storage/JsonText.h"
#include "text/DisplayText.h"

namespace tandu {

namespace {

constexpr const char* kNotOurJson = "The message is not the JSON object {\"url\": ADDRESS}.";

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// Blanks, C0 and C1 controls, DEL, the Unicode line and paragraph separators
// and the marks that change the direction of the text around them.
bool hasBreakOrControl(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (DirectionMarkAt(text, i) > 0) {
            return true;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        const auto third = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0;
        if (c <= 0x20 || c == 0x7f || (c == 0xc2 && next >= 0x80 && next <= 0x9f) ||
            (c == 0xe2 && next == 0x80 && (third == 0xa8 || third == 0xa9))) {
            return true;
        }
    }
    return false;
}

std::string checkAddress(std::string_view address) {
    std::size_t rest = 0;
    if (startsWithNoCase(address, "http://")) {
        rest = 7;
    } else if (startsWithNoCase(address, "https://")) {
        rest = 8;
    } else {
        return "Only http:// and https:// addresses are taken.";
    }
    if (address.size() > HostRequest::kMaxAddress) {
        return "The address is longer than " + std::to_string(HostRequest::kMaxAddress) +
               " characters.";
    }
    if (hasBreakOrControl(address)) {
        return "The address holds a line break, a blank, a control character or a direction mark.";
    }
    if (rest == address.size() || address[rest] == '/' || address[rest] == '?' ||
        address[rest] == '#') {
        return "The address names no host.";
    }
    return {};
}

}  // namespace

HostRequest HostRequest::refused(std::string error) {
    HostRequest request;
    request.error_ = std::move(error);
    return request;
}

HostRequest HostRequest::fromJson(std::string_view json) {
    JsonReader reader(json);
    std::optional<std::string> key;
    std::optional<std::string> value;
    if (!reader.take('{') || !(key = reader.string()) || !reader.take(':') ||
        !(value = reader.string()) || !reader.take('}') || !reader.atEnd() || *key != "url") {
        return refused(kNotOurJson);
    }
    if (std::string error = checkAddress(*value); !error.empty()) {
        return refused(std::move(error));
    }
    HostRequest request;
    request.address_ = *value;
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
