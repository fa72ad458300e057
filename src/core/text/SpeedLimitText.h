#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tandu {

// Speed limits as the user types and reads them, in KB/s (1 KB = 1000
// bytes), 0 for none.
namespace speedlimit {

// The largest limit taken: 10 GB/s.
inline constexpr std::int64_t kMostKBps = 10'000'000;

// "500", "500K", "500KB/s", "2M", "1.5MB/s", "1G"; "0", "none" and "off"
// for none. Nothing for anything else.
std::optional<std::int64_t> parse(std::string_view text);
// "500KB/s", "2MB/s"; "none" for 0.
std::string text(std::int64_t kbps);

}  // namespace speedlimit
}  // namespace tandu
