#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/UserMessage.h"

namespace tandu {

class Application;
struct HandOffMessage;

// Texts the add dialogs, the console and the preferences share.
inline constexpr const char* kInvalidUrlText = "Please set a valid URL.";
inline constexpr const char* kInvalidUrlTitle = "Invalid URL";
inline constexpr const char* kWrongFolderText = "Destination folder is invalid.";
inline constexpr const char* kWrongFolderTitle = "Wrong Folder";

// An existing folder is valid, and so is one that cannot be created at all.
// A folder that could be created is not: the test creates it and removes it again.
bool FolderIsValid(const std::string& folder);
// The folder with a final "/" (an empty folder becomes "/").
std::string WithTrailingSlash(std::string folder);

// Adding downloads by URL, by list and by numeric sequence, with the rules
// the window and the console share. Nothing here shows anything: what went
// wrong comes back as the message to show.
class AddService {
public:
    explicit AddService(Application& app) : app_(app) {}

    static UserMessage invalidUrl(const std::string& detail = {});
    // "Wrong Folder" for a folder that cannot take downloads; none when it can.
    static std::optional<UserMessage> folderRefusal(const std::string& folder);

    // Where an add stopped: the message, and what the box keeps for another OK.
    struct Outcome {
        int added = 0;
        std::optional<UserMessage> message;
        // The list box's text after a list that was not added whole.
        std::optional<std::string> keptList;
        // Where a sequence cut short goes on.
        std::optional<int> nextStart;
        // The digits box goes back to "1".
        bool digitsReset = false;
    };

    // One download; `folder` ends with "/". A link a browser handed over
    // brings its name and session along. `checksum` ("sha256=HEX", or empty)
    // is what the file must hash to; it wins over one in the URL.
    Outcome addUrl(const std::string& url, const std::string& folder,
                   const std::string& connections, const HandOffMessage* link = nullptr,
                   const std::string& checksum = {});
    // The message for a checksum that cannot be read, none when it can (or is empty).
    static std::optional<UserMessage> checksumRefusal(const std::string& checksum);
    // One download per line of a typed, pasted or loaded list (CR LF, LF or
    // CR line ends; blank lines skipped). A copy of the list is kept in the
    // program folder first. `step` runs after each download added.
    Outcome addList(std::string_view list, const std::string& folder,
                    const std::string& connections, const std::function<void()>& step = {});
    // One download per number from start to end, "#" in the pattern standing
    // for it, the boxes' texts as typed.
    Outcome addSequence(const std::string& pattern, const std::string& start,
                        const std::string& end, const std::string& digits,
                        const std::string& folder, const std::string& connections,
                        const std::function<void()>& step = {});

    // The path of that copy of the last list.
    std::string listCopyPath() const;

private:
    Application& app_;
};

}  // namespace tandu
