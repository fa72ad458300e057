#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "storage/HandOffMessage.h"

// A link handed over is read from another process; what it reads back from
// its own JSON must be the same message.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tandu::HandOffMessage;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto message = HandOffMessage::parse(text, nullptr)) {
        const auto again = HandOffMessage::parse(message->json(), nullptr);
        if (!again || again->json() != message->json()) {
            std::abort();
        }
    }
    return 0;
}
