#pragma once

#include <cstdint>
#include <string>

namespace tandu {

class Download;

// WS(0): the HEAD probe of a fresh start, and what its answer sets up — the
// piece plan, the definition and progress files, the target file and the
// data connections.
class ProbeHandler {
public:
    explicit ProbeHandler(Download& download) : engine_(download) {}

    void onConnect();
    void onData();
    void onClose();
    void onError(const std::string& description);

private:
    // Acts on the answer once it is complete or unusable.
    void decide();
    void succeed(std::int64_t fileSize);
    void fail();
    std::string scratchPath() const;
    void keepScratchCopy();

    Download& engine_;
};

}  // namespace tandu
