#include "storage/HandOffMessage.h"

#include <map>

#include "storage/JsonText.h"
#include "text/DisplayText.h"
#include "text/JsonReader.h"

namespace tandu {

namespace {

constexpr const char* kNotOurJson =
    "The message is not a JSON object of strings with an \"url\": {\"url\": ADDRESS, ...}.";

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

// C0 and C1 controls, DEL and the Unicode line and paragraph separators;
// blanks too when asked.
bool hasControl(std::string_view text, bool blanksToo) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (DirectionMarkAt(text, i) > 0) {
            return true;  // it could show the text around it as something else
        }
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        const auto third = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0;
        if (c < 0x20 || (blanksToo && c == 0x20) || c == 0x7f ||
            (c == 0xc2 && next >= 0x80 && next <= 0x9f) ||
            (c == 0xe2 && next == 0x80 && (third == 0xa8 || third == 0xa9))) {
            return true;
        }
    }
    return false;
}

std::string tooLong(const char* what, std::size_t most) {
    return std::string("The ") + what + " is longer than " + std::to_string(most) + " bytes.";
}

// A page address goes as the browser would send it: no fragment, no password.
std::string referrerOf(std::string page) {
    if (const auto hash = page.find('#'); hash != std::string::npos) {
        page.resize(hash);
    }
    if (!HandOffMessage::addressProblem(page).empty()) {
        return {};
    }
    const auto hostStart = page.find("//") + 2;
    const auto hostEnd = page.find_first_of("/?", hostStart);
    if (page.substr(hostStart, hostEnd - hostStart).find('@') != std::string::npos) {
        return {};
    }
    return page;
}

bool plainFileName(const std::string& name) {
    return !name.empty() && name.size() <= HandOffMessage::kMaxFileName && name != "." &&
           name != ".." && name.find_first_of("/\\") == std::string::npos &&
           !hasControl(name, false);
}

}  // namespace

std::string HandOffMessage::addressProblem(std::string_view address) {
    std::size_t rest = 0;
    if (startsWithNoCase(address, "http://")) {
        rest = 7;
    } else if (startsWithNoCase(address, "https://")) {
        rest = 8;
    } else {
        return "Only http:// and https:// addresses are taken.";
    }
    if (address.size() > kMaxAddress) {
        return "The address is longer than " + std::to_string(kMaxAddress) + " characters.";
    }
    if (hasControl(address, true)) {
        return "The address holds a line break, a blank, a control character or a direction mark.";
    }
    if (rest == address.size() || address[rest] == '/' || address[rest] == '?' ||
        address[rest] == '#') {
        return "The address names no host.";
    }
    return {};
}

std::optional<HandOffMessage> HandOffMessage::parse(std::string_view json, std::string* error) {
    const auto refuse = [error](std::string reason) -> std::optional<HandOffMessage> {
        if (error) {
            *error = std::move(reason);
        }
        return std::nullopt;
    };
    JsonReader reader(json);
    std::map<std::string, std::string> fields;
    if (!reader.take('{')) {
        return refuse(kNotOurJson);
    }
    if (!reader.take('}')) {
        do {
            auto key = reader.string();
            std::optional<std::string> value;
            if (!key || !reader.take(':') || !(value = reader.string()) ||
                !fields.emplace(std::move(*key), std::move(*value)).second) {
                return refuse(kNotOurJson);
            }
        } while (reader.take(','));
        if (!reader.take('}')) {
            return refuse(kNotOurJson);
        }
    }
    if (!reader.atEnd() || !fields.count("url")) {
        return refuse(kNotOurJson);
    }
    HandOffMessage message;
    message.url = fields["url"];
    if (std::string problem = addressProblem(message.url); !problem.empty()) {
        return refuse(std::move(problem));
    }
    message.userAgent = fields["userAgent"];
    message.cookies = fields["cookies"];
    // Either would end the header it goes in and start one of the sender's choosing.
    if (hasControl(message.userAgent, false)) {
        return refuse("The user agent holds a line break or a control character.");
    }
    if (hasControl(message.cookies, false)) {
        return refuse("The cookies hold a line break or a control character.");
    }
    if (message.userAgent.size() > kMaxUserAgent) {
        return refuse(tooLong("user agent", kMaxUserAgent));
    }
    if (message.cookies.size() > kMaxCookies) {
        return refuse(tooLong("cookies' text", kMaxCookies));
    }
    message.referrer = referrerOf(fields["referrer"]);
    if (plainFileName(fields["filename"])) {
        message.fileName = fields["filename"];
    }
    return message;
}

std::string HandOffMessage::json() const {
    std::string text = "{\"url\":" + JsonText::quote(url);
    const std::pair<const char*, const std::string*> optional[] = {
        {"referrer", &referrer}, {"userAgent", &userAgent}, {"cookies", &cookies},
        {"filename", &fileName}};
    for (const auto& [key, value] : optional) {
        if (!value->empty()) {
            text += std::string(",\"") + key + "\":" + JsonText::quote(*value);
        }
    }
    return text + "}";
}

}  // namespace tandu
