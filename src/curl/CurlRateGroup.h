#pragma once

#include <memory>

#include "RateShaper.h"
#include "net/Fetcher.h"

namespace tandu {

// A download's group in the fetcher's rate shaper; it may outlive the shaper.
class CurlRateGroup : public net::RateGroup {
public:
    explicit CurlRateGroup(const std::shared_ptr<RateShaper>& shaper)
        : shaper_(shaper), id_(shaper->addGroup()) {}
    ~CurlRateGroup() override {
        if (auto shaper = shaper_.lock()) {
            shaper->removeGroup(id_);
        }
    }
    CurlRateGroup(const CurlRateGroup&) = delete;
    CurlRateGroup& operator=(const CurlRateGroup&) = delete;

    void setLimit(std::int64_t bytesPerSecond) override {
        if (auto shaper = shaper_.lock()) {
            shaper->setGroupLimit(id_, bytesPerSecond);
        }
    }
    bool held() const override {
        const auto shaper = shaper_.lock();
        return shaper && shaper->held(id_);
    }
    RateShaper::Id id() const { return id_; }

private:
    std::weak_ptr<RateShaper> shaper_;
    RateShaper::Id id_;
};

}  // namespace tandu
