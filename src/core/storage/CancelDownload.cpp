#include "storage/CancelDownload.h"

#include <filesystem>
#include <optional>

#include "storage/DefinitionFile.h"
#include "storage/FileNames.h"
#include "storage/TextFile.h"
#include "platform/TransferLocks.h"
#include "platform/UiServices.h"

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

bool exists(const std::string& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

// Deletes the file when it is a regular one; false (with a message) when it
// stands there and cannot be deleted.
bool deleteIfRegular(const std::string& path, UiServices& ui) {
    if (!isRegularFile(path)) {
        return true;
    }
    std::error_code error;
    fs::remove(path, error);
    if (error) {
        ui.messageBox("The file " + path + " could not be deleted: " + error.message() +
                          ". The download was not cancelled.",
                      "Error", MsgIcon::Critical);
        return false;
    }
    return true;
}

// The path the download has written to, or why no file there is its own.
struct Target {
    std::optional<std::string> path;
    std::string leftAlone;
};

Target targetOf(const DefinitionFile& definition, const std::string& name) {
    // A download that never got its size has written nothing: a file of its
    // name in the destination folder is somebody else's.
    if (definition.state != DefinitionFile::kDownloading) {
        return {};
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

bool CancelDownload(const std::string& definitionPath, const std::string& name, UiServices& ui,
                    TransferLocks& locks) {
    if (!isPlainFileName(name)) {
        ui.messageBox("The download \"" + name +
                          "\" was not cancelled: its name is not a plain file name, so its "
                          "files cannot be told apart from others.",
                      "Error", MsgIcon::Critical);
        return false;
    }
    const std::string progressPath = ProgressPathFor(definitionPath);
    const auto lock = locks.tryAcquire(definitionPath);
    if (!lock) {
        ui.messageBox(
            "\"" + name + "\" is being transferred by another Tandu process. It was not cancelled.",
            "Error", MsgIcon::Critical);
        return false;
    }

    std::string leftAlone;
    if (FileExists(definitionPath)) {
        if (const auto definition = DefinitionFile::read(definitionPath)) {
            const Target target = targetOf(*definition, name);
            if (target.path && !deleteIfRegular(*target.path, ui)) {
                return false;
            }
            leftAlone = target.leftAlone;
        }
    }
    if (!deleteIfRegular(progressPath, ui) || !deleteIfRegular(definitionPath, ui)) {
        return false;
    }
    if (!leftAlone.empty()) {
        ui.messageBox("The download " + name +
                          " was cancelled, but its partly downloaded file was left in place: " +
                          leftAlone + ".",
                      "Cancel Download", MsgIcon::Exclamation);
    }
    return true;
}

}  // namespace tandu
