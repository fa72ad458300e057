#pragma once

#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace tandu {

class Application;
struct DefinitionFile;
struct HandOffMessage;

// Adds downloads to the list, one batch at a time: one definition file in
// form 1 and its row per URL. A name another download holds (a row, or a definition or
// progress file on disk) or a file in the destination folder has is never
// reused: the newcomer becomes "name (2).ext", "name (3).ext" and so on, the
// same text for its files and its row.
class DownloadAdder {
public:
    explicit DownloadAdder(Application& app);

    // False when the definition file cannot be written; then nothing of this
    // download stays on disk and failureMessage() says why. A link handed
    // over by a browser brings its file name, and what the browser would
    // send with it: referrer and user agent go into the definition, the
    // cookies into the download's own cookie file. `extras` go into the
    // definition as well. The name never takes a checksum the URL carries in
    // its fragment.
    bool add(const std::string& url, const std::string& folder, const std::string& connections,
             const HandOffMessage* link = nullptr,
             const std::map<std::string, std::string>& extras = {});
    // Writes `definition` in form 1 under `name`, numbered as above where it
    // is taken, and gives it the list's last place, without a row; the name
    // it got, none when it cannot be written.
    std::optional<std::string> claim(const std::string& name, DefinitionFile definition);
    int added() const { return added_; }
    const std::string& failureMessage() const { return failure_; }

    // "name (n).ext", shortened where needed to stay a valid file name.
    static std::string numberedName(const std::string& name, int number);

private:
    std::string freeName(const std::string& name, const std::string& folder);
    bool taken(const std::string& name, const std::string& folder) const;
    void fail(const std::string& reason);

    Application& app_;
    std::string definitions_;
    std::string token_;
    std::unordered_set<std::string> taken_;
    std::unordered_map<std::string, int> nextNumber_;
    std::string failure_;
    int added_ = 0;
};

}  // namespace tandu
