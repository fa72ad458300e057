#include "OpenSslFileHasher.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace tandu {

namespace {

// Small enough to stay in the cache between the copy and the hash.
constexpr std::size_t kReadBytes = 128 * 1024;

const EVP_MD* digestOf(HashAlgorithm algorithm) {
    switch (algorithm) {
        case HashAlgorithm::Sha512:
            return EVP_sha512();
        case HashAlgorithm::Sha1:
            return EVP_sha1();
        case HashAlgorithm::Md5:
            return EVP_md5();
        case HashAlgorithm::Sha256:
            break;
    }
    return EVP_sha256();
}

// Everything one hash needs; the posted slices keep it alive, the job only
// marks it cancelled.
struct HashState {
    HashAlgorithm algorithm;
    FileHasher::Progress progress;
    FileHasher::Done done;
    OpenSslFileHasher::Post post;
    std::size_t sliceBytes;
    int fd = -1;
    std::int64_t total = 0;
    std::int64_t hashed = 0;
    std::vector<unsigned char> buffer;
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    bool cancelled = false;

    ~HashState() {
        EVP_MD_CTX_free(context);
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

void finish(const std::shared_ptr<HashState>& state, FileHasher::Result result) {
    if (state->fd >= 0) {
        ::close(state->fd);
        state->fd = -1;
    }
    if (!state->cancelled && state->done) {
        state->cancelled = true;  // one answer only
        state->done(result);
    }
}

void slice(const std::shared_ptr<HashState>& state) {
    if (state->cancelled) {
        return;
    }
    std::size_t taken = 0;
    while (taken < state->sliceBytes) {
        const ssize_t n = ::read(state->fd, state->buffer.data(), state->buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            finish(state, {{}, std::strerror(errno)});
            return;
        }
        if (n == 0) {
            unsigned char digest[EVP_MAX_MD_SIZE];
            unsigned int length = 0;
            if (EVP_DigestFinal_ex(state->context, digest, &length) != 1) {
                finish(state, {{}, "the hash could not be computed"});
                return;
            }
            finish(state,
                   {Checksum::fromBytes(state->algorithm,
                                        std::string_view(reinterpret_cast<char*>(digest), length)),
                    {}});
            return;
        }
        EVP_DigestUpdate(state->context, state->buffer.data(), static_cast<std::size_t>(n));
        state->hashed += n;
        taken += static_cast<std::size_t>(n);
    }
    if (state->progress) {
        state->progress(state->hashed, state->total);
    }
    if (!state->cancelled) {
        state->post([state] { slice(state); });
    }
}

class HashJob : public FileHasher::Job {
public:
    explicit HashJob(std::shared_ptr<HashState> state) : state_(std::move(state)) {}
    ~HashJob() override { state_->cancelled = true; }

private:
    std::shared_ptr<HashState> state_;
};

}  // namespace

OpenSslFileHasher::OpenSslFileHasher(Post post, std::size_t sliceBytes)
    : post_(std::move(post)), sliceBytes_(std::max<std::size_t>(sliceBytes, 1)) {}

std::unique_ptr<FileHasher::Job> OpenSslFileHasher::start(const std::string& path,
                                                          HashAlgorithm algorithm,
                                                          Progress progress, Done done) {
    auto state = std::make_shared<HashState>();
    state->algorithm = algorithm;
    state->progress = std::move(progress);
    state->done = std::move(done);
    state->post = post_;
    state->sliceBytes = sliceBytes_;
    state->buffer.resize(std::min(kReadBytes, sliceBytes_));
    std::string error;
    state->fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (state->fd < 0 || ::fstat(state->fd, &info) != 0) {
        error = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        error = "it is not a regular file";
    } else if (!state->context ||
               EVP_DigestInit_ex(state->context, digestOf(algorithm), nullptr) != 1) {
        error = "the hash could not be started";
    } else {
        state->total = info.st_size;
        ::posix_fadvise(state->fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    if (error.empty()) {
        post_([state] { slice(state); });
    } else {
        post_([state, error] { finish(state, {{}, error}); });
    }
    return std::make_unique<HashJob>(state);
}

}  // namespace tandu
