#include "storage/FileNames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "net/PercentDecoding.h"
#include "storage/TextFile.h"

namespace tandu {

namespace {
constexpr const char* kUnknownName = "unkonwn";
// Leaves room for ".def.lock" and ".dwn.tmp" within a 255-byte file name.
constexpr std::size_t kMaxNameBytes = 240;

bool continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Well-formed UTF-8: no overlong forms, surrogates or values past U+10FFFF.
bool validUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80                ? 1
                                   : c >= 0xC2 && c < 0xE0 ? 2
                                   : c >= 0xE0 && c < 0xF0 ? 3
                                   : c >= 0xF0 && c < 0xF5 ? 4
                                                           : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if (!continuation(static_cast<unsigned char>(text[i + k]))) {
                return false;
            }
        }
        const auto second = static_cast<unsigned char>(length > 1 ? text[i + 1] : 0);
        if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second >= 0xA0) ||
            (c == 0xF0 && second < 0x90) || (c == 0xF4 && second >= 0x90)) {
            return false;
        }
        i += length;
    }
    return true;
}

// Escapes decoded, unless the result is not UTF-8: then the text as it was.
std::string percentDecoded(const std::string& text) {
    std::string out = net::percentDecoded(text);
    return validUtf8(out) ? out : text;
}

// Characters no file name here may hold, and controls (C1 ones in their
// UTF-8 form too), each become "_"; blanks around go; a long name is cut on
// a character boundary, keeping a short extension so the file still opens
// with the right program.
std::string cleaned(const std::string& raw) {
    std::string name;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c == 0xC2 && i + 1 < raw.size() && static_cast<unsigned char>(raw[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(raw[i + 1]) < 0xA0) {
            name += '_';
            ++i;
        } else if (c < 0x20 || c == 0x7F ||
                   std::string_view("/\\:*?\"<>|").find(raw[i]) != std::string_view::npos) {
            name += '_';
        } else {
            name += raw[i];
        }
    }
    name = textfile::trim(name);
    if (name.size() > kMaxNameBytes) {
        const std::size_t dot = name.rfind('.');
        std::string extension =
            dot != std::string::npos && name.size() - dot <= 16 ? name.substr(dot) : std::string();
        std::size_t cut = kMaxNameBytes - extension.size();
        while (cut > 0 && continuation(static_cast<unsigned char>(name[cut]))) {
            --cut;
        }
        // Trimmed again: a cut can end in a blank, and the row shows the name trimmed.
        name = textfile::trim(name.substr(0, cut) + extension);
    }
    return name;
}

bool unusable(const std::string& name) {
    return name.empty() || name == "." || name == "..";
}

// What follows the last "/" of a text that is no address.
std::string nameOfText(const std::string& text) {
    const std::size_t slash = text.rfind('/');
    const std::string name =
        text.empty() ? std::string()
                     : cleaned(slash == std::string::npos ? "" : text.substr(slash + 1));
    return unusable(name) ? kUnknownName : name;
}

}  // namespace

std::string SafeDownloadName(const std::string& url) {
    const std::string text = textfile::trim(url);
    const std::size_t scheme = text.find("://");
    if (scheme == std::string::npos) {
        return nameOfText(text);
    }
    const std::size_t authorityAt = scheme + 3;
    const std::size_t pathAt = std::min(text.find_first_of("/?#", authorityAt), text.size());
    const std::size_t pathEnd = std::min(text.find_first_of("?#", pathAt), text.size());
    const std::string path = text.substr(pathAt, pathEnd - pathAt);
    std::string name = cleaned(percentDecoded(path.substr(path.rfind('/') + 1)));
    if (!unusable(name)) {
        return name;
    }
    // Nothing to name it by: the host, as a browser saves a page.
    std::string host = text.substr(authorityAt, pathAt - authorityAt);
    host.erase(0, host.rfind('@') + 1);
    const std::size_t colon = host.rfind(':');
    if (colon != std::string::npos && host.find(']', colon) == std::string::npos) {
        host.erase(colon);
    }
    name = cleaned(host + ".html");
    return host.empty() ? kUnknownName : name;
}

std::string SafeServerName(const std::string& given) {
    // Bytes that are not UTF-8 are taken as ISO-8859-1, as browsers do.
    const bool utf8 = validUtf8(given);
    std::string name;
    for (const char c : given) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80 || utf8) {
            name += c;
        } else {
            name += static_cast<char>(0xC0 | byte >> 6);
            name += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    // Either slash ends a folder's name on some system: only what follows the last counts.
    const std::size_t separator = name.find_last_of("/\\");
    const std::string last =
        cleaned(separator == std::string::npos ? name : name.substr(separator + 1));
    return unusable(last) ? std::string() : last;
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
