#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "net/Fetcher.h"

namespace tandu::test {

// One fetch as the code under test started it; the test decides what arrives.
struct FakeFetchRecord {
    net::FetchRequest request;
    net::FetchHandlers handlers;
    bool destroyed = false;
};

// A rate group that records its limit; the test says whether it holds back.
struct FakeRateGroup : net::RateGroup {
    void setLimit(std::int64_t bytesPerSecond) override { limit = bytesPerSecond; }
    bool held() const override { return holding; }
    std::int64_t limit = 0;
    bool holding = false;
};

class FakeFetcher : public net::Fetcher {
public:
    std::shared_ptr<net::RateGroup> makeRateGroup() override {
        groups.push_back(std::make_shared<FakeRateGroup>());
        return groups.back();
    }
    void setOverallLimit(std::int64_t bytesPerSecond) override { overallLimit = bytesPerSecond; }
    std::vector<std::shared_ptr<FakeRateGroup>> groups;
    std::int64_t overallLimit = 0;

    std::unique_ptr<net::Fetch> start(const net::FetchRequest& request,
                                      net::FetchHandlers handlers) override {
        records_.push_back(std::make_shared<FakeFetchRecord>());
        records_.back()->request = request;
        records_.back()->handlers = std::move(handlers);
        return std::make_unique<Handle>(records_.back());
    }
    FakeFetchRecord& fetch(std::size_t index) { return *records_.at(index); }
    std::size_t count() const { return records_.size(); }

    // Each delivers one event as the network layer would; `raw` is the head
    // as the server sent it, blank line included.
    static void head(FakeFetchRecord& r, const std::string& raw) {
        if (!r.destroyed && r.handlers.onHead) {
            r.handlers.onHead(net::AnswerHead::parse(raw, r.request.url));
        }
    }
    static void body(FakeFetchRecord& r, const std::string& bytes) {
        if (!r.destroyed && r.handlers.onBody) {
            r.handlers.onBody(bytes);
        }
    }
    static void end(FakeFetchRecord& r) {
        if (!r.destroyed && r.handlers.onEnd) {
            r.handlers.onEnd();
        }
    }
    static void fail(FakeFetchRecord& r, net::FetchFailure::Kind kind, const std::string& text) {
        if (!r.destroyed && r.handlers.onFailure) {
            r.handlers.onFailure(net::FetchFailure{kind, text});
        }
    }

private:
    class Handle : public net::Fetch {
    public:
        explicit Handle(std::shared_ptr<FakeFetchRecord> r) : record_(std::move(r)) {}
        ~Handle() override { record_->destroyed = true; }

    private:
        std::shared_ptr<FakeFetchRecord> record_;
    };
    std::vector<std::shared_ptr<FakeFetchRecord>> records_;
};

}  // namespace tandu::test
