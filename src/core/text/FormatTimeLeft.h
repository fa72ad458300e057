#pragma once

#include <cstdint>
#include <string>

namespace tandu {

// "H:M:S" without leading zeros: 3725 gives 1:2:5. Hours have no limit; a
// value of 59 or less (negative too) passes through as seconds.
std::string FormatTimeLeft(std::int64_t seconds);

}  // namespace tandu
