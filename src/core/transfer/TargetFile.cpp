#include "transfer/TargetFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tandu {

// Positions go through fseek, whose offset must hold a file of any size.
static_assert(sizeof(long) >= sizeof(std::int64_t), "fseek needs 64-bit offsets");

namespace {
void setReason(std::string* reason, int error) {
    if (reason) {
        *reason = std::strerror(error);
    }
}
}  // namespace

TargetFile::~TargetFile() {
    close();
}

bool TargetFile::open(const std::string& path, bool fresh, std::string* reason) {
    close();
    path_ = path;
    errno = 0;
    if (!fresh) {
        file_ = std::fopen(path.c_str(), "r+b");
    }
    if (file_ == nullptr && (fresh || errno == ENOENT)) {
        file_ = std::fopen(path.c_str(), "w+b");
    }
    if (file_ == nullptr) {
        setReason(reason, errno ? errno : EIO);
        return false;
    }
    std::setvbuf(file_, nullptr, _IONBF, 0);
    return true;
}

std::optional<std::int64_t> TargetFile::size() const {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path_, error);
    if (error) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(bytes);
}

bool TargetFile::writeAt(std::int64_t offset, const char* data, std::size_t size,
                         std::string* reason) {
    if (file_ == nullptr) {
        setReason(reason, EBADF);
        return false;
    }
    errno = 0;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) {
        setReason(reason, errno ? errno : EIO);
        return false;
    }
    if (std::fwrite(data, 1, size, file_) != size) {
        setReason(reason, errno ? errno : EIO);
        std::clearerr(file_);
        return false;
    }
    return true;
}

bool TargetFile::close(std::string* reason) {
    if (file_ == nullptr) {
        return true;
    }
    errno = 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) {
        setReason(reason, errno ? errno : EIO);
    }
    return closed;
}

}  // namespace tandu
