#include "storage/FileNames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "storage/TextFile.h"

namespace tandu {

namespace {
constexpr const char* kUnknownName = "unkonwn";
// Leaves room for ".def.lock" and ".dwn.tmp" within a 255-byte file name.
constexpr std::size_t kMaxNameBytes = 240;
}  // namespace

std::string FileNameFromURL(const std::string& url) {
    if (url.empty()) {
        return kUnknownName;
    }
    const std::size_t slash = url.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    std::string name = url.substr(slash + 1);
    for (char& c : name) {
        switch (c) {
            case '/':
            case '\\':
            case ':':
            case '*':
            case '?':
            case '"':
            case '<':
            case '>':
            case '|':
                c = '_';
                break;
            default:
                break;
        }
    }
    return name;
}

std::string SafeDownloadName(const std::string& url) {
    std::string name = textfile::trim(FileNameFromURL(url));
    if (name.size() > kMaxNameBytes) {
        // Keep a short extension so the file still opens with the right program.
        const std::size_t dot = name.rfind('.');
        std::string extension =
            dot != std::string::npos && name.size() - dot <= 16 ? name.substr(dot) : std::string();
        // Trimmed again: a cut can end in a blank, and the row shows the name trimmed.
        name = textfile::trim(name.substr(0, kMaxNameBytes - extension.size()) + extension);
    }
    if (name.empty() || name == "." || name == "..") {
        return kUnknownName;
    }
    return name;
}

bool FileExists(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regular;
}

std::string DefinitionPath(const std::string& definitionsFolder, const std::string& name) {
    return definitionsFolder + name + ".def";
}

std::string ProgressPathFor(const std::string& definitionPath) {
    if (definitionPath.size() < 3) {
        return definitionPath;
    }
    return definitionPath.substr(0, definitionPath.size() - 3) + "dwn";
}

}  // namespace tandu
