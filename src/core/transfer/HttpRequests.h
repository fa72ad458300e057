#pragma once

#include <cstdint>
#include <string>

#include "transfer/SplitHost.h"

namespace tandu {

// "HEAD url HTTP/1.0" and a blank line: the probe for the file's size.
std::string ProbeRequest(const std::string& url);
// A GET for the bytes first..last (both included, counted from 0).
std::string RangeRequest(const std::string& url, std::int64_t first, std::int64_t last);

}  // namespace tandu
