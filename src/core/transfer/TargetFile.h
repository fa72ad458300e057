#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "storage/TextFile.h"

namespace tandu {

// The download's one data file, written in place at piece positions. Writes
// are unbuffered: each one goes to the system as a whole. The path is never
// followed through a symbolic link, and a fresh file never replaces one that
// is already there.
class TargetFile {
public:
    TargetFile() = default;
    ~TargetFile();
    TargetFile(const TargetFile&) = delete;
    TargetFile& operator=(const TargetFile&) = delete;

    // fresh: created new, and refused when anything already has the name;
    // otherwise opened as it is, or created when missing. Its name is made
    // durable at once, or (Later) by the caller's next sync of its folder.
    bool open(const std::string& path, bool fresh, std::string* reason,
              textfile::NameSync nameSync = textfile::NameSync::Now);
    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    // Bytes in the file now; nothing when it cannot be told.
    std::optional<std::int64_t> size() const;
    // Of `count` bytes from `offset`, how many the file really holds: it may
    // have been cut short, or never written there (a hole).
    std::int64_t heldFrom(std::int64_t offset, std::int64_t count) const;
    // False once the path no longer names the open file (it, or its folder,
    // was removed or replaced): what is written now is lost.
    bool stillNamed() const;
    bool writeAt(std::int64_t offset, const char* data, std::size_t size, std::string* reason);
    // Cuts the open file to nothing.
    bool empty(std::string* reason);
    // Makes what was written durable: a power cut keeps it.
    bool sync(std::string* reason) const;
    // The same as a job of its own: it holds its own descriptor of the file,
    // so it may run beside the loop while the file is closed or reopened. A
    // closed file has nothing to sync.
    std::function<bool(std::string* reason)> syncJob() const;
    // Closes the file, and removes it when it is still the empty file opened
    // here under its name: what a start that failed had made.
    void discardIfEmpty();
    // False (with the reason) when the last writes could not be completed.
    bool close(std::string* reason = nullptr);

    // True when something (a file, a link, a folder) already has the name.
    static bool occupied(const std::string& path);

private:
    int fd_ = -1;
    std::string path_;
    // A descriptor of its own for sync jobs, made at the first.
    mutable std::shared_ptr<const int> syncFd_;
    mutable int syncError_ = 0;
};

}  // namespace tandu
