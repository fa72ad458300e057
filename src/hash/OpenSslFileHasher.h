#pragma once

#include <cstddef>
#include <functional>

#include "platform/FileHasher.h"

namespace tandu {

// Files hashed with OpenSSL's EVP digests, a slice at a time: each slice is
// run from the program's loop through `post`, so other events come between
// slices and a large file never holds the loop for long.
class OpenSslFileHasher : public FileHasher {
public:
    using Post = std::function<void(std::function<void()>)>;

    explicit OpenSslFileHasher(Post post, std::size_t sliceBytes = kSliceBytes);

    std::unique_ptr<Job> start(const std::string& path, HashAlgorithm algorithm, Progress progress,
                               Done done) override;

    // A few milliseconds of hashing at a gigabyte a second.
    static constexpr std::size_t kSliceBytes = 8 * 1024 * 1024;

private:
    Post post_;
    std::size_t sliceBytes_;
};

}  // namespace tandu
