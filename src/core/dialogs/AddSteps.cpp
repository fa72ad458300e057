#include "dialogs/AddSteps.h"

#include <filesystem>

#include "storage/TextFile.h"
#include "platform/UiServices.h"

namespace tandu {

bool FolderIsValid(const std::string& folder) {
    std::error_code error;
    if (!std::filesystem::create_directory(folder, error)) {
        return true;  // it exists, or it cannot be made
    }
    std::filesystem::remove(folder, error);
    return false;
}

std::string BrowseForFolder(UiServices& ui, const std::string& prompt) {
    std::string chosen = ui.browseForFolder(prompt);
    const std::size_t end = chosen.find('\0');
    if (end != std::string::npos) {
        chosen.resize(end);
    }
    return textfile::trim(chosen);
}

std::string WithTrailingSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

}  // namespace tandu
