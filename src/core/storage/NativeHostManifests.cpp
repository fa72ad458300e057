#include "storage/NativeHostManifests.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "storage/JsonText.h"

namespace tandu {

namespace {

std::string manifest(const std::string& hostPath, const std::string& allowed) {
    return std::string("{\n") + "  \"name\": \"" + NativeHostManifests::kHostName + "\",\n" +
           "  \"description\": \"Hands links to Tandu Download Manager\",\n" +
           "  \"path\": " + JsonText::quote(hostPath) + ",\n" + "  \"type\": \"stdio\",\n" +
           allowed + "\n}\n";
}

std::string currentText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::vector<NativeHostManifests::File> NativeHostManifests::files(const std::string& home,
                                                                  const std::string& hostPath) {
    const std::string name = std::string("/") + kHostName + ".json";
    const std::string firefox = manifest(
        hostPath, std::string("  \"allowed_extensions\": [") + JsonText::quote(kFirefoxId) + "]");
    const std::string chromium =
        manifest(hostPath, std::string("  \"allowed_origins\": [\"chrome-extension://") +
                               kChromiumId + "/\"]");
    std::vector<File> files = {
        {home + "/.mozilla/native-messaging-hosts" + name, firefox},
        {home + "/.config/chromium/NativeMessagingHosts" + name, chromium},
        {home + "/.config/google-chrome/NativeMessagingHosts" + name, chromium}};
    // The rest of the family, each in its own folder, once the browser has made it.
    for (const char* folder :
         {"google-chrome-beta", "google-chrome-unstable", "BraveSoftware/Brave-Browser",
          "BraveSoftware/Brave-Browser-Beta", "vivaldi", "vivaldi-snapshot", "microsoft-edge",
          "microsoft-edge-beta", "microsoft-edge-dev", "opera", "opera-beta"}) {
        const std::string config = home + "/.config/" + folder;
        std::error_code error;
        if (std::filesystem::is_directory(config, error)) {
            files.push_back({config + "/NativeMessagingHosts" + name, chromium});
        }
    }
    return files;
}

bool NativeHostManifests::write(const std::string& home, const std::string& hostPath,
                                std::string* reason) {
    for (const File& file : files(home, hostPath)) {
        if (currentText(file.path) == file.text) {
            continue;
        }
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(file.path).parent_path(), error);
        std::ofstream out(file.path, std::ios::binary | std::ios::trunc);
        out << file.text;
        out.close();
        if (error || !out) {
            if (reason) {
                *reason = file.path + ": " + (error ? error.message() : std::strerror(errno));
            }
            return false;
        }
    }
    return true;
}

}  // namespace tandu
