#include "dialogs/AddSteps.h"

#include "platform/UiServices.h"
#include "storage/TextFile.h"

namespace tandu {

std::string BrowseForFolder(UiServices& ui, const std::string& prompt) {
    std::string chosen = ui.browseForFolder(prompt);
    const std::size_t end = chosen.find('\0');
    if (end != std::string::npos) {
        chosen.resize(end);
    }
    return textfile::trim(chosen);
}

}  // namespace tandu
