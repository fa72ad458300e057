#include "services/AddService.h"

#include <filesystem>

#include "services/Application.h"
#include "services/DownloadAdder.h"
#include "services/SequenceNumbers.h"
#include "platform/Checksum.h"
#include "storage/DefinitionFile.h"
#include "storage/TextFile.h"

namespace tandu {

namespace {

UserMessage error(const std::string& text) {
    return {text, "Error", MsgIcon::Critical};
}

// A typed or pasted list may end its lines with CR LF, LF or a lone CR.
std::vector<std::string_view> listLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// The text with every line end as CR LF, the way the list's files keep them.
std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string lineNumbers(const std::vector<std::size_t>& numbers) {
    constexpr std::size_t kShown = 20;
    std::string text;
    for (std::size_t i = 0; i < numbers.size() && i < kShown; ++i) {
        text += (i ? ", " : "") + std::to_string(numbers[i]);
    }
    if (numbers.size() > kShown) {
        text += ", ...";
    }
    return text;
}

std::optional<int> boxNumber(const std::string& text) {
    const auto value = sequence::readNumber(text);
    return value ? sequence::toInteger16(*value) : std::nullopt;
}

}  // namespace

bool FolderIsValid(const std::string& folder) {
    std::error_code error;
    if (!std::filesystem::create_directory(folder, error)) {
        return true;  // it exists, or it cannot be made
    }
    std::filesystem::remove(folder, error);
    return false;
}

std::string WithTrailingSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

UserMessage AddService::invalidUrl(const std::string& detail) {
    return {detail.empty() ? std::string(kInvalidUrlText) : kInvalidUrlText + ("\n" + detail),
            kInvalidUrlTitle, MsgIcon::Critical};
}

std::optional<UserMessage> AddService::folderRefusal(const std::string& folder) {
    // A line break in the folder would split the definition file's lines.
    if (textfile::hasControlCharacter(folder) || !FolderIsValid(folder)) {
        return UserMessage{kWrongFolderText, kWrongFolderTitle, MsgIcon::Critical};
    }
    return std::nullopt;
}

std::string AddService::listCopyPath() const {
    return app_.programFolder() + "/tempdata.dat";
}

std::optional<UserMessage> AddService::checksumRefusal(const std::string& checksum) {
    if (textfile::trim(checksum).empty() || Checksum::parse(textfile::trim(checksum))) {
        return std::nullopt;
    }
    return UserMessage{"The checksum must be sha256=, sha512=, sha1= or md5= followed by its "
                       "hexadecimal digits, e.g. sha256=9f86d081...",
                       "Invalid checksum", MsgIcon::Critical};
}

AddService::Outcome AddService::addUrl(const std::string& url, const std::string& folder,
                                       const std::string& connections,
                                       const HandOffMessage* link,
                                       const std::string& checksum) {
    Outcome outcome;
    if (url.empty() || textfile::hasControlCharacter(url)) {
        outcome.message = invalidUrl();
        return outcome;
    }
    if ((outcome.message = checksumRefusal(checksum)) ||
        (outcome.message = folderRefusal(folder))) {
        return outcome;
    }
    std::map<std::string, std::string> extras;
    if (const auto given = Checksum::parse(textfile::trim(checksum))) {
        extras[DefinitionFile::kChecksumKey] = given->text();
    }
    DownloadAdder adder(app_);
    if (!adder.add(url, folder, connections, link, extras)) {
        outcome.message = error(adder.failureMessage());
    }
    outcome.added = adder.added();
    return outcome;
}

AddService::Outcome AddService::addList(std::string_view list, const std::string& folder,
                                        const std::string& connections,
                                        const std::function<void()>& step) {
    Outcome outcome;
    if (list.empty()) {
        outcome.message = invalidUrl();
        return outcome;
    }
    // Only a copy for the user: the list is added from memory even when it cannot be kept.
    textfile::writeLines(listCopyPath(), {withCrLf(list)});
    if ((outcome.message = folderRefusal(folder))) {
        return outcome;
    }
    const std::vector<std::string_view> lines = listLines(list);
    std::vector<std::size_t> refused;
    std::string keep;  // refused lines, or the lines not reached
    DownloadAdder adder(app_);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line(lines[i]);
        if (textfile::trim(line).empty()) {
            continue;
        }
        if (textfile::hasControlCharacter(line)) {
            refused.push_back(i + 1);
            keep += line + "\r\n";
        } else if (adder.add(line, folder, connections)) {
            if (step) {
                step();
            }
        } else {
            for (std::size_t rest = i; rest < lines.size(); ++rest) {
                keep += std::string(lines[rest]) + "\r\n";
            }
            outcome.added = adder.added();
            outcome.message = error(adder.failureMessage());
            if (outcome.added > 0) {
                outcome.keptList = keep;  // OK again retries only what was not added
            }
            return outcome;
        }
    }
    outcome.added = adder.added();
    if (!refused.empty()) {
        outcome.keptList = keep;
        outcome.message = invalidUrl(
            "These lines hold control characters and were not added (they stay in the list): " +
            lineNumbers(refused) + ".");
    }
    return outcome;
}

AddService::Outcome AddService::addSequence(const std::string& pattern, const std::string& start,
                                            const std::string& end, const std::string& digitsText,
                                            const std::string& folder,
                                            const std::string& connections,
                                            const std::function<void()>& step) {
    Outcome outcome;
    // OK can come without the boxes losing the focus (Enter): unreadable or
    // oversized numbers are refused here rather than wrapped or looped over.
    const auto first = boxNumber(start);
    const auto last = boxNumber(end);
    if (!first || !last) {
        outcome.message = UserMessage{"Start and End must be numbers from -32768 to 32767.",
                                      "Invalid", MsgIcon::Critical};
        return outcome;
    }
    const auto digits = sequence::readNumber(digitsText);
    if (!digits || !sequence::toInteger16(*digits)) {
        outcome.message = sequence::invalidDigits();
        outcome.digitsReset = true;
        return outcome;
    }
    if (*first > *last) {
        outcome.message = error("The start number must be less than the finish number.");
        return outcome;
    }
    if (pattern.empty() || textfile::hasControlCharacter(pattern)) {
        outcome.message = invalidUrl();
        return outcome;
    }
    if ((outcome.message = folderRefusal(folder))) {
        return outcome;
    }
    DownloadAdder adder(app_);
    for (int n = *first; n <= *last; ++n) {
        const std::string url = sequence::replaceHashes(pattern, sequence::numberText(n, *digits));
        if (!adder.add(url, folder, connections)) {
            outcome.message = error(adder.failureMessage());
            if (adder.added() > 0) {
                outcome.nextStart = n;  // OK again goes on from here
            }
            break;
        }
        if (step) {
            step();
        }
    }
    outcome.added = adder.added();
    return outcome;
}

}  // namespace tandu
