#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace tandu {

// The download's one data file, written in place at piece positions. Writes
// are unbuffered: each one goes to the system as a whole.
class TargetFile {
public:
    TargetFile() = default;
    ~TargetFile();
    TargetFile(const TargetFile&) = delete;
    TargetFile& operator=(const TargetFile&) = delete;

    // fresh: created empty (an existing file of that name is cut to nothing);
    // otherwise opened as it is, or created when missing.
    bool open(const std::string& path, bool fresh, std::string* reason);
    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }
    // Bytes in the file now; nothing when it cannot be told.
    std::optional<std::int64_t> size() const;
    bool writeAt(std::int64_t offset, const char* data, std::size_t size, std::string* reason);
    // False (with the reason) when the last writes could not be completed.
    bool close(std::string* reason = nullptr);

private:
    std::FILE* file_ = nullptr;
    std::string path_;
};

}  // namespace tandu
