#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Checksum.h"

namespace tandu {

// Hashes whole files without holding up the program's loop: the work goes
// on between events, and what it finds comes back from the loop.
class FileHasher {
public:
    struct Result {
        Checksum found;
        // Why the file could not be read; empty when it was.
        std::string error;
    };
    // A running hash; destroying it stops it, and nothing more is heard of it.
    class Job {
    public:
        virtual ~Job() = default;
    };
    using Progress = std::function<void(std::int64_t hashed, std::int64_t total)>;
    using Done = std::function<void(const Result&)>;

    virtual ~FileHasher() = default;
    // Neither handler runs before this returns.
    virtual std::unique_ptr<Job> start(const std::string& path, HashAlgorithm algorithm,
                                       Progress progress, Done done) = 0;
};

}  // namespace tandu
