#include "storage/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace tandu::textfile {

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') {
            --stop;
        }
        lines.emplace_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

namespace {

std::string systemReason(int error) {
    return error == ELOOP ? "it is a symbolic link, which is not followed" : std::strerror(error);
}

// Opens without following a link at the path, and only a regular file: a
// FIFO would block, a device never end.
int openRegular(const std::string& path, int flags, std::string& why) {
    const int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        why = systemReason(errno);
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = "it is not a regular file";
        ::close(fd);
        return -1;
    }
    return fd;
}

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

std::optional<std::vector<std::string>> readLines(const std::string& path, std::size_t limit,
                                                  std::string* reason) {
    std::string why;
    const int fd = openRegular(path, O_RDONLY, why);
    if (fd < 0) {
        if (reason) {
            *reason = why;
        }
        return std::nullopt;
    }
    // Read no further than the cap, in case the file grows meanwhile.
    std::string text;
    char block[64 * 1024];
    ssize_t got = 0;
    while (text.size() <= limit && (got = ::read(fd, block, sizeof block)) != 0) {
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            why = "it cannot be read";
            break;
        }
        text.append(block, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (why.empty() && text.size() > limit) {
        why = "it is larger than " + std::to_string(limit / 1024) + " KB";
    }
    if (!why.empty()) {
        if (reason) {
            *reason = why;
        }
        return std::nullopt;
    }
    return splitLines(text);
}

namespace {

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    std::size_t size = 0;
    for (const auto& line : lines) {
        size += line.size() + 2;
    }
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool fail(std::string* reason, std::string why) {
    if (reason) {
        *reason = std::move(why);
    }
    return false;
}

bool writeWhole(const std::string& path, const std::string& text, bool durable,
                std::string* reason) {
    std::string why;
    const int fd = openRegular(path, O_WRONLY | O_CREAT | O_TRUNC, why);
    if (fd < 0) {
        return fail(reason, why);
    }
    bool done = writeAll(fd, text) && (!durable || ::fsync(fd) == 0);
    int error = errno;
    if (::close(fd) != 0 && done) {
        done = false;
        error = errno;
    }
    return done || fail(reason, std::strerror(error));
}

}  // namespace

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool syncFolder(const std::string& folder, std::string* reason) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return fail(reason, std::strerror(errno));
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;  // a folder that cannot be synced
    const int error = errno;
    ::close(fd);
    return synced || fail(reason, std::strerror(error));
}

bool writeLines(const std::string& path, const std::vector<std::string>& lines,
                std::string* reason) {
    return writeWhole(path, joined(lines), false, reason);
}

bool writeLinesAtomically(const std::string& path, const std::vector<std::string>& lines,
                          std::string* reason, NameSync nameSync) {
    const std::string temporary = path + ".tmp";
    if (!writeWhole(temporary, joined(lines), true, reason)) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return fail(reason, std::strerror(error));
    }
    return nameSync == NameSync::Later || syncFolder(folderOf(path), reason);
}

std::optional<std::function<bool(std::string*)>> stageLinesAtomically(
    const std::string& path, const std::vector<std::string>& lines, std::string* reason) {
    std::string temporary = path + ".tmp";
    if (!writeWhole(temporary, joined(lines), false, reason)) {
        ::unlink(temporary.c_str());
        return std::nullopt;
    }
    return [temporary = std::move(temporary), path](std::string* why) {
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
        bool done = fd >= 0 && ::fsync(fd) == 0;
        int error = errno;
        if (fd >= 0 && ::close(fd) != 0 && done) {
            done = false;
            error = errno;
        }
        if (done && std::rename(temporary.c_str(), path.c_str()) != 0) {
            done = false;
            error = errno;
        }
        if (!done) {
            ::unlink(temporary.c_str());
        }
        return done || fail(why, std::strerror(error));
    };
}

bool hasControlCharacter(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

std::string trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::optional<std::int64_t> parseWholeNumber(std::string_view text) {
    const std::string trimmed = trim(text);
    std::string_view digits = trimmed;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.front() == '+') {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace tandu::textfile
