#pragma once

#include <string>
#include <vector>

namespace tandu {

// The files that tell Firefox and the Chromium family (Chromium, Chrome,
// Brave, Vivaldi, Edge, Opera) where the extension's native host lives and
// which extension may talk to it. Their ids must match extension/manifest.json.
class NativeHostManifests {
public:
    static constexpr const char* kHostName = "org.tandu.host";
    static constexpr const char* kHostProgram = "tandu-host";
    static constexpr const char* kFirefoxId = "download-with-tandu@tandu.invalid";
    static constexpr const char* kChromiumId = "jfeolpfmpgckbemcgfbmcmdkiionlnjd";

    struct File {
        std::string path;
        std::string text;
    };

    // The manifests under the user's home for the host program at hostPath:
    // Firefox, Chromium and Chrome always, the others where their profile folder is.
    static std::vector<File> files(const std::string& home, const std::string& hostPath);
    // Writes every manifest that is missing or differs; false with the reason
    // (and the file) at the first one that cannot be written.
    static bool write(const std::string& home, const std::string& hostPath, std::string* reason);
};

}  // namespace tandu
