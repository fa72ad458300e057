#pragma once

#include <memory>
#include <string>
#include <vector>

#include "net/Fetcher.h"

namespace tandu::test {

// One fetch as the code under test started it; the test decides what arrives.
struct FakeFetchRecord {
    net::FetchRequest request;
    net::FetchHandlers handlers;
    bool destroyed = false;
    int resumes = 0;
    // Body bytes offered and refused, offered again on resume().
    std::string held;
};

class FakeFetcher : public net::Fetcher {
public:
    std::unique_ptr<net::Fetch> start(const net::FetchRequest& request,
                                      net::FetchHandlers handlers) override;

    FakeFetchRecord& fetch(std::size_t index) { return *records_.at(index); }
    std::size_t count() const { return records_.size(); }

    // Each delivers one event as the network layer would; `raw` is the head
    // as the server sent it, blank line included.
    static void head(FakeFetchRecord& record, const std::string& raw);
    // True when the handler took the bytes.
    static bool body(FakeFetchRecord& record, const std::string& bytes);
    static void end(FakeFetchRecord& record);
    static void fail(FakeFetchRecord& record, net::FetchFailure::Kind kind,
                     const std::string& message);

private:
    std::vector<std::shared_ptr<FakeFetchRecord>> records_;
};

}  // namespace tandu::test
