#include "storage/CancelDownload.h"

#include <filesystem>
#include <optional>

#include "storage/CookieFile.h"
#include "storage/DefinitionFile.h"
#include "storage/FileNames.h"
#include "storage/TextFile.h"
#include "platform/TransferLocks.h"

namespace fs = std::filesystem;

namespace tandu {

namespace {

constexpr int kFolderLine = 4;

bool isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

bool isRegularFile(const std::string& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() == fs::file_type::regular;
}

bool isLink(const std::string& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() == fs::file_type::symlink;
}

bool exists(const std::string& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

CancelOutcome refused(std::string text) {
    return {false, UserMessage{std::move(text), "Error", MsgIcon::Critical}};
}

// Deletes the file when it is a regular one (or, for the program's own
// files, a link: the link goes, never what it points to); the refusal when it
// stands there and cannot be deleted.
std::optional<CancelOutcome> deleteIfRegular(const std::string& path, bool orLink = false) {
    if (!isRegularFile(path) && !(orLink && isLink(path))) {
        return std::nullopt;
    }
    std::error_code error;
    fs::remove(path, error);
    if (error) {
        return refused("The file " + path + " could not be deleted: " + error.message() +
                       ". The download was not cancelled.");
    }
    return std::nullopt;
}

// The path the download has written to, or why no file there is its own.
struct Target {
    std::optional<std::string> path;
    std::string leftAlone;
};

Target targetOf(const DefinitionFile& definition, const std::string& name, bool claimed) {
    // A download that never got its size and has no progress file has written
    // nothing: a file of its name in the destination folder is somebody else's.
    if (definition.state != DefinitionFile::kDownloading && !claimed) {
        return {};
    }
    const std::string line1 = textfile::trim(definition.fileName);
    if (!isPlainFileName(name) || (!line1.empty() && line1 != name)) {
        return {std::nullopt, "its definition file does not name it plainly"};
    }
    if (definition.lineCount < kFolderLine) {
        return {std::nullopt, "its definition file has no destination folder line"};
    }
    const std::string folder = textfile::trim(definition.saveFolder);
    if (folder.empty() || folder.front() != '/' || folder.back() != '/') {
        return {std::nullopt,
                "its destination folder \"" + folder + "\" is not a full folder path"};
    }
    const std::string path = folder + name;
    if (exists(path) && !isRegularFile(path)) {
        return {std::nullopt, path + " is not a regular file"};
    }
    return {path, {}};
}

}  // namespace

CancelOutcome CancelDownload(const std::string& definitionPath, const std::string& name,
                             TransferLocks& locks) {
    const std::string progressPath = ProgressPathFor(definitionPath);
    const auto lock = locks.tryAcquire(definitionPath);
    if (!lock) {
        return refused("\"" + name +
                       "\" is being transferred by another Tandu process. It was not cancelled.");
    }

    std::string leftAlone;
    if (FileExists(definitionPath)) {
        if (const auto definition = DefinitionFile::read(definitionPath)) {
            const Target target = targetOf(*definition, name, FileExists(progressPath));
            if (target.path) {
                if (auto failure = deleteIfRegular(*target.path)) {
                    return *failure;
                }
            }
            leftAlone = target.leftAlone;
        }
    }
    // The cookies go before the definition: a download is never left without
    // its definition while its cookies stay behind.
    const std::string cookiesPath = CookieFile::pathFor(definitionPath);
    for (const std::string* path : {&progressPath, &cookiesPath, &definitionPath}) {
        if (auto failure = deleteIfRegular(*path, true)) {
            return *failure;
        }
    }
    if (!leftAlone.empty()) {
        return {true, UserMessage{"The download " + name +
                                      " was cancelled, but its partly downloaded file was left "
                                      "in place: " +
                                      leftAlone + ".",
                                  "Cancel Download", MsgIcon::Exclamation}};
    }
    return {true, std::nullopt};
}

}  // namespace tandu
