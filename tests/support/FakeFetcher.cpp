#include "FakeFetcher.h"

namespace tandu::test {

namespace {

class FakeFetch : public net::Fetch {
public:
    explicit FakeFetch(std::shared_ptr<FakeFetchRecord> record) : record_(std::move(record)) {}
    ~FakeFetch() override { record_->destroyed = true; }
    void resume() override {
        ++record_->resumes;
        if (!record_->held.empty()) {
            const std::string bytes = std::move(record_->held);
            record_->held.clear();
            FakeFetcher::body(*record_, bytes);
        }
    }

private:
    std::shared_ptr<FakeFetchRecord> record_;
};

}  // namespace

std::unique_ptr<net::Fetch> FakeFetcher::start(const net::FetchRequest& request,
                                               net::FetchHandlers handlers) {
    auto record = std::make_shared<FakeFetchRecord>();
    record->request = request;
    record->handlers = std::move(handlers);
    records_.push_back(record);
    return std::make_unique<FakeFetch>(records_.back());
}

void FakeFetcher::head(FakeFetchRecord& record, const std::string& raw) {
    if (!record.destroyed && record.handlers.onHead) {
        record.handlers.onHead(net::AnswerHead::parse(raw, record.request.url));
    }
}

bool FakeFetcher::body(FakeFetchRecord& record, const std::string& bytes) {
    if (record.destroyed || !record.held.empty()) {
        record.held += bytes;
        return false;
    }
    if (record.handlers.onBody && !record.handlers.onBody(bytes)) {
        record.held = bytes;
        return false;
    }
    return true;
}

void FakeFetcher::end(FakeFetchRecord& record) {
    if (!record.destroyed && record.handlers.onEnd) {
        record.handlers.onEnd();
    }
}

void FakeFetcher::fail(FakeFetchRecord& record, net::FetchFailure::Kind kind,
                       const std::string& message) {
    if (!record.destroyed && record.handlers.onFailure) {
        record.handlers.onFailure(net::FetchFailure{kind, message});
    }
}

}  // namespace tandu::test
