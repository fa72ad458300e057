#include "storage/ProgressWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "storage/TextFile.h"
#include "storage/ProgressFile.h"

namespace tandu {

std::string ProgressWriter::text(const PiecePlan& plan, const std::vector<std::int64_t>& counts) {
    std::string joined;
    for (const std::string& line : ProgressFile::lines(plan, counts)) {
        joined += line;
        joined += "\r\n";
    }
    return joined;
}

bool ProgressWriter::replace(const std::string& path, const PiecePlan& plan,
                             const std::vector<std::int64_t>& counts, std::string* reason) {
    path_.clear();
    if (!ProgressFile::write(path, plan, counts, reason)) {
        return false;
    }
    path_ = path;
    length_ = text(plan, counts).size();
    return true;
}

bool ProgressWriter::advance(const std::string& path, const PiecePlan& plan,
                             const std::vector<std::int64_t>& counts, std::string* reason) {
    const std::string now = text(plan, counts);
    if (path != path_ || now.size() < length_ || now.size() > kOnePage) {
        return replace(path, plan, counts, reason);
    }
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (file == nullptr) {
        return replace(path, plan, counts, reason);  // gone meanwhile: a whole new one
    }
    std::setvbuf(file, nullptr, _IONBF, 0);
    errno = 0;
    const bool written = std::fwrite(now.data(), 1, now.size(), file) == now.size();
    const int error = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        if (reason) {
            *reason = std::strerror(error ? error : EIO);
        }
        path_.clear();
        return false;
    }
    length_ = now.size();
    return true;
}

}  // namespace tandu
