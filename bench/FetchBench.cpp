// Fetches URL over N connections into FILE through the network layer alone
// (bench/fetch.sh): how fast libcurl's multi interface runs on one thread.
#include <fcntl.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "CurlFetcher.h"
#include "EventLoop.h"
#include "EventLoopWatcher.h"

int main(int argc, char** argv) {
    using namespace tandu;
    if (argc != 5) {
        std::cerr << "usage: tandu_fetch_bench URL SIZE CONNECTIONS FILE\n";
        return 2;
    }
    const auto url = net::Url::parse(argv[1]);
    const std::int64_t size = std::stoll(argv[2]);
    const int connections = std::stoi(argv[3]);
    const int fd = ::open(argv[4], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!url || fd < 0 || connections < 1) {
        std::cerr << "tandu_fetch_bench: bad arguments\n";
        return 2;
    }
    EventLoop loop;
    EventLoopWatcher watcher(loop);
    CurlFetcher fetcher(watcher);
    const std::int64_t piece = size / connections;
    std::vector<std::int64_t> at(connections);
    std::vector<std::unique_ptr<net::Fetch>> fetches;
    int left = connections;
    bool failed = false;
    for (int i = 0; i < connections; ++i) {
        at[i] = i * piece;
        net::FetchRequest request;
        request.url = *url;
        request.range =
            net::FetchRequest::Range{at[i], i == connections - 1 ? size - 1 : at[i] + piece - 1};
        net::FetchHandlers handlers;
        handlers.onBody = [&, i](std::string_view bytes) {
            failed |= ::pwrite(fd, bytes.data(), bytes.size(), at[i]) !=
                      static_cast<ssize_t>(bytes.size());
            at[i] += static_cast<std::int64_t>(bytes.size());
        };
        handlers.onEnd = [&] { --left; };
        handlers.onFailure = [&](const net::FetchFailure& failure) {
            std::cerr << failure.message << "\n";
            failed = true;
        };
        fetches.push_back(fetcher.start(request, handlers));
    }
    loop.run([&] { return left == 0 || failed; });
    fetches.clear();
    ::close(fd);
    return failed ? 1 : 0;
}
