// Hashes FILE with ALGORITHM (sha256, sha512, sha1, md5) the way a download
// is checked: slices posted to the program's loop (bench/hash.sh).
#include <chrono>
#include <iostream>

#include "EventLoop.h"
#include "OpenSslFileHasher.h"

int main(int argc, char** argv) {
    using namespace tandu;
    if (argc != 3) {
        std::cerr << "usage: tandu_hash_bench FILE sha256|sha512|sha1|md5\n";
        return 2;
    }
    HashAlgorithm chosen = HashAlgorithm::Sha256;
    for (auto [name, value] :
         {std::pair{"sha256", HashAlgorithm::Sha256}, std::pair{"sha512", HashAlgorithm::Sha512},
          std::pair{"sha1", HashAlgorithm::Sha1}, std::pair{"md5", HashAlgorithm::Md5}}) {
        if (std::string(argv[2]) == name) {
            chosen = value;
        }
    }
    EventLoop loop;
    OpenSslFileHasher hasher([&loop](std::function<void()> call) { loop.post(std::move(call)); });
    std::optional<FileHasher::Result> result;
    std::int64_t size = 0;
    int slices = 0;
    const auto start = std::chrono::steady_clock::now();
    auto job = hasher.start(
        argv[1], chosen, [&](std::int64_t, std::int64_t total) { size = total, ++slices; },
        [&](const FileHasher::Result& r) { result = r; });
    (void)job;
    loop.run([&] { return result.has_value(); });
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (!result->error.empty()) {
        std::cerr << "tandu_hash_bench: " << result->error << "\n";
        return 1;
    }
    std::cout << result->found.hex << " " << took.count() << " s " << size / took.count() / 1e9
              << " GB/s " << slices << " slices\n";
    return 0;
}
