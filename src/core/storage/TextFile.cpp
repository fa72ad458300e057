#include "storage/TextFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

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

std::optional<std::vector<std::string>> readLines(const std::string& path, std::size_t limit,
                                                  std::string* reason) {
    const auto refuse = [&](std::string why) -> std::optional<std::vector<std::string>> {
        if (reason) {
            *reason = std::move(why);
        }
        return std::nullopt;
    };
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) {
        return refuse(error.message());
    }
    if (!std::filesystem::is_regular_file(status)) {
        return refuse("it is not a regular file");
    }
    const auto tooLarge = "it is larger than " + std::to_string(limit / 1024) + " KB";
    const auto size = std::filesystem::file_size(path, error);
    if (!error && size > limit) {
        return refuse(tooLarge);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return refuse(std::strerror(errno));
    }
    // Read no further than the cap, in case the file grows meanwhile.
    std::string text;
    char block[64 * 1024];
    while (in && text.size() <= limit) {
        in.read(block, sizeof block);
        text.append(block, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        return refuse("it cannot be read");
    }
    if (text.size() > limit) {
        return refuse(tooLarge);
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

bool writeWhole(const std::string& path, const std::string& text, std::string* reason) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        if (reason) {
            *reason = std::strerror(errno);
        }
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        if (reason) {
            *reason = std::strerror(written ? errno : writeError);
        }
        return false;
    }
    return true;
}

}  // namespace

bool writeLines(const std::string& path, const std::vector<std::string>& lines,
                std::string* reason) {
    return writeWhole(path, joined(lines), reason);
}

bool writeLinesAtomically(const std::string& path, const std::vector<std::string>& lines,
                          std::string* reason) {
    const std::string temporary = path + ".tmp";
    if (!writeWhole(temporary, joined(lines), reason)) {
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        if (reason) {
            *reason = std::strerror(errno);
        }
        std::remove(temporary.c_str());
        return false;
    }
    return true;
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
