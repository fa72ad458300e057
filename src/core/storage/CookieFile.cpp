#include "storage/CookieFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "storage/TextFile.h"

namespace tandu {

std::string CookieFile::pathFor(const std::string& definitionPath) {
    const bool def = definitionPath.ends_with(".def");
    return (def ? definitionPath.substr(0, definitionPath.size() - 4) : definitionPath) + ".cookies";
}

bool CookieFile::write(const std::string& path, const CookieFile& content, std::string* reason) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        *reason = path + ": " + std::strerror(errno);
        return false;
    }
    const std::string text = content.url + "\r\n" + content.cookies + "\r\n";
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    const bool whole = done == text.size() && ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!whole) {
        ::unlink(path.c_str());
        *reason = path + ": " + std::strerror(error);
    }
    return whole;
}

std::optional<CookieFile> CookieFile::read(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        return std::nullopt;
    }
    const auto lines = textfile::readLines(path, textfile::kDefinitionLimit);
    if (!lines || lines->size() < 2) {
        return std::nullopt;
    }
    return CookieFile{(*lines)[0], (*lines)[1]};
}

std::optional<std::string> CookieFile::remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return "The file " + path + " cannot be deleted: " + std::strerror(errno) + ".";
    }
    return std::nullopt;
}

}  // namespace tandu
